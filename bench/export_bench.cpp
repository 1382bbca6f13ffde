// Spreadsheet export of a 20,000-row analysis table: the writer alone, and the whole export path
// from the grid's cells. The written file's size is reported as a counter. The writer refuses to
// replace a file it did not make, so every iteration writes a path of its own; the one before is
// removed outside the timed region.

#include "platform/spreadsheetwriter.h"
#include "pricing/resultrows.h"
#include "pricing/tablegrid.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kRows = 20000;

// Writes the rows once per iteration to a fresh path; the size of the last file written.
template <class Rows> qint64 writeEachIteration(benchmark::State& state, const QString& stem, Rows&& rows) {
    QTemporaryDir dir;
    QString previous;
    qint64 size = 0;
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!previous.isEmpty()) {
            size = QFileInfo(previous).size();
            QFile::remove(previous);
        }
        previous = dir.filePath(QStringLiteral("%1-%2.xlsx").arg(stem).arg(++n));
        state.ResumeTiming();
        if (!SpreadsheetWriter::write(previous, rows())) {
            state.SkipWithError("write failed");
            return 0;
        }
    }
    return previous.isEmpty() ? size : QFileInfo(previous).size();
}

// Main offers, each followed by four sub-offers, as the analysis service delivers them.
QList<QStringList> analysisRows() {
    QList<QStringList> rows;
    rows << QStringList{"main [+/null]",  "brand",       "reference",      "name",      "shop", "first-price",
                        "first-currency", "other-price", "other-currency", "other-url", "id"};
    for (int i = 1; i <= kRows; ++i) {
        const QString n = QString::number(i);
        const QString url = "https://www.ebay.de/itm/" + QString::number(100000000 + i * 7919);
        if (i % 5 == 1)
            rows << QStringList{"+",
                                "BOSCH",
                                "0 986 4" + n,
                                "Brake Disc Front Axle vented " + n,
                                "ebay.de",
                                QString::number(20 + i % 80) + ".95",
                                "EUR",
                                "",
                                "",
                                url,
                                n};
        else
            rows << QStringList{"",    "",  "", "", "ebay.de", "", "", QString::number(19 + i % 70) + ".50",
                                "EUR", url, ""};
    }
    rows << QStringList(11, QString());
    return rows;
}

void BM_WriteAnalysisRows(benchmark::State& state) {
    const QList<QStringList> rows = analysisRows();
    state.counters["file_bytes"] = double(writeEachIteration(state, "analysis", [&rows] { return rows; }));
    state.counters["rows"] = double(rows.size());
}
BENCHMARK(BM_WriteAnalysisRows)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_ExportAnalysisGrid(benchmark::State& state) {
    const QList<QStringList> rows = analysisRows();
    ResultRows model(ResultRows::Table::Analysis);
    TableGrid grid("StringGrid3", &model, {75, 75, 100, 150, 100, 75, 75, 75, 75, 150, 75});
    for (int r = 1; r < rows.size() - 1; ++r)
        grid.appendRow(rows[r]);
    state.counters["file_bytes"] = double(writeEachIteration(state, "grid", [&grid] { return grid.rowTexts(); }));
    state.counters["rows"] = double(grid.rowCount());
}
BENCHMARK(BM_ExportAnalysisGrid)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

} // namespace
