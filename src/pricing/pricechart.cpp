#include "pricing/pricechart.h"

#include "platform/atomicfile.h"
#include "platform/dialogs.h"
#include "platform/widgets.h"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace {

const char* const kSeriesNames[3] = {"own price", "best shop offer", "e-platform median"};

const QList<ChartPoint>& pointsOf(const LineChart& chart, int series) {
    return series == 0 ? chart.own : series == 1 ? chart.bestShop : chart.marketMedian;
}

QString whenText(const QDateTime& when) {
    return QLocale().toString(when, QLocale::ShortFormat);
}

QString pointLine(int series, const ChartPoint& point, const QString& currency) {
    return QStringLiteral("%1: %2 %3 (%4)")
        .arg(QLatin1String(kSeriesNames[series]), FormatAmount(point.minor), currency, point.source);
}

} // namespace

PriceChart::PriceChart(Dialogs& dialogs, QWidget* parent) : QWidget(parent), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("PriceChart"));
    m_chooseSavePath = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Save as PNG"), suggested,
                                            QStringLiteral("PNG images (*.png)"));
    };
    buildUi();
}

void PriceChart::buildUi() {
    m_chart = new QChart;
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_timeAxis = new QDateTimeAxis;
    m_timeAxis->setTitleText(QStringLiteral("run"));
    m_priceAxis = new QValueAxis;
    m_priceAxis->setLabelFormat(QStringLiteral("%.2f"));
    m_chart->addAxis(m_timeAxis, Qt::AlignBottom);
    m_chart->addAxis(m_priceAxis, Qt::AlignLeft);
    for (int series = 0; series < 3; ++series) {
        m_series[series] = new QLineSeries;
        m_series[series]->setName(QLatin1String(kSeriesNames[series]));
        m_series[series]->setPointsVisible(true);
        m_chart->addSeries(m_series[series]);
        m_series[series]->attachAxis(m_timeAxis);
        m_series[series]->attachAxis(m_priceAxis);
        connect(m_series[series], &QLineSeries::hovered, this, [this, series](const QPointF& point, bool entered) {
            if (entered)
                showSeriesPoint(series, point);
        });
    }
    m_view = new QChartView(m_chart, this);
    m_view->setObjectName(QStringLiteral("PriceChartView"));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setFocusPolicy(Qt::StrongFocus);
    m_view->setMouseTracking(true);
    m_view->setToolTip(QStringLiteral("Left and Right step through the runs; Escape closes the chart"));
    m_view->installEventFilter(this);

    m_point = new QLabel(this);
    m_point->setObjectName(QStringLiteral("PriceChartPoint"));
    m_point->setWordWrap(true);
    m_point->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_save = makeButton(QStringLiteral("PriceChartSave"), QStringLiteral("Save as PNG"), this);
    m_close = makeButton(QStringLiteral("PriceChartClose"), QStringLiteral("Close"), this);
    for (QToolButton* button : {m_save, m_close}) {
        button->setFocusPolicy(Qt::StrongFocus);
        button->installEventFilter(this);
    }
    connect(m_save, &QToolButton::clicked, this, &PriceChart::saveClicked);
    connect(m_close, &QToolButton::clicked, this, &PriceChart::closeRequested);

    auto* bar = new QHBoxLayout;
    bar->addWidget(m_point, 1);
    bar->addWidget(m_save);
    bar->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view, 1);
    layout->addLayout(bar);
    setFocusProxy(m_view);
}

void PriceChart::clear() {
    setLine({}, {});
}

