#pragma once

#include <QObject>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QToolButton;
class QWidget;
struct AppContext;

// The page "EXPORT": catalog data of chosen brands written to files.
class ExportPage : public QObject {
    Q_OBJECT
public:
    ExportPage(AppContext& context, QWidget* parent);
    QWidget* widget() const { return m_widget; }

private:
    void buildUi(QWidget* parent);

    AppContext& m_context;
    QWidget* m_widget = nullptr;
    QListWidget* m_CheckListBox4 = nullptr;
    QLabel* m_Label58 = nullptr;
    QLineEdit* m_Edit13 = nullptr;
    QCheckBox* m_CheckBox8 = nullptr;
    QCheckBox* m_CheckBox9 = nullptr;
    QCheckBox* m_CheckBox10 = nullptr;
    QRadioButton* m_RadioButton5 = nullptr;
    QRadioButton* m_RadioButton9 = nullptr;
    QRadioButton* m_RadioButton10 = nullptr;
    QToolButton* m_SpeedButton60 = nullptr;
    QLabel* m_Label61 = nullptr;
    QLabel* m_Label60 = nullptr;
};
