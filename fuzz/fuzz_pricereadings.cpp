// Price service answers: any text reads without harm; each comparison record closes on a line
// of its own; every analysis line read is the tagged form of its five values and reads back
// into the table's cells when no value holds a tag's bracket.
#include "fuzzcheck.h"
#include "platform/textfile.h"
#include "pricing/pricereadings.h"

#include <cstdint>

namespace {
QString between(const QString& text, const QString& open, const QString& close) {
    const qsizetype from = text.indexOf(open);
    if (from < 0)
        return {};
    const qsizetype start = from + open.size();
    const qsizetype end = text.indexOf(close, start);
    return end < 0 ? QString() : text.mid(start, end - start);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const int maxrow = data[0] % 6;
    const QString answer = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const qsizetype lineCount = TextFile::splitLines(answer).size();

    FUZZ_CHECK(ReadCompareAnswer(answer).size() <= lineCount);

    const QStringList offers = ReadAnalysisAnswer(answer, maxrow);
    FUZZ_CHECK(offers.size() <= lineCount);
    for (const QString& offer : offers) {
        FUZZ_CHECK(offer.startsWith(QLatin1String("<_MAIN>")));
        const QMap<int, QString> cells = AnalysisRowCells(offer, "BOSCH", "0 986 424 797", "Brake Pad Set");
        FUZZ_CHECK(cells.contains(4) && cells.contains(9));
    }

    // Values of the answer's own lines put into the tagged form come back in their columns.
    const QStringList values = answer.split(QLatin1Char('"'));
    if (values.size() >= 4 && !answer.contains(QLatin1Char('<'))) {
        const QString line = AnalysisLine("+", values[0], values[1], values[2], values[3]);
        const QMap<int, QString> cells = AnalysisRowCells(line, "B", "P", "N");
        FUZZ_CHECK(cells.value(0) == "+" && cells.value(4) == values[0] && cells.value(5) == values[1] &&
                   cells.value(9) == values[2] && cells.value(6) == values[3]);
        FUZZ_CHECK(between(line, "<_HOST>", "</_HOST>") == values[0]);
    }
    return 0;
}
