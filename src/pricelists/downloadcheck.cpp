#include "pricelists/downloadcheck.h"

#include <QStringDecoder>

namespace {

const QByteArray kZip("PK\x03\x04", 4);
const QByteArray kCompoundDocument("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

bool startsWithUtf16Mark(const QByteArray& head) {
    return head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF");
}

// The head as text: UTF-16 by its mark, else byte by byte (any 8-bit code page reads alike here).
QString headText(const QByteArray& head) {
    if (startsWithUtf16Mark(head)) {
        QStringDecoder utf16(head.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return utf16.decode(head.mid(2));
    }
    return QString::fromLatin1(head.startsWith("\xEF\xBB\xBF") ? head.mid(3) : head);
}

// Control characters other than tab, line ends, form feed and the old end-of-file mark are
// what binary data is made of.
bool holdsBinary(const QString& text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r' && u != u'\f' && u != 0x1A)
            return true;
    }
    return false;
}

bool isWebPage(const QString& text) {
    const QString start = text.trimmed().left(256).toLower();
    for (const char* mark : {"<!doctype html", "<html", "<head", "<body"})
        if (start.startsWith(QLatin1String(mark)))
            return true;
    return text.contains(QLatin1String("<html"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("<body"), Qt::CaseInsensitive);
}

} // namespace

QString PriceListDownloadProblem(qint64 size, const QByteArray& head) {
    if (size <= 0)
        return QStringLiteral("an empty file");
    if (head.startsWith(kZip) || head.startsWith(kCompoundDocument))
        return QString();
    const QString text = headText(head);
    if (isWebPage(text))
        return QStringLiteral("a web page, not a price list");
    // A price list's first line is its column titles, never markup.
    if (holdsBinary(text) || text.trimmed().startsWith(QLatin1Char('<')))
        return QStringLiteral("not a spreadsheet or CSV file");
    return QString();
}
