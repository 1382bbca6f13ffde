#pragma once

#include <QObject>

class QListWidget;
class QToolButton;
class QWidget;
struct AppContext;

// "List brands [suplliers] of products only which need show in catalogs".
class NecessaryBrandsPanel : public QObject {
    Q_OBJECT
public:
    static constexpr int kCollapsedHeight = 75;
    static constexpr int kExpandedHeight = 350;

    NecessaryBrandsPanel(AppContext& context, QWidget* parent);
    QWidget* widget() const { return m_widget; }
    // The collapsed state the window starts in.
    void collapse();
    bool isCollapsed() const;

    // "Resave changes", "Load new list", "Show list that was saved", "Clear list".
    void SpeedButton26Click();
    void SpeedButton28Click();
    void SpeedButton27Click();
    void SpeedButton29Click();

signals:
    // The brands to show were saved ("[BOSCH][INA]") or cleared (empty).
    void necessaryBrandsChanged(const QString& brands);

private:
    void buildUi(QWidget* parent);
    QString listFile() const;

    AppContext& m_context;
    QWidget* m_widget = nullptr;
    QToolButton* m_SpeedButton27 = nullptr;
    QToolButton* m_SpeedButton29 = nullptr;
    QToolButton* m_SpeedButton28 = nullptr;
    QToolButton* m_SpeedButton26 = nullptr;
    QListWidget* m_CheckListBox3 = nullptr;
};
