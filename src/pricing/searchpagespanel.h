#pragma once

#include <QObject>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QToolButton;
class QWidget;
struct AppContext;

// "Open in web browser *": the search page templates and their opening options.
class SearchPagesPanel : public QObject {
    Q_OBJECT
public:
    static const QString kDefaultTemplate;

    SearchPagesPanel(AppContext& context, QWidget* parent);
    QWidget* widget() const { return m_widget; }

private:
    void buildUi(QWidget* parent);

    AppContext& m_context;
    QWidget* m_widget = nullptr;
    QCheckBox* m_CheckBox4 = nullptr;
    QCheckBox* m_CheckBox11 = nullptr;
    QCheckBox* m_CheckBox12 = nullptr;
    QLineEdit* m_Edit16 = nullptr;
    QListWidget* m_ListBox2 = nullptr;
    QLineEdit* m_Edit14 = nullptr;
    QToolButton* m_SpeedButton35 = nullptr;
    QToolButton* m_SpeedButton37 = nullptr;
    QToolButton* m_SpeedButton36 = nullptr;
    QToolButton* m_SpeedButton34 = nullptr;
};
