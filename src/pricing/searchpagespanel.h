#pragma once

#include <QObject>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QToolButton;
class QWidget;
struct AppContext;
struct PriceRunSettings;

// "Open in web browser *": the search page templates and their opening options.
class SearchPagesPanel : public QObject {
    Q_OBJECT
public:
    static const QString kDefaultTemplate;

    SearchPagesPanel(AppContext& context, QWidget* parent);
    QWidget* widget() const { return m_widget; }

    // Add, delete, edit and test a template.
    void SpeedButton34Click();
    void SpeedButton35Click();
    void SpeedButton36Click();
    void SpeedButton37Click();

    // The page switch, its options and the templates as a run reads them.
    void readRunSettings(PriceRunSettings& settings) const;

private:
    void buildUi(QWidget* parent);
    // Selects an equal line (letter case ignored) and says so; false when there is none.
    bool refuseSimilar(const QString& text);

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
