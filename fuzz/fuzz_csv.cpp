// Price list lines: a line without quotes splits exactly as Qt splits it (after the trailing ";"
// are stripped), fields written with quotes read back as written, a split that stops early
// gives the first fields of the whole split, and recognising columns never fails on any titles.
#include "fuzzcheck.h"
#include "pricelists/pricelistreaders.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    static const char16_t kSeparators[] = {u';', u',', u'\t', u'|'};
    const QChar separator(kSeparators[data[0] % 4]);
    const int maxFields = data[1] % 8 + 1;
    QString line = QString::fromUtf8(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));

    const QStringList fields = SplitCsvLine(line, separator);
    QString stripped = line;
    while (stripped.endsWith(QLatin1Char(';')))
        stripped.chop(1);
    if (!line.contains(QLatin1Char('"')))
        FUZZ_CHECK(fields == (stripped.isEmpty() ? QStringList() : stripped.split(separator)));

    CsvSplitter splitter(separator);
    const std::vector<QStringView>& first = splitter.split(line, maxFields);
    FUZZ_CHECK(qsizetype(first.size()) == qMin<qsizetype>(maxFields, fields.size()));
    for (std::size_t i = 0; i < first.size(); ++i)
        FUZZ_CHECK(first[i] == fields.at(qsizetype(i)));

    // The input's pieces between separators as fields, each written quoted.
    const QStringList written = line.split(separator);
    QStringList quoted;
    for (QString field : written)
        quoted << QLatin1Char('"') + field.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
    FUZZ_CHECK(SplitCsvLine(quoted.join(separator), separator) == written);

    const PriceColumnNames names{fields.value(0), fields.value(1), fields.value(2)};
    const PriceColumns columns = RecognizeColumns(fields, names, data[1] & 0x80);
    for (const int column : {columns.brand, columns.reference, columns.price})
        FUZZ_CHECK(column >= -1 && column < fields.size());
    FileNameBrand(line);
    return 0;
}
