// Text file decoding: valid UTF-8 reads as UTF-8 both ways, every line of the per-line reading
// is that line as UTF-8 or as Windows-1252, and splitting keeps every character but the breaks.
#include "fuzzcheck.h"
#include "platform/localeformats.h"
#include "platform/textfile.h"

#include <QStringDecoder>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString whole = TextFile::decode(bytes);
    const QString perLine = TextFile::decodePerLine(bytes);
    const bool marked =
        bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString asUtf8 = utf8(bytes);
    if (marked || !utf8.hasError())
        FUZZ_CHECK(perLine == whole);
    if (!marked && !utf8.hasError())
        FUZZ_CHECK(whole == asUtf8);

    if (!marked) {
        QByteArray normalized = bytes;
        normalized.replace("\r\n", "\n").replace('\r', '\n');
        const QList<QByteArray> byteLines = normalized.split('\n');
        const QStringList lines = TextFile::splitLines(perLine);
        // A final break starts no line of its own, nor does an empty file hold one.
        const bool noLastLine = normalized.isEmpty() || normalized.endsWith('\n');
        FUZZ_CHECK(lines.size() == byteLines.size() - (noLastLine ? 1 : 0));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QStringDecoder line(QStringConverter::Utf8,
                                QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
            const QString decoded = line(byteLines[i]);
            FUZZ_CHECK(lines[i] == (line.hasError() ? LocaleFormats::decodeAnsi(byteLines[i]) : decoded));
        }
    }

    qsizetype breaks = 0;
    for (const QChar c : perLine)
        breaks += c == u'\r' || c == u'\n';
    qsizetype kept = 0;
    for (const QString& line : TextFile::splitLines(perLine))
        kept += line.size();
    FUZZ_CHECK(kept == perLine.size() - breaks);

    // Text written as UTF-8 reads back as itself (unless it begins with what reads as a mark).
    if (!asUtf8.startsWith(QChar(0xFEFF)))
        FUZZ_CHECK(TextFile::decodePerLine(asUtf8.toUtf8()) == asUtf8);
    return 0;
}
