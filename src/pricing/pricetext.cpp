#include "pricing/pricetext.h"

#include <QVarLengthArray>

#include <cstdio>
#include <cstdlib>

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Marks that only ever group thousands: blanks (plain, no-break, thin, narrow) and apostrophes.
bool isGroupingMark(QChar c) {
    switch (c.unicode()) {
    case u' ':
    case 0x00A0:
    case 0x2009:
    case 0x202F:
    case u'\'':
    case 0x2019:
        return true;
    default:
        return false;
    }
}

// Digit groups split at `mark`: the first of one to three digits not starting a number with a
// needless zero, every further one of exactly three.
bool validGroups(QStringView digits, QChar mark) {
    qsizetype start = 0;
    bool first = true;
    for (qsizetype i = 0; i <= digits.size(); ++i) {
        if (i < digits.size() && digits[i] != mark)
            continue;
        const qsizetype length = i - start;
        if (first ? (length < 1 || length > 3 || (length > 1 && digits[start] == QLatin1Char('0'))) : length != 3)
            return false;
        // "0.125" is no thousand: a leading group of a single zero groups nothing.
        if (first && length == 1 && digits[start] == QLatin1Char('0') && i < digits.size())
            return false;
        first = false;
        start = i + 1;
    }
    return true;
}

struct Symbol {
    const char16_t* text;
    const char* code;
};

// Symbols that name one currency each; "kr", "¥" or "Fr." name several and stay unread.
constexpr Symbol kSymbols[] = {{u"€", "EUR"},  {u"£", "GBP"},   {u"$", "USD"},   {u"US$", "USD"},
                               {u"zł", "PLN"}, {u"₽", "RUB"}, {u"₴", "UAH"},   {u"Kč", "CZK"},
                               {u"Ft", "HUF"}, {u"лв", "BGN"},  {u"lei", "RON"}, {u"₺", "TRY"}};

// ISO 4217 codes in use: a three-letter word beside a price ("PCS", "NET") is no currency.
constexpr QStringView kIsoCodes =
    u"AED AFN ALL AMD ANG AOA ARS AUD AWG AZN BAM BBD BDT BGN BHD BIF BMD BND BOB BRL BSD BTN BWP BYN BZD CAD CDF "
    u"CHF CLP CNY COP CRC CUP CVE CZK DJF DKK DOP DZD EGP ERN ETB EUR FJD FKP GBP GEL GHS GIP GMD GNF GTQ GYD HKD "
    u"HNL HRK HTG HUF IDR ILS INR IQD IRR ISK JMD JOD JPY KES KGS KHR KMF KPW KRW KWD KYD KZT LAK LBP LKR LRD LSL "
    u"LYD MAD MDL MGA MKD MMK MNT MOP MRU MUR MVR MWK MXN MYR MZN NAD NGN NIO NOK NPR NZD OMR PAB PEN PGK PHP PKR "
    u"PLN PYG QAR RON RSD RUB RWF SAR SBD SCR SDG SEK SGD SHP SLE SOS SRD SSP STN SYP SZL THB TJS TMT TND TOP TRY "
    u"TTD TWD TZS UAH UGX USD UYU UZS VES VND VUV WST XAF XCD XOF XPF YER ZAR ZMW ZWL";

bool asciiLetters(QStringView text) {
    for (const QChar c : text)
        if (!((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'))))
            return false;
    return !text.isEmpty();
}

} // namespace

std::optional<qint64> ParseDecimalHundredths(QStringView text) {
    text = text.trimmed();
    if (text.isEmpty() || !isDigit(text.front()) || !isDigit(text.back()))
        return std::nullopt;
    qsizetype dots = 0, commas = 0, lastDot = -1, lastComma = -1;
    QChar grouping;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isDigit(c))
            continue;
        if (c == QLatin1Char('.')) {
            ++dots;
            lastDot = i;
        } else if (c == QLatin1Char(',')) {
            ++commas;
            lastComma = i;
        } else if (isGroupingMark(c)) {
            // One kind of blank or apostrophe throughout.
            if (!grouping.isNull() && grouping != c)
                return std::nullopt;
            grouping = c;
        } else {
            return std::nullopt;
        }
        // Two marks in a row ("1..5", "1 ,5") are no number.
        if (!isDigit(text[i - 1]))
            return std::nullopt;
    }

    qsizetype decimalAt = -1;
    if (dots > 0 && commas > 0) {
        // The later of the two marks is the decimal point, standing once; the other groups.
        decimalAt = std::max(lastDot, lastComma);
        const QChar other = decimalAt == lastDot ? QLatin1Char(',') : QLatin1Char('.');
        if ((decimalAt == lastDot ? dots : commas) != 1 || !grouping.isNull())
            return std::nullopt;
        grouping = other;
    } else if (dots + commas == 1) {
        const qsizetype at = dots ? lastDot : lastComma;
        const bool threeAfter = text.size() - at - 1 == 3;
        if (threeAfter && grouping.isNull() && validGroups(text, text[at]))
            grouping = text[at];
        else
            decimalAt = at;
    } else if (dots + commas > 1) {
        if (!grouping.isNull())
            return std::nullopt;
        grouping = dots ? QLatin1Char('.') : QLatin1Char(',');
    }

    const QStringView whole = decimalAt < 0 ? text : text.left(decimalAt);
    const QStringView fraction = decimalAt < 0 ? QStringView() : text.mid(decimalAt + 1);
    if (!grouping.isNull() && !validGroups(whole, grouping))
        return std::nullopt;

    qint64 value = 0;
    for (const QChar c : whole) {
        if (c == grouping)
            continue;
        value = value * 10 + (c.unicode() - u'0');
        if (value > kMaxMinor / 100)
            return std::nullopt;
    }
    qint64 cents = 0;
    for (qsizetype i = 0; i < fraction.size(); ++i) {
        const int digit = fraction[i].unicode() - u'0';
        if (digit < 0 || digit > 9)
            return std::nullopt;
        if (i < 2)
            cents += digit * (i == 0 ? 10 : 1);
        else if (digit != 0)
            return std::nullopt;
    }
    return value * 100 + cents;
}

