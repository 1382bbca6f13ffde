#include "platform/logview.h"

#include <QAbstractListModel>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>

class LogView::Lines : public QAbstractListModel {
public:
    Lines(const QStringList& lines, QObject* parent) : QAbstractListModel(parent), m_lines(lines) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : m_shown; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= m_shown)
            return {};
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return m_lines.at(index.row());
        return {};
    }
    // Rows for the lines added since; the number of the first new one.
    qsizetype showAdded() {
        const qsizetype first = m_shown;
        const int count = int(m_lines.size());
        if (count > m_shown) {
            beginInsertRows(QModelIndex(), m_shown, count - 1);
            m_shown = count;
            endInsertRows();
        }
        return first;
    }
    const QStringList& lines() const { return m_lines; }

private:
    const QStringList& m_lines;
    int m_shown = 0;
};

LogView::LogView(const QStringList& lines, QWidget* parent) : QTableView(parent), m_model(new Lines(lines, this)) {
    setModel(m_model);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setShowGrid(false);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setTextElideMode(Qt::ElideNone);
    changeEvent(nullptr);
    m_pending.setSingleShot(true);
    connect(&m_pending, &QTimer::timeout, this, &LogView::showAdded);
    showAdded();
    // The lines it was made with do not hold back the first lines appended.
    m_sinceShown.invalidate();
}

void LogView::linesAppended() {
    if (m_pending.isActive())
        return;
    const qint64 since = m_sinceShown.isValid() ? m_sinceShown.elapsed() : kIntervalMs;
    if (!isVisible() || since >= kIntervalMs)
        showAdded();
    else
        m_pending.start(int(kIntervalMs - since));
}

void LogView::showAdded() {
    m_pending.stop();
    m_sinceShown.start();
    // The scroll bar as the user sees it, with every row shown so far laid out.
    executeDelayedItemsLayout();
    updateGeometries();
    QScrollBar* bar = verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    widenFor(m_model->showAdded());
    updateGeometries();
    if (atEnd)
        scrollToBottom();
}

void LogView::widenFor(qsizetype from) {
    const QStringList& lines = m_model->lines();
    for (qsizetype i = from; i < lines.size(); ++i) {
        if (lines.at(i).size() <= m_longest)
            continue;
        m_longest = lines.at(i).size();
        // The cell's own margins on both sides.
        const int width =
            fontMetrics().horizontalAdvance(lines.at(i)) + 4 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
        if (width > columnWidth(0))
            setColumnWidth(0, width);
    }
}

QString LogView::text() {
    if (m_pending.isActive())
        showAdded();
    return m_model->lines().mid(0, m_model->rowCount()).join(QLatin1Char('\n'));
}

void LogView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        if (m_pending.isActive())
            showAdded();
        QModelIndexList rows = selectionModel()->selectedRows();
        std::sort(rows.begin(), rows.end());
        QStringList copied;
        for (const QModelIndex& row : rows)
            copied << m_model->lines().at(row.row());
        QGuiApplication::clipboard()->setText(copied.join(QLatin1Char('\n')));
        return;
    }
    QTableView::keyPressEvent(event);
}

void LogView::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    if (m_pending.isActive())
        showAdded();
}

void LogView::changeEvent(QEvent* event) {
    // Rows and column follow the font.
    if (!event || event->type() == QEvent::FontChange) {
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2);
        m_longest = 0;
        setColumnWidth(0, 0);
        widenFor(0);
    }
    if (event)
        QTableView::changeEvent(event);
}