void PriceChart::setLine(const LineText& line, const LineChart& chart) {
    m_line = line;
    m_data = chart;
    m_times.clear();
    m_currentRun = -1;
    qint64 lowest = 0, highest = 0;
    bool any = false;
    for (int series = 0; series < 3; ++series) {
        QList<QPointF> points;
        const QList<ChartPoint>& data = pointsOf(chart, series);
        points.reserve(data.size());
        for (const ChartPoint& point : data) {
            points.append({double(point.when.toMSecsSinceEpoch()), double(point.minor) / 100.0});
            m_times.append(point.when);
            lowest = any ? std::min(lowest, point.minor) : point.minor;
            highest = any ? std::max(highest, point.minor) : point.minor;
            any = true;
        }
        m_series[series]->replace(points);
    }
    std::sort(m_times.begin(), m_times.end());
    m_times.erase(std::unique(m_times.begin(), m_times.end()), m_times.end());

    m_chart->setTitle(line.brand.isEmpty() && line.reference.isEmpty()
                          ? QString()
                          : QStringLiteral("%1 %2 %3").arg(line.brand, line.reference, line.name).trimmed());
    m_priceAxis->setTitleText(chart.currency);
    if (any) {
        // A little room above and below, and a day's width when all points share one time.
        const double margin = std::max(0.01, double(highest - lowest) / 100.0 * 0.1);
        m_priceAxis->setRange(double(lowest) / 100.0 - margin, double(highest) / 100.0 + margin);
        const QDateTime first = m_times.first();
        const QDateTime last = m_times.last();
        m_timeAxis->setRange(first == last ? first.addSecs(-43200) : first, first == last ? last.addSecs(43200) : last);
        m_timeAxis->setFormat(first.daysTo(last) > 2 ? QStringLiteral("dd.MM.yy") : QStringLiteral("dd.MM hh:mm"));
        m_timeAxis->setTickCount(std::clamp(int(m_times.size()), 2, 7));
    }
    m_point->setText(
        any ? QStringLiteral("%1 runs. Hover a point, or press Left and Right, to read it.").arg(m_times.size())
            : QStringLiteral("No prices of this line in the history yet."));
    m_save->setEnabled(any);
}

QString PriceChart::pointText() const {
    return m_point->text();
}

void PriceChart::showSeriesPoint(int series, const QPointF& point) {
    const QList<ChartPoint>& data = pointsOf(m_data, series);
    if (data.isEmpty())
        return;
    // The hovered position lies near one point; take the nearest in time.
    const auto nearest = std::min_element(data.begin(), data.end(), [&](const ChartPoint& a, const ChartPoint& b) {
        return std::abs(double(a.when.toMSecsSinceEpoch()) - point.x()) <
               std::abs(double(b.when.toMSecsSinceEpoch()) - point.x());
    });
    m_point->setText(whenText(nearest->when) + QStringLiteral(" - ") + pointLine(series, *nearest, m_data.currency));
}

void PriceChart::stepTo(int run) {
    if (m_times.isEmpty())
        return;
    m_currentRun = std::clamp(run, 0, int(m_times.size()) - 1);
    const QDateTime when = m_times[m_currentRun];
    QStringList parts;
    for (int series = 0; series < 3; ++series)
        for (const ChartPoint& point : pointsOf(m_data, series))
            if (point.when == when)
                parts << pointLine(series, point, m_data.currency);
    m_point->setText(QStringLiteral("%1 (run %2 of %3) - %4")
                         .arg(whenText(when))
                         .arg(m_currentRun + 1)
                         .arg(m_times.size())
                         .arg(parts.join(QStringLiteral("; "))));
}

bool PriceChart::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
        emit closeRequested();
        return true;
    }
    if (watched == m_view) {
        switch (key->key()) {
        case Qt::Key_Left:
            stepTo(m_currentRun < 0 ? int(m_times.size()) - 1 : m_currentRun - 1);
            return true;
        case Qt::Key_Right:
            stepTo(m_currentRun + 1);
            return true;
        case Qt::Key_Home:
            stepTo(0);
            return true;
        case Qt::Key_End:
            stepTo(int(m_times.size()) - 1);
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PriceChart::setSavePathChooser(std::function<QString(const QString&)> choose) {
    m_chooseSavePath = std::move(choose);
}

void PriceChart::saveClicked() {
    QString suggested = QStringLiteral("%1 %2.png").arg(m_line.brand, m_line.reference).trimmed();
    suggested.replace(QLatin1Char('/'), QLatin1Char('-'));
    const QString path = m_chooseSavePath(suggested);
    if (!path.isEmpty())
        saveAsPng(path);
}

bool PriceChart::saveAsPng(const QString& path) {
    // Written beside the target and renamed over it: a link at the path is replaced, never
    // written through (QSaveFile would follow it).
    QByteArray png;
    QBuffer buffer(&png);
    QString error = QStringLiteral("Could not save the chart as \"%1\": the picture could not be made").arg(path);
    const bool saved = buffer.open(QIODevice::WriteOnly) && m_view->grab().toImage().save(&buffer, "PNG") &&
                       AtomicFile::replace(path, png, AtomicFile::Access::Shared, &error);
    if (!saved)
        m_dialogs.titledError(QStringLiteral("Error"), error);
    return saved;
}
