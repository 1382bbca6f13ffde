#pragma once

#include "platform/spreadsheetwriter.h"
#include "pricing/bestoffers.h"

#include <QAbstractTableModel>
#include <QHash>

// BEST OFFERS: one row per comparative-list line, summarised from its offers. Filled from the
// price history at start-up and kept current by a run's row batches.
class BestOffersModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Brand,
        Reference,
        Name,
        OwnPrice,
        OwnFile,
        BestOffer,
        Currency,
        Shop,
        ShopOffers,
        MarketOffers,
        MarketLowest,
        MarketMedian,
        MarketHighest,
        Margin,
        Change,
        OtherCurrencies,
        Unreadable,
        ColumnCount
    };
    enum Role {
        // Numbers as numbers (hundredths, counts), texts as texts; nothing where a cell is empty.
        SortRole = Qt::UserRole,
        UndercutRole,
        LineKeyRole,
    };

    explicit BestOffersModel(QObject* parent = nullptr);

    const BestOffersSettings& settings() const { return m_settings; }
    // A new home currency or threshold summarises every line again.
    void setSettings(const BestOffersSettings& settings);

    // The lines as the price history last saw them.
    void setLines(const QList<LineSnapshot>& lines);
    // A run starts over these lines: each line's offers so far become its previous run's, lines
    // not in the run leave.
    void startRun(const QList<LineText>& lines);
    // A batch of the run's rows; a line the run did not name is added at the end.
    void addOffers(const QList<LineOffer>& offers);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const LineSummary& line(int row) const { return m_rows[row].summary; }
    const QList<Offer>& offersOf(int row) const { return m_rows[row].offers; }
    // -1 when the line is not shown.
    int rowOf(const QString& key) const { return m_rowOfKey.value(key, -1); }

    // The sheet of the given rows in that order, under a title row: amounts as numbers in their
    // currency's format, percentages as percentages.
    QList<QList<SpreadsheetWriter::Cell>> sheet(const QList<int>& rows) const;

private:
    struct Row {
        LineText text;
        QList<Offer> offers;
        QList<Offer> previous;
        LineSummary summary;
    };
    void summarize(Row& row, const QString& key) const;
    QString text(const LineSummary& line, int column) const;
    QVariant sortValue(const LineSummary& line, int column) const;

    BestOffersSettings m_settings;
    QList<Row> m_rows;
    QHash<QString, int> m_rowOfKey;
};
