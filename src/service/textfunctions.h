#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Trims every leading and trailing character from U+0000 to U+0020.
QString Trim(const QString& text);
QStringView TrimView(QStringView text);
// Empty after trimming.
bool IsBlank(QStringView text);
// The same for UTF-8 bytes: the characters up to U+0020 are exactly the bytes up to 0x20.
bool IsBlank(QByteArrayView bytes);

// The text after the first `start` and before the next `end`; empty when either is missing
// (an empty delimiter is never found).
QString TextBetween(const QString& text, const QString& start, const QString& end);
QStringView TextBetweenView(QStringView text, QStringView start, QStringView end);

// Every occurrence of `oldPart`, letter case ignored, replaced by `newPart`; left to right,
// without overlaps, inserted text not searched again.
QString ReplaceAllIgnoreCase(const QString& text, const QString& oldPart, const QString& newPart);

// The tree indent of a level: none for 1, one tab for 2 ... four tabs for 5. Any other level
// keeps the caller's previous indent.
QString LevelIndent(int level, const QString& previousIndent = QString());

// The bytes decoded as UTF-8; a byte-order mark stays as U+FEFF, bad bytes become U+FFFD.
QString StreamToUtf8Text(const QByteArray& bytes);

// Percent-encodes a value for a request address: printable ASCII other than * # % < > + blank
// [ ] stays, everything else goes as %XX of its UTF-8 bytes.
QString PathEncode(const QString& value);

// A brand for a request address: encoded, and "&" as %26.
QString EncodeBrand(const QString& brand);
