#include "pricing/bestoffersview.h"

#include "platform/dialogs.h"
#include "platform/formcontrols.h"
#include "platform/widgets.h"
#include "pricing/pricechart.h"
#include "pricing/tablegrid.h"
#include "service/appcontext.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

// Sorts numbers as numbers, filters on every column, and marks undercut rows with an icon and a
// colour together: the colour alone would say nothing to some users.
class BestOffersProxy : public QSortFilterProxyModel {
public:
    explicit BestOffersProxy(QObject* parent) : QSortFilterProxyModel(parent) {
        setSortRole(BestOffersModel::SortRole);
        setSortLocaleAware(true);
        setFilterKeyColumn(-1);
        setFilterCaseSensitivity(Qt::CaseInsensitive);
        m_undercut = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if ((role == Qt::DecorationRole || role == Qt::BackgroundRole || role == Qt::ForegroundRole) &&
            index.data(BestOffersModel::UndercutRole).toBool()) {
            if (role == Qt::DecorationRole)
                return index.column() == BestOffersModel::Brand ? QVariant(m_undercut) : QVariant();
            return role == Qt::BackgroundRole ? QColor(255, 214, 214) : QColor(Qt::black);
        }
        return QSortFilterProxyModel::data(index, role);
    }

private:
    QIcon m_undercut;
};

namespace {

QToolButton* barButton(const QString& name, const QString& text, const QString& hint, QWidget* parent) {
    QToolButton* button = makeButton(name, text, parent);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

QString sourceName(OfferSource source) {
    switch (source) {
    case OfferSource::Own:
        return QStringLiteral("own price list");
    case OfferSource::Shop:
        return QStringLiteral("shop");
    case OfferSource::Marketplace:
        return QStringLiteral("e-platform");
    }
    return {};
}

} // namespace

BestOffersView::BestOffersView(AppContext& context, QWidget* parent) : QWidget(parent), m_context(context) {
    setObjectName(QStringLiteral("BestOffersView"));
    buildUi();
}

BestOffersView::~BestOffersView() = default;

void BestOffersView::buildUi() {
    m_proxy = new BestOffersProxy(this);
    m_proxy->setSourceModel(&m_model);

    m_filter = makeEdit(QStringLiteral("BestOffersFilter"), QString(), this);
    m_filter->setPlaceholderText(QStringLiteral("Filter by brand, reference, name, shop ..."));
    m_filter->setClearButtonEnabled(true);
    m_export = barButton(QStringLiteral("BestOffersExport"), QStringLiteral("XLS"),
                         QStringLiteral("Export to MS Excel"), this);
    m_offers = barButton(QStringLiteral("BestOffersOffers"), QStringLiteral("OFFERS"),
                         QStringLiteral("Show the offers of the selected line"), this);
    m_chartButton = barButton(QStringLiteral("BestOffersChart"), QStringLiteral("CHART"),
                              QStringLiteral("Show or hide the price chart of the selected line"), this);

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("BestOffersTable"));
    m_table->setModel(m_proxy);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    // The lines stay in the order of the list until the user picks a column.
    m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->setColumnWidth(BestOffersModel::Name, 150);
    m_table->setColumnWidth(BestOffersModel::Shop, 130);
    m_table->setColumnWidth(BestOffersModel::OtherCurrencies, 150);

    auto* bar = new QHBoxLayout;
    bar->addWidget(m_filter, 1);
    bar->addWidget(m_export);
    bar->addWidget(m_offers);
    bar->addWidget(m_chartButton);
    m_split = new QSplitter(Qt::Vertical, this);
    m_split->setChildrenCollapsible(false);
    m_split->addWidget(m_table);
    auto* layout = new QVBoxLayout(this);
    // A tab page: the tab's frame is margin enough, and the page must not make the tables' side
    // of the catalog page wider than the other tabs do.
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(bar);
    layout->addWidget(m_split, 1);
    setTabOrder(m_filter, m_export);
    setTabOrder(m_export, m_offers);
    setTabOrder(m_offers, m_chartButton);
    setTabOrder(m_chartButton, m_table);

