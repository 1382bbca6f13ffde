#include "pricing/resultrows.h"

#include "platform/dialogs.h"

namespace {

QStringList titlesOf(ResultRows::Table table) {
    if (table == ResultRows::Table::Compare)
        return {QStringLiteral("brand"), QStringLiteral("reference"), QStringLiteral("name"),
                QStringLiteral("shop"),  QStringLiteral("price"),     QStringLiteral("currency")};
    return {QStringLiteral("main [+/null]"),  QStringLiteral("brand"),       QStringLiteral("reference"),
            QStringLiteral("name"),           QStringLiteral("shop"),        QStringLiteral("first-price"),
            QStringLiteral("first-currency"), QStringLiteral("other-price"), QStringLiteral("other-currency"),
            QStringLiteral("other-url"),      QStringLiteral("id")};
}

} // namespace

ResultRows::ResultRows(Table table, QObject* parent) : GridRows(titlesOf(table), parent), m_table(table) {}

void ResultRows::appendBatches(const QList<ResultBatch>& batches) {
    QList<QStringList> rows;
    for (const ResultBatch& batch : batches)
        rows << batch.rows;
    if (rows.isEmpty() && batches.isEmpty())
        return;
    if (m_table == Table::Analysis) {
        for (qsizetype i = 0; i < rows.size(); ++i) {
            QStringList& cells = rows[i];
            while (cells.size() <= kAnalysisIdColumn)
                cells << QString();
            if (cells.at(0) == QLatin1String("+"))
                cells[kAnalysisIdColumn] = QString::number(count() + 1 + i);
        }
    }
    appendRows(rows);
    emit batchesAppended(batches);
}

bool ResultRows::clearAsked(Dialogs& dialogs) {
    if (!dialogs.confirm(clearQuestion()))
        return false;
    clear();
    return true;
}

QString ResultRows::clearQuestion() const {
    return m_table == Table::Compare ? QStringLiteral("Clean full list in table compare prices ???")
                                     : QStringLiteral("Clean full list in table analiz prices ???");
}

QStringList ResultRows::analysisCells(const QMap<int, QString>& cells) {
    QStringList row(kAnalysisIdColumn + 1, QString());
    for (auto it = cells.cbegin(); it != cells.cend(); ++it)
        if (it.key() >= 0 && it.key() <= kAnalysisIdColumn)
            row[it.key()] = it.value();
    return row;
}
