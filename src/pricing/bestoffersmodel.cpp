#include "pricing/bestoffersmodel.h"

#include <QStringList>

#include <algorithm>

namespace {

const char* const kTitles[BestOffersModel::ColumnCount] = {"brand",
                                                           "reference",
                                                           "name",
                                                           "own price",
                                                           "own price list",
                                                           "best offer",
                                                           "currency",
                                                           "shop",
                                                           "shop offers",
                                                           "e-platform offers",
                                                           "e-platform lowest",
                                                           "e-platform median",
                                                           "e-platform highest",
                                                           "margin",
                                                           "change",
                                                           "other currencies",
                                                           "unreadable prices"};

const char* const kUndercutTitle = "undercut";

std::optional<qint64> amountOf(const LineSummary& line, int column) {
    switch (column) {
    case BestOffersModel::OwnPrice:
        return line.ownPrice;
    case BestOffersModel::BestOffer:
        return line.bestShop;
    case BestOffersModel::MarketLowest:
        return line.marketLowest;
    case BestOffersModel::MarketMedian:
        return line.marketMedian;
    case BestOffersModel::MarketHighest:
        return line.marketHighest;
    default:
        return std::nullopt;
    }
}

std::optional<qint64> percentOf(const LineSummary& line, int column) {
    if (column == BestOffersModel::Margin)
        return line.marginBasisPoints;
    if (column == BestOffersModel::Change)
        return line.changeBasisPoints;
    return std::nullopt;
}

std::optional<int> countOf(const LineSummary& line, int column) {
    switch (column) {
    case BestOffersModel::ShopOffers:
        return line.shopOffers;
    case BestOffersModel::MarketOffers:
        return line.marketOffers;
    case BestOffersModel::Unreadable:
        return line.unreadable;
    default:
        return std::nullopt;
    }
}

bool numericColumn(int column) {
    switch (column) {
    case BestOffersModel::OwnPrice:
    case BestOffersModel::BestOffer:
    case BestOffersModel::MarketLowest:
    case BestOffersModel::MarketMedian:
    case BestOffersModel::MarketHighest:
    case BestOffersModel::Margin:
    case BestOffersModel::Change:
    case BestOffersModel::ShopOffers:
    case BestOffersModel::MarketOffers:
    case BestOffersModel::Unreadable:
        return true;
    default:
        return false;
    }
}

QString otherCurrenciesText(const LineSummary& line) {
    QStringList parts;
    for (const CurrencyOffers& other : line.otherCurrencies)
        parts << QStringLiteral("%1: %2 from %3")
                     .arg(other.currency.isEmpty() ? QStringLiteral("?") : other.currency)
                     .arg(other.offers)
                     .arg(FormatAmount(other.lowest));
    return parts.join(QStringLiteral("; "));
}

// An Excel format that shows the amount with its currency code, which no locale of the reader
// can turn into another currency's symbol.
QString amountFormat(const QString& currency) {
    QString code;
    for (const QChar c : currency)
        if (c.isLetter())
            code += c;
    return code.isEmpty() ? QStringLiteral("#,##0.00") : QStringLiteral("#,##0.00 \"%1\"").arg(code);
}

} // namespace

BestOffersModel::BestOffersModel(QObject* parent) : QAbstractTableModel(parent) {}

void BestOffersModel::setSettings(const BestOffersSettings& settings) {
    if (settings == m_settings)
        return;
    m_settings = settings;
    for (Row& row : m_rows)
        summarize(row, row.summary.key);
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, 0), index(int(m_rows.size()) - 1, ColumnCount - 1));
}

void BestOffersModel::summarize(Row& row, const QString& key) const {
    row.summary = SummarizeLine(key, row.text, row.offers, row.previous, m_settings);
}

void BestOffersModel::setLines(const QList<LineSnapshot>& lines) {
    beginResetModel();
    m_rows.clear();
    m_rowOfKey.clear();
    m_rows.reserve(lines.size());
    for (const LineSnapshot& line : lines) {
        if (m_rowOfKey.contains(line.key))
            continue;
        Row row{line.text, line.offers, line.previousOffers, {}};
        summarize(row, line.key);
        m_rowOfKey.insert(line.key, int(m_rows.size()));
        m_rows.append(std::move(row));
    }
    endResetModel();
}

void BestOffersModel::startRun(const QList<LineText>& lines) {
    beginResetModel();
    QList<Row> rows;
    QHash<QString, int> rowOfKey;
    rows.reserve(lines.size());
    for (const LineText& text : lines) {
        const QString key = LineKey(text);
        if (rowOfKey.contains(key))
            continue;
        Row row{text, {}, {}, {}};
        if (const int before = m_rowOfKey.value(key, -1); before >= 0) {
            const Row& old = m_rows[before];
            // A line the last run left without a single offer keeps the run before as its previous.
            row.previous = old.offers.isEmpty() ? old.previous : old.offers;
        }
        summarize(row, key);
        rowOfKey.insert(key, int(rows.size()));
        rows.append(std::move(row));
    }
    m_rows = std::move(rows);
    m_rowOfKey = std::move(rowOfKey);
    endResetModel();
}

