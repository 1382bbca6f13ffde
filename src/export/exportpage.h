#pragma once

#include <QObject>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QRadioButton;
class QToolButton;
class QWidget;
class CollapsibleSection;
struct AppContext;

// The page "EXPORT": catalog data of chosen brands written to files.
class ExportPage : public QObject {
    Q_OBJECT
public:
    static const QString kNotSelected;
    static const QString kAllBrands;

    ExportPage(AppContext& context, QWidget* parent);
    QWidget* widget() const { return m_widget; }

    // "LIST SUPPLIERS", "PREPARING DATA", "   Export in csv files".
    void StaticText10Click();
    void StaticText9Click();
    void SpeedButton60Click();

private:
    void buildUi(QWidget* parent);
    QWidget* buildDataPanel();
    void openSection(CollapsibleSection* open, CollapsibleSection* closed);
    void showProgress(bool visible);

    AppContext& m_context;
    QWidget* m_widget = nullptr;
    CollapsibleSection* m_suppliersSection = nullptr;
    CollapsibleSection* m_dataSection = nullptr;
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
    QProgressBar* m_progress = nullptr;
};