    connect(m_filter, &QLineEdit::textChanged, m_proxy, &QSortFilterProxyModel::setFilterFixedString);
    connect(m_export, &QToolButton::clicked, this, &BestOffersView::exportClicked);
    connect(m_offers, &QToolButton::clicked, this, &BestOffersView::showOffers);
    connect(m_chartButton, &QToolButton::clicked, this, &BestOffersView::toggleChart);
    connect(m_table, &QTableView::doubleClicked, this, &BestOffersView::showOffers);
    connect(new KeyWatcher(m_table, Qt::Key_Return), &KeyWatcher::pressed, this, &BestOffersView::showOffers);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &BestOffersView::refreshChart);
    connect(&m_model, &QAbstractItemModel::modelReset, this, &BestOffersView::refreshChart);
}

void BestOffersView::ensureChart() {
    if (m_chart)
        return;
    m_chart = new PriceChart(*m_context.dialogs, this);
    m_chart->hide();
    m_split->addWidget(m_chart);
    m_split->setStretchFactor(0, 3);
    m_split->setStretchFactor(1, 2);
    setTabOrder(m_table, m_chart);
    connect(m_chart, &PriceChart::closeRequested, this, [this] {
        m_chart->hide();
        m_table->setFocus(Qt::OtherFocusReason);
    });
}

void BestOffersView::setSettings(const BestOffersSettings& settings) {
    m_model.setSettings(settings);
    m_chartKey.clear();
    refreshChart();
}

void BestOffersView::setChartSource(std::function<QList<RunOffers>(const QString&)> source) {
    m_chartSource = std::move(source);
    m_chartKey.clear();
    refreshChart();
}

QString BestOffersView::currentKey() const {
    const QModelIndex current = m_table->currentIndex();
    return current.isValid() ? current.data(BestOffersModel::LineKeyRole).toString() : QString();
}

QList<int> BestOffersView::shownRows() const {
    QList<int> rows;
    rows.reserve(m_proxy->rowCount());
    for (int row = 0; row < m_proxy->rowCount(); ++row)
        rows.append(m_proxy->mapToSource(m_proxy->index(row, 0)).row());
    return rows;
}

void BestOffersView::refreshChart() {
    if (!m_chart || m_chart->isHidden())
        return;
    const QString key = currentKey();
    if (key == m_chartKey && !key.isEmpty())
        return;
    m_chartKey = key;
    const int row = m_model.rowOf(key);
    if (key.isEmpty() || row < 0 || !m_chartSource) {
        m_chart->clear();
        return;
    }
    m_chart->setLine(m_model.line(row).text, ChartOfLine(m_chartSource(key), m_model.settings()));
}

void BestOffersView::toggleChart() {
    if (m_chart && m_chart->isVisible()) {
        m_chart->hide();
        m_table->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!m_table->currentIndex().isValid() && m_proxy->rowCount() > 0)
        m_table->setCurrentIndex(m_proxy->index(0, 0));
    ensureChart();
    m_chart->show();
    m_chartKey.clear();
    refreshChart();
    m_chart->setFocus(Qt::OtherFocusReason);
}

void BestOffersView::showOffers() {
    const QString key = currentKey();
    const int row = m_model.rowOf(key);
    if (row < 0)
        return;
    emit showOffersRequested(key);
    const LineSummary& line = m_model.line(row);
    const QList<Offer>& offers = m_model.offersOf(row);

    auto* dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("LineOffersWindow"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(
        QStringLiteral("Offers: %1 %2 %3").arg(line.text.brand, line.text.reference, line.text.name));
    auto* table = new QTableWidget(int(offers.size()), 5, dialog);
    table->setObjectName(QStringLiteral("LineOffersTable"));
    table->setHorizontalHeaderLabels({QStringLiteral("source"), QStringLiteral("shop"), QStringLiteral("price"),
                                      QStringLiteral("currency"), QStringLiteral("read as")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    for (int r = 0; r < offers.size(); ++r) {
        const Offer& offer = offers[r];
        QString readAs = QStringLiteral("unreadable");
        if (offer.money)
            readAs = QStringLiteral("%1 %2")
                         .arg(FormatAmount(offer.money->minor), OfferCurrency(offer, m_model.settings()))
                         .trimmed();
        const QStringList cells{sourceName(offer.source), offer.seller, offer.priceText, offer.currencyText, readAs};
        for (int c = 0; c < cells.size(); ++c)
            table->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    table->resizeColumnsToContents();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(table);
    layout->addWidget(buttons);
    dialog->resize(640, 360);
    dialog->open();
    dialog->activateWindow();
}

void BestOffersView::exportClicked() {
    const auto rows = m_model.sheet(shownRows());
    SaveExport(m_context, QStringLiteral("Best offers"),
               [&](const QString& path, QString* error) { return SpreadsheetWriter::write(path, rows, 1, error); });
}
