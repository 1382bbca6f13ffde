#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

// Regional settings as the program uses them.
namespace LocaleFormats {

// ";" where the decimal separator is ",", else ",".
QString listSeparator(const QLocale& locale = QLocale::system());
QString shortDateFormat(const QLocale& locale = QLocale::system());
// The long time format without a time zone part.
QString longTimeFormat(const QLocale& locale = QLocale::system());
// Date in the short format, a blank and the time in the long format; the time is left out
// at exactly midnight.
QString timestamp(const QDateTime& when, const QLocale& locale = QLocale::system());

QString toLower(const QString& text);
// Locale-aware, case-sensitive comparison.
int compare(const QString& a, const QString& b);

// Windows-1252, the code page of text files without a byte-order mark.
QString decodeAnsi(const QByteArray& bytes);
// Characters outside the code page become "?".
QByteArray encodeAnsi(const QString& text);

} // namespace LocaleFormats
