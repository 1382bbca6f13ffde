#pragma once

#include <QObject>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QToolButton;
class QWidget;
struct AppContext;

// "Connect to your price lists": the price list folder and column names, the download links
// and the catalogue of free price lists.
class PriceListsPanel : public QObject {
    Q_OBJECT
public:
    PriceListsPanel(AppContext& context, QWidget* parent);
    QWidget* widget() const { return m_widget; }

private:
    void buildUi(QWidget* parent);

    AppContext& m_context;
    QWidget* m_widget = nullptr;
    QLineEdit* m_Edit8 = nullptr;
    QLineEdit* m_Edit9 = nullptr;
    QLineEdit* m_Edit10 = nullptr;
    QLineEdit* m_Edit11 = nullptr;
    QCheckBox* m_CheckBox3 = nullptr;
    QPlainTextEdit* m_Memo3 = nullptr;
    QToolButton* m_SpeedButton42 = nullptr;
    QCheckBox* m_CheckBox7 = nullptr;
    QListWidget* m_ListBox5 = nullptr;
    QLabel* m_Label53 = nullptr;
    QToolButton* m_SpeedButton24 = nullptr;
    QToolButton* m_SpeedButton50 = nullptr;
    QLineEdit* m_Edit12 = nullptr;
    QToolButton* m_SpeedButton48 = nullptr;
    QListWidget* m_ListBox6 = nullptr;
    QToolButton* m_SpeedButton58 = nullptr;
    QToolButton* m_SpeedButton57 = nullptr;
    QToolButton* m_SpeedButton52 = nullptr;
};
