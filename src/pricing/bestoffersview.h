#pragma once

#include "pricing/bestoffersmodel.h"

#include <QWidget>

#include <functional>

class BestOffersProxy;
class PriceChart;
class QLineEdit;
class QSplitter;
class QTableView;
class QToolButton;
struct AppContext;

// The BEST OFFERS page: a filter box, the sortable table of lines (undercut rows carry an icon
// and a colour), an export to .xlsx, the offers of a line (double click, Enter or "OFFERS") and
// the chart of the selected line ("CHART" shows and hides it).
class BestOffersView : public QWidget {
    Q_OBJECT
public:
    explicit BestOffersView(AppContext& context, QWidget* parent = nullptr);
    ~BestOffersView() override;

    BestOffersModel& model() { return m_model; }
    // The home currency and the undercut threshold of the settings page.
    void setSettings(const BestOffersSettings& settings);
    // The runs of a line by its key, for the chart (the price history's lineRuns).
    void setChartSource(std::function<QList<RunOffers>(const QString& key)> source);
    // Made the first time "CHART" shows it; null before.
    PriceChart* chart() const { return m_chart; }

    // The line of the current row; empty when none.
    QString currentKey() const;
    // The model rows in the order the table shows them.
    QList<int> shownRows() const;

    void exportClicked();
    void showOffers();
    void toggleChart();

signals:
    // The user asked for the offers of a line (the rows of both result grids for it).
    void showOffersRequested(const QString& key);

private:
    void buildUi();
    void refreshChart();
    // Qt Charts is costly to start: the chart comes when first shown.
    void ensureChart();

    AppContext& m_context;
    BestOffersModel m_model;
    BestOffersProxy* m_proxy = nullptr;
    QLineEdit* m_filter = nullptr;
    QTableView* m_table = nullptr;
    QToolButton* m_export = nullptr;
    QToolButton* m_offers = nullptr;
    QToolButton* m_chartButton = nullptr;
    PriceChart* m_chart = nullptr;
    QSplitter* m_split = nullptr;
    std::function<QList<RunOffers>(const QString&)> m_chartSource;
    QString m_chartKey;
};
