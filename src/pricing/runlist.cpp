#include "pricing/runlist.h"

#include "platform/sheetreader.h"
#include "platform/textfile.h"
#include "service/textfunctions.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Far beyond any comparative list: a run of this many lines takes hours.
constexpr qint64 kMaxListBytes = qint64(64) * 1024 * 1024;
constexpr qsizetype kMaxLines = 1000000;

bool isTitleRow(const QStringList& cells) {
    return cells.value(0).trimmed().compare(QLatin1String("brand"), Qt::CaseInsensitive) == 0 &&
           cells.value(1).trimmed().compare(QLatin1String("reference"), Qt::CaseInsensitive) == 0;
}

QChar separatorOf(const QString& line) {
    // A tab stands in no name; a semicolon seldom does.
    for (const QChar candidate : {QLatin1Char('\t'), QLatin1Char(';'), QLatin1Char(',')})
        if (line.contains(candidate))
            return candidate;
    return QLatin1Char(';');
}

bool addLine(QList<PriceLine>& lines, const QStringList& cells, QString* error) {
    const PriceLine line{Trim(cells.value(0)), Trim(cells.value(1)), Trim(cells.value(2))};
    if (line.brand.isEmpty() && line.reference.isEmpty() && line.name.isEmpty())
        return true;
    if (lines.size() >= kMaxLines) {
        *error = QStringLiteral("more than %1 lines").arg(kMaxLines);
        return false;
    }
    lines << line;
    return true;
}

} // namespace

std::optional<QList<PriceLine>> ReadRunList(const QString& path, QString* error) {
    QString why;
    const QFileInfo info(path);
    if (!info.isFile()) {
        *error = QStringLiteral("%1: no such file").arg(path);
        return std::nullopt;
    }
    const auto tooLarge = [&] {
        *error = QStringLiteral("%1: the file is larger than %2 MB").arg(path).arg(kMaxListBytes >> 20);
        return std::nullopt;
    };
    if (info.size() > kMaxListBytes)
        return tooLarge();
    QList<PriceLine> lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    const QByteArray head = file.peek(4);
    if (head.startsWith("PK\x03\x04") || head.startsWith("\xD0\xCF\x11\xE0")) {
        file.close();
        // A workbook: the comparative list's export, titles in row 1.
        QList<int> columns{0, 1, 2};
        const SheetReader::Result read = SheetReader::read(path, [&](int row, const QStringList& cells) {
            if (row == 1) {
                for (int c = 0; c < cells.size(); ++c)
                    for (int want = 0; want < 3; ++want)
                        if (Trim(cells[c]).compare(QStringList{"brand", "reference", "name"}[want],
                                                   Qt::CaseInsensitive) == 0)
                            columns[want] = c;
                if (!isTitleRow({cells.value(columns[0]), cells.value(columns[1])}))
                    return addLine(lines, cells, &why);
                return true;
            }
            return addLine(lines, {cells.value(columns[0]), cells.value(columns[1]), cells.value(columns[2])}, &why);
        });
        if (read.status != SheetReader::Status::Read || !why.isEmpty()) {
            *error = QStringLiteral("%1: %2").arg(path, why.isEmpty() ? read.error : why);
            return std::nullopt;
        }
        return lines;
    }
    // The file may have grown since it was measured: the read itself stops past the bound.
    const QByteArray bytes = file.read(kMaxListBytes + 1);
    if (bytes.size() > kMaxListBytes)
        return tooLarge();
    const QStringList text = TextFile::splitLines(TextFile::decodePerLine(bytes));
    QChar separator;
    for (const QString& line : text) {
        if (IsBlank(line))
            continue;
        if (separator.isNull()) {
            separator = separatorOf(line);
            if (isTitleRow(line.split(separator)))
                continue;
        }
        // The name is the rest of the line: it may hold the separator itself.
        const QStringList cells = line.split(separator);
        if (!addLine(lines, {cells.value(0), cells.value(1), cells.mid(2).join(separator)}, &why)) {
            *error = QStringLiteral("%1: %2").arg(path, why);
            return std::nullopt;
        }
    }
    return lines;
}
