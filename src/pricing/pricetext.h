#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

// A price read exactly: whole hundredths of the currency (cents, pence, grosze) and the currency's
// code. Money never passes through floating point here: 0.1 + 0.2 must stay 0.30.
struct Money {
    qint64 minor = 0;
    // Upper-case code ("EUR"); empty when the text named none.
    QString currency;
    bool operator==(const Money&) const = default;
};

// The largest amount a price text may give (in hundredths), far beyond any part's price; larger
// texts are unreadable rather than overflowing.
inline constexpr qint64 kMaxMinor = 99'999'999'999'999;

// A decimal number as prices are written by hand and by spreadsheets of every locale, in
// hundredths: "12,50", "12.5", "1.234,56", "1,234.56", "1 234,56", "1'234.56", "1.000" (a thousand).
// A single separator followed by exactly three digits groups thousands; one followed by one,
// two or more than three digits is the decimal point. Nothing when the text is no such number,
// is negative, or holds a non-zero digit beyond the hundredths (no rounding of money).
std::optional<qint64> ParseDecimalHundredths(QStringView text);

// A currency code from a code or a symbol: "eur" and "€" give "EUR", "£" "GBP", "zł" "PLN", any
// ISO 4217 code upper-cased. Empty for anything else ("by default", "", "12", "PCS").
QString CurrencyCode(QStringView text);

// An own price list's price cell: a number as above, optionally with a currency symbol or code
// before or after it ("€ 12,50", "12.50 EUR", "12,50€"). Without one, `currency` stays empty:
// the own lists' currency is a setting, not something to guess.
std::optional<Money> ParseOwnPrice(QStringView text);

// A price service's price and currency fields (comparison rows, analysis cells).
std::optional<Money> ParseServicePrice(QStringView price, QStringView currency);

// "1234.56", the form prices are stored and compared in.
QString CanonicalAmount(qint64 minor);
// The amount as the user reads it: "1,234.56" or "1.234,56" by the locale.
QString FormatAmount(qint64 minor, const QLocale& locale = QLocale());
// Hundredths of a percent as "12.34 %", by the locale, with its sign when `signedText`.
QString FormatPercent(qint64 basisPoints, bool signedText = false, const QLocale& locale = QLocale());