QString CurrencyCode(QStringView text) {
    text = text.trimmed();
    for (const Symbol& symbol : kSymbols)
        if (text.compare(QStringView(symbol.text), Qt::CaseInsensitive) == 0)
            return QLatin1String(symbol.code);
    if (text.size() != 3 || !asciiLetters(text))
        return {};
    const QString code = text.toString().toUpper();
    for (qsizetype at = 0; at + 3 <= kIsoCodes.size(); at += 4)
        if (kIsoCodes.mid(at, 3) == code)
            return code;
    return {};
}

std::optional<Money> ParseOwnPrice(QStringView text) {
    text = text.trimmed();
    qsizetype first = 0;
    while (first < text.size() && !isDigit(text[first]))
        ++first;
    qsizetype last = text.size();
    while (last > first && !isDigit(text[last - 1]))
        --last;
    if (first >= last)
        return std::nullopt;
    const QStringView before = text.left(first).trimmed();
    const QStringView after = text.mid(last).trimmed();
    if (!before.isEmpty() && !after.isEmpty())
        return std::nullopt;
    const QStringView mark = before.isEmpty() ? after : before;
    Money money;
    if (!mark.isEmpty()) {
        money.currency = CurrencyCode(mark);
        if (money.currency.isEmpty())
            return std::nullopt;
    }
    const std::optional<qint64> minor = ParseDecimalHundredths(text.mid(first, last - first));
    if (!minor)
        return std::nullopt;
    money.minor = *minor;
    return money;
}

std::optional<Money> ParseServicePrice(QStringView price, QStringView currency) {
    std::optional<Money> money = ParseOwnPrice(price);
    if (!money)
        return std::nullopt;
    // A service may name a currency no symbol table knows ("EURO", "RMB"): it is kept as named,
    // upper-cased, and never taken for another.
    QString code = CurrencyCode(currency);
    const QStringView field = currency.trimmed();
    if (code.isEmpty() && field.size() <= 8 && asciiLetters(field))
        code = field.toString().toUpper();
    if (!code.isEmpty() && !money->currency.isEmpty() && code != money->currency)
        return std::nullopt;
    if (!code.isEmpty())
        money->currency = code;
    return money;
}

QString CanonicalAmount(qint64 minor) {
    // Made for every stored offer read back, so without the cost of a format string.
    char text[32];
    const int length =
        std::snprintf(text, sizeof text, "%s%lld.%02lld", minor < 0 ? "-" : "",
                      static_cast<long long>(std::llabs(minor) / 100), static_cast<long long>(std::llabs(minor) % 100));
    return QString::fromLatin1(text, length);
}

namespace {

QString localeFixed(qint64 magnitude, const QLocale& locale) {
    return locale.toString(magnitude / 100) + locale.decimalPoint() +
           QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

QString FormatAmount(qint64 minor, const QLocale& locale) {
    const QString text = localeFixed(std::llabs(minor), locale);
    return minor < 0 ? locale.negativeSign() + text : text;
}

QString FormatPercent(qint64 basisPoints, bool signedText, const QLocale& locale) {
    QString sign;
    if (basisPoints < 0)
        sign = locale.negativeSign();
    else if (signedText && basisPoints > 0)
        sign = locale.positiveSign();
    return sign + localeFixed(std::llabs(basisPoints), locale) + QStringLiteral(" %");
}
