#include "platform/textfile.h"

#include "platform/localeformats.h"

#include <QFile>
#include <QStringDecoder>

namespace TextFile {

QStringList splitLines(QStringView text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines << text.mid(start, i - start).toString();
        if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines << text.mid(start).toString();
    return lines;
}

QString decode(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringConverter::Utf16, QStringConverter::Flag::ConvertInitialBom);
        QString text = decoder(bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return text;
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return LocaleFormats::decodeAnsi(bytes);
}

QString decodePerLine(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return decode(bytes);
    QString text;
    text.reserve(bytes.size());
    qsizetype start = 0;
    while (start < bytes.size()) {
        // Each piece keeps its line break; CR and LF are the same byte in both encodings.
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        while (end < bytes.size() && (bytes[end] == '\r' || bytes[end] == '\n'))
            ++end;
        const QByteArrayView line(bytes.constData() + start, end - start);
        // A U+FEFF that begins a later line is text, not a mark to drop.
        QStringDecoder utf8(QStringConverter::Utf8,
                            QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
        const QString decoded = utf8(line);
        text += utf8.hasError() ? LocaleFormats::decodeAnsi(line.toByteArray()) : decoded;
        start = end;
    }
    return text;
}

std::optional<QString> read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return decode(file.readAll());
}

std::optional<QStringList> readLines(const QString& path) {
    const auto text = read(path);
    if (!text)
        return std::nullopt;
    return splitLines(*text);
}

bool writeAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    return AtomicFile::replace(path, bytes, AtomicFile::Access::Shared, error);
}

bool writeAtomicallyPrivate(const QString& path, const QByteArray& bytes, QString* error) {
    return AtomicFile::replace(path, bytes, AtomicFile::Access::OwnerOnly, error);
}

bool writeUtf8Lines(const QString& path, const QStringList& lines, QString* error, AtomicFile::Access access) {
    QByteArray bytes("\xEF\xBB\xBF");
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return AtomicFile::replace(path, bytes, access, error);
}

bool writeAnsiLines(const QString& path, const QStringList& lines, QString* error) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += LocaleFormats::encodeAnsi(line);
        bytes += "\r\n";
    }
    return writeAtomically(path, bytes, error);
}

} // namespace TextFile
