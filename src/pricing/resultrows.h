#pragma once

#include "pricing/gridrows.h"
#include "pricing/pricelines.h"

#include <QMap>

class Dialogs;

// Where a result row came from.
enum class ResultSource { OwnPriceList, ShopComparison, PriceAnalysis };

// The rows one source gave for one comparative-list line: the unit in which results travel from
// the run to the tables and on to whoever listens to them.
struct ResultBatch {
    PriceLine line;
    ResultSource source = ResultSource::OwnPriceList;
    // The site asked; empty for own price lists.
    QString site;
    // Cells in the table's column order.
    QList<QStringList> rows;
};

// One of the two result tables: the comparison table (brand, reference, name, shop, price,
// currency) or the analysis table (main flag, brand, reference, name, shop, first price and
// currency, other price and currency, URL, id).
class ResultRows : public GridRows {
    Q_OBJECT
public:
    enum class Table { Compare, Analysis };
    static constexpr int kAnalysisIdColumn = 10;

    explicit ResultRows(Table table, QObject* parent = nullptr);
    Table table() const { return m_table; }

    // Every row of the batches in one insert. A main offer row of the analysis table gets, in
    // its "id" cell, the grid row it is added at.
    void appendBatches(const QList<ResultBatch>& batches);
    // Asks the table's clear question and clears it on Yes.
    bool clearAsked(Dialogs& dialogs);
    QString clearQuestion() const;

    // An analysis row's cells by column, as the readings give them.
    static QStringList analysisCells(const QMap<int, QString>& cells);

signals:
    void batchesAppended(const QList<ResultBatch>& batches);

private:
    Table m_table;
};
