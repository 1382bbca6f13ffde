#include "platform/localeformats.h"

#include <QRegularExpression>

namespace {
// Windows-1252 differs from Latin-1 only in 0x80..0x9F; 0 marks the five unassigned bytes.
constexpr char16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
} // namespace

namespace LocaleFormats {

QString listSeparator(const QLocale& locale) {
    return locale.decimalPoint() == QLatin1String(",") ? QStringLiteral(";") : QStringLiteral(",");
}

QString shortDateFormat(const QLocale& locale) {
    return locale.dateFormat(QLocale::ShortFormat);
}

QString longTimeFormat(const QLocale& locale) {
    QString format = locale.timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
    format.replace(zone, QStringLiteral(" "));
    return format.trimmed();
}

QString timestamp(const QDateTime& when, const QLocale& locale) {
    QString result = locale.toString(when.date(), shortDateFormat(locale));
    if (when.time() != QTime(0, 0))
        result += QLatin1Char(' ') + locale.toString(when.time(), longTimeFormat(locale));
    return result;
}

QString toLower(const QString& text) {
    return QLocale::system().toLower(text);
}

int compare(const QString& a, const QString& b) {
    return QString::localeAwareCompare(a, b);
}

QString decodeAnsi(const QByteArray& bytes) {
    QString result(bytes.size(), Qt::Uninitialized);
    QChar* out = result.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        char16_t u = b;
        if (b >= 0x80 && b <= 0x9F)
            u = kCp1252High[b - 0x80] ? kCp1252High[b - 0x80] : char16_t(b);
        *out++ = QChar(u);
    }
    return result;
}

QByteArray encodeAnsi(const QString& text) {
    QByteArray result;
    result.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            result.append(char(u));
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i) {
            if (kCp1252High[i] == u) {
                mapped = char(0x80 + i);
                break;
            }
        }
        result.append(mapped);
    }
    return result;
}

} // namespace LocaleFormats
