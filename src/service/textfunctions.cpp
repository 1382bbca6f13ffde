#include "service/textfunctions.h"

#include <QStringDecoder>

#include <algorithm>

namespace {
inline bool isTrimmed(QChar c) {
    return c.unicode() <= 0x20;
}
} // namespace

QStringView TrimView(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isTrimmed(text[begin]))
        ++begin;
    while (end > begin && isTrimmed(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QString Trim(const QString& text) {
    const QStringView view = TrimView(text);
    return view.size() == text.size() ? text : view.toString();
}

bool IsBlank(QStringView text) {
    return TrimView(text).isEmpty();
}

bool IsBlank(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) <= 0x20; });
}

QStringView TextBetweenView(QStringView text, QStringView start, QStringView end) {
    if (start.isEmpty() || end.isEmpty())
        return {};
    const qsizetype p = text.indexOf(start);
    if (p < 0)
        return {};
    const QStringView rest = text.sliced(p + start.size());
    const qsizetype q = rest.indexOf(end);
    if (q < 0)
        return {};
    return rest.first(q);
}

QString TextBetween(const QString& text, const QString& start, const QString& end) {
    return TextBetweenView(text, start, end).toString();
}

QString ReplaceAllIgnoreCase(const QString& text, const QString& oldPart, const QString& newPart) {
    if (oldPart.isEmpty())
        return text;
    // ASCII without letters has no case, nor does anything fold to it: the plain search is the
    // same, and much faster. (A character that maps to itself may still be folded to: "ß" from "ẞ".)
    const bool caseless =
        std::all_of(oldPart.begin(), oldPart.end(), [](QChar c) { return c.unicode() < 0x80 && !c.isLetter(); });
    const Qt::CaseSensitivity cs = caseless ? Qt::CaseSensitive : Qt::CaseInsensitive;
    qsizetype at = text.indexOf(oldPart, 0, cs);
    if (at < 0)
        return text;
    QString result;
    result.reserve(text.size());
    qsizetype from = 0;
    for (; at >= 0; at = text.indexOf(oldPart, from, cs)) {
        result += QStringView(text).sliced(from, at - from);
        result += newPart;
        from = at + oldPart.size();
    }
    result += QStringView(text).sliced(from);
    return result;
}

QString LevelIndent(int level, const QString& previousIndent) {
    if (level < 1 || level > 5)
        return previousIndent;
    return QString(level - 1, QLatin1Char('\t'));
}

QString StreamToUtf8Text(const QByteArray& bytes) {
    // Unlike QString::fromUtf8, keep a leading byte-order mark as a character.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder(bytes);
}

QString PathEncode(const QString& value) {
    static const char kHex[] = "0123456789ABCDEF";
    QString result;
    result.reserve(value.size());
    const qsizetype n = value.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = value[i].unicode();
        const bool plain = c >= 0x20 && c <= 0x7F && c != u'*' && c != u'#' && c != u'%' && c != u'<' && c != u'>' &&
                           c != u'+' && c != u' ' && c != u'[' && c != u']';
        if (plain) {
            result += QChar(c);
            continue;
        }
        qsizetype length = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < n && value[i + 1].isLowSurrogate())
            length = 2;
        const QByteArray utf8 = QStringView(value).sliced(i, length).toUtf8();
        for (const char byte : utf8) {
            const auto b = static_cast<unsigned char>(byte);
            result += QLatin1Char('%');
            result += QLatin1Char(kHex[b >> 4]);
            result += QLatin1Char(kHex[b & 0xF]);
        }
        i += length - 1;
    }
    return result;
}

QString EncodeBrand(const QString& brand) {
    return ReplaceAllIgnoreCase(PathEncode(brand), QStringLiteral("&"), QStringLiteral("%26"));
}
