#pragma once

#include "pricing/bestoffers.h"

#include <QWidget>

#include <functional>

class Dialogs;
class QChart;
class QChartView;
class QDateTimeAxis;
class QLabel;
class QLineSeries;
class QToolButton;
class QValueAxis;

// One line's prices over its runs: the own price, the best shop offer and the e-platform median,
// one series each, the run times along the bottom. Hovering a point, or stepping through the runs
// with Left and Right, tells its value and where it came from; "Save as PNG" writes the chart,
// Escape or "Close" asks to close it.
class PriceChart : public QWidget {
    Q_OBJECT
public:
    explicit PriceChart(Dialogs& dialogs, QWidget* parent = nullptr);

    void setLine(const LineText& line, const LineChart& chart);
    void clear();
    // What the chart says about the point last hovered or stepped to.
    QString pointText() const;
    int runCount() const { return int(m_times.size()); }

    // Asks where "Save as PNG" writes; an empty answer cancels. By default a file dialog.
    void setSavePathChooser(std::function<QString(const QString& suggested)> choose);
    // False (after telling the user) when the file could not be written.
    bool saveAsPng(const QString& path);

signals:
    void closeRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi();
    void showSeriesPoint(int series, const QPointF& point);
    void stepTo(int run);
    void saveClicked();

    Dialogs& m_dialogs;
    QChartView* m_view = nullptr;
    QChart* m_chart = nullptr;
    QLineSeries* m_series[3] = {};
    QDateTimeAxis* m_timeAxis = nullptr;
    QValueAxis* m_priceAxis = nullptr;
    QLabel* m_point = nullptr;
    QToolButton* m_save = nullptr;
    QToolButton* m_close = nullptr;
    LineText m_line;
    LineChart m_data;
    // Every run time of the three series, oldest first, for stepping by keys.
    QList<QDateTime> m_times;
    int m_currentRun = -1;
    std::function<QString(const QString&)> m_chooseSavePath;
};
