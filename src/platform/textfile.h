#pragma once

#include "platform/atomicfile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Text files as the program keeps them: written whole and atomically, never through a link (see
// AtomicFile), read with byte-order-mark detection and a Windows-1252 fallback for bytes that are
// not UTF-8.
namespace TextFile {

// Splits at CR LF, CR alone or LF alone. A final line break does not start another line.
QStringList splitLines(QStringView text);

// Decodes file bytes: UTF-8 or UTF-16 by their mark; without a mark UTF-8 when the bytes are
// valid UTF-8, Windows-1252 otherwise.
QString decode(const QByteArray& bytes);

// As decode, but without a mark each line on its own: UTF-8 when the line is valid UTF-8,
// Windows-1252 otherwise, so one stray byte cannot garble the other lines.
QString decodePerLine(const QByteArray& bytes);

// Reads a whole text file; nullopt when it does not exist or cannot be read.
std::optional<QString> read(const QString& path);
std::optional<QStringList> readLines(const QString& path);

// Replaces the file with the bytes, or leaves the old file whole and returns false.
bool writeAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);
// As writeAtomically; a file that does not exist yet is created readable by its owner only, an
// existing one keeps its mode.
bool writeAtomicallyPrivate(const QString& path, const QByteArray& bytes, QString* error = nullptr);
// UTF-8 with byte-order mark, every line ended by CR LF.
bool writeUtf8Lines(const QString& path, const QStringList& lines, QString* error = nullptr,
                    AtomicFile::Access access = AtomicFile::Access::Shared);
// Windows-1252 without mark, every line ended by CR LF.
bool writeAnsiLines(const QString& path, const QStringList& lines, QString* error = nullptr);

} // namespace TextFile
