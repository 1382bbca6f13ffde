// The list of a run without a window, read from a text file: any bytes read without harm, every
// line taken holds a value, its values are trimmed, and no more lines come than the file has
// lines that are not blank. Workbooks are the spreadsheet reader's and are fuzzed there.
#include "fuzzcheck.h"
#include "platform/textfile.h"
#include "pricing/runlist.h"
#include "service/textfunctions.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (bytes.startsWith("PK\x03\x04") || bytes.startsWith("\xD0\xCF\x11\xE0"))
        return 0;
    static const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.csv"));
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
    file.close();

    QString error;
    const auto lines = ReadRunList(path, &error);
    FUZZ_CHECK(lines.has_value());
    qsizetype filled = 0;
    for (const QString& line : TextFile::splitLines(TextFile::decodePerLine(bytes)))
        filled += IsBlank(line) ? 0 : 1;
    FUZZ_CHECK(lines->size() <= filled);
    for (const PriceLine& line : *lines) {
        FUZZ_CHECK(!line.brand.isEmpty() || !line.reference.isEmpty() || !line.name.isEmpty());
        for (const QString& value : {line.brand, line.reference, line.name})
            FUZZ_CHECK(value == Trim(value));
    }
    return 0;
}
