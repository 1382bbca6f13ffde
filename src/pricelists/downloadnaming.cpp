#include "pricelists/downloadnaming.h"

#include "service/textfunctions.h"

#include <QStringDecoder>

namespace {

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// The value of `digits` hexadecimal digits at `pos`; -1 when they are not all there.
int hexAt(const QString& text, qsizetype pos, int digits) {
    if (pos + digits > text.size())
        return -1;
    int value = 0;
    for (int i = 0; i < digits; ++i) {
        const int digit = hexValue(text.at(pos + i));
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

QString bytesAsText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes);
}

// No part of a saved name may lead out of the folder or hold a character a file name cannot.
QString safePart(QString part) {
    bool onlyDots = !part.isEmpty();
    for (QChar& c : part) {
        onlyDots = onlyDots && c == QLatin1Char('.');
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    }
    return onlyDots ? QStringLiteral("_") : part;
}

// "[" + the text before the last "." + "]." + the text after it; unchanged without a ".".
QString bracketed(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return name;
    return QLatin1Char('[') + name.left(dot) + QLatin1String("].") + name.mid(dot + 1);
}

} // namespace

QString DecodePercentEscapes(const QString& text) {
    QString out;
    out.reserve(text.size());
    QByteArray pending;
    auto flush = [&] {
        if (!pending.isEmpty())
            out += bytesAsText(pending);
        pending.clear();
    };
    qsizetype i = 0;
    while (i < text.size()) {
        if (text.at(i) == QLatin1Char('%')) {
            if (i + 1 < text.size() && (text.at(i + 1) == QLatin1Char('u') || text.at(i + 1) == QLatin1Char('U'))) {
                const int code = hexAt(text, i + 2, 4);
                if (code >= 0) {
                    flush();
                    out += QChar(char16_t(code));
                    i += 6;
                    continue;
                }
            }
            const int byte = hexAt(text, i + 1, 2);
            if (byte >= 0) {
                pending += char(byte);
                i += 3;
                continue;
            }
        }
        flush();
        out += text.at(i++);
    }
    flush();
    return out;
}

QString DownloadFileName(const QString& link, const QStringList& catalogue) {
    const LinkParts parts = SplitLink(link);
    const QString urlTag = QLatin1String("<url>") + link + QLatin1String("</url>");
    QString entry;
    bool listed = false;
    if (!catalogue.isEmpty()) {
        for (const QString& item : catalogue)
            if (item.contains(urlTag)) {
                entry = item;
                listed = true;
                break;
            }
    }

    const QString fileName = parts.pathAndQuery.mid(parts.pathAndQuery.lastIndexOf(QLatin1Char('/')) + 1);
    const QString filePart = safePart(DecodePercentEscapes(bracketed(fileName)));
    QString name = safePart(parts.host) + QLatin1Char('-');
    if (listed) {
        const QString email = safePart(TextBetween(entry, QStringLiteral("<email>"), QStringLiteral("</email>")));
        const QString renameTo = TextBetween(entry, QStringLiteral("<renameto>"), QStringLiteral("</renameto>"));
        name += QLatin1String("(") + email + QLatin1String(")-");
        if (IsBlank(renameTo)) {
            name += filePart;
        } else {
            const qsizetype dot = parts.pathAndQuery.lastIndexOf(QLatin1Char('.'));
            const QString extension = dot < 0 ? QString() : parts.pathAndQuery.mid(dot + 1);
            name += safePart(DecodePercentEscapes(QLatin1Char('[') + renameTo + QLatin1String("].") + extension));
        }
    } else {
        name += filePart;
    }
    return name;
}