void BestOffersModel::addOffers(const QList<LineOffer>& offers) {
    QList<int> touched;
    for (const LineOffer& offer : offers) {
        const QString key = LineKey(offer.line);
        int at = m_rowOfKey.value(key, -1);
        if (at < 0) {
            at = int(m_rows.size());
            beginInsertRows({}, at, at);
            m_rows.append({offer.line, {}, {}, {}});
            summarize(m_rows.back(), key);
            m_rowOfKey.insert(key, at);
            endInsertRows();
        }
        m_rows[at].offers.append(offer.offer);
        if (!touched.contains(at))
            touched.append(at);
    }
    if (touched.isEmpty())
        return;
    for (const int at : touched)
        summarize(m_rows[at], m_rows[at].summary.key);
    const auto [first, last] = std::minmax_element(touched.begin(), touched.end());
    emit dataChanged(index(*first, 0), index(*last, ColumnCount - 1));
}

int BestOffersModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int BestOffersModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString BestOffersModel::text(const LineSummary& line, int column) const {
    if (const std::optional<qint64> amount = amountOf(line, column))
        return FormatAmount(*amount);
    if (const std::optional<int> count = countOf(line, column))
        return column == Unreadable && *count == 0 ? QString() : QString::number(*count);
    switch (column) {
    case Brand:
        return line.text.brand;
    case Reference:
        return line.text.reference;
    case Name:
        return line.text.name;
    case OwnFile:
        return line.ownFile;
    case Currency:
        return line.ownPrice || line.bestShop || line.marketOffers ? line.currency : QString();
    case Shop:
        return line.bestShopTies > 1
                   ? QStringLiteral("%1 (+%2 at this price)").arg(line.bestShopSeller).arg(line.bestShopTies - 1)
                   : line.bestShopSeller;
    case Margin:
        return line.marginBasisPoints ? FormatPercent(*line.marginBasisPoints, true) : QString();
    case Change:
        if (!line.changeBasisPoints)
            return {};
        if (*line.changeBasisPoints == 0)
            return QStringLiteral("= ") + FormatPercent(0);
        // An arrow and a sign, so the direction reads without colour.
        return (*line.changeBasisPoints > 0 ? QStringLiteral("▲ ") : QStringLiteral("▼ ")) +
               FormatPercent(*line.changeBasisPoints, true);
    case OtherCurrencies:
        return otherCurrenciesText(line);
    default:
        return {};
    }
}

QVariant BestOffersModel::sortValue(const LineSummary& line, int column) const {
    if (const std::optional<qint64> amount = amountOf(line, column))
        return qlonglong(*amount);
    if (const std::optional<qint64> percent = percentOf(line, column))
        return qlonglong(*percent);
    if (const std::optional<int> count = countOf(line, column))
        return qlonglong(*count);
    if (column == OtherCurrencies) {
        qlonglong offers = 0;
        for (const CurrencyOffers& other : line.otherCurrencies)
            offers += other.offers;
        return offers;
    }
    if (numericColumn(column))
        return {};
    const QString shown = text(line, column);
    return shown.isEmpty() ? QVariant() : QVariant(shown);
}

QVariant BestOffersModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= ColumnCount)
        return {};
    const LineSummary& line = m_rows[index.row()].summary;
    switch (role) {
    case Qt::DisplayRole:
        return text(line, index.column());
    case SortRole:
        return sortValue(line, index.column());
    case UndercutRole:
        return line.undercut;
    case LineKeyRole:
        return line.key;
    case Qt::TextAlignmentRole:
        return numericColumn(index.column()) ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    case Qt::ToolTipRole:
        if (line.undercut)
            return QStringLiteral("Undercut: the best shop offer is %1 below the own price")
                .arg(FormatPercent(-*line.marginBasisPoints));
        if (index.column() == Change && line.previousBest)
            return QStringLiteral("Best offer of the previous run: %1 %2")
                .arg(FormatAmount(*line.previousBest), line.currency);
        return {};
    default:
        return {};
    }
}

QVariant BestOffersModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromLatin1(kTitles[section]);
}

QList<QList<SpreadsheetWriter::Cell>> BestOffersModel::sheet(const QList<int>& rows) const {
    QList<QList<SpreadsheetWriter::Cell>> sheet;
    sheet.reserve(rows.size() + 1);
    QList<SpreadsheetWriter::Cell> titles;
    for (const char* title : kTitles)
        titles.append({QString::fromLatin1(title), std::nullopt, {}});
    titles.append({QString::fromLatin1(kUndercutTitle), std::nullopt, {}});
    sheet.append(titles);
    for (const int row : rows) {
        if (row < 0 || row >= m_rows.size())
            continue;
        const LineSummary& line = m_rows[row].summary;
        QList<SpreadsheetWriter::Cell> cells;
        cells.reserve(ColumnCount + 1);
        for (int column = 0; column < ColumnCount; ++column) {
            SpreadsheetWriter::Cell cell{text(line, column), std::nullopt, {}};
            if (const std::optional<qint64> amount = amountOf(line, column)) {
                cell.number = double(*amount) / 100.0;
                cell.numberFormat = amountFormat(line.currency);
            } else if (const std::optional<qint64> percent = percentOf(line, column)) {
                cell.number = double(*percent) / 10000.0;
                cell.numberFormat = QStringLiteral("+0.00%;-0.00%;0.00%");
            } else if (const std::optional<int> count = countOf(line, column)) {
                cell.number = *count;
                cell.numberFormat = QStringLiteral("0");
            }
            cells.append(cell);
        }
        cells.append({line.undercut ? QStringLiteral("yes") : QString(), std::nullopt, {}});
        sheet.append(cells);
    }
    return sheet;
}
