#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Writes rows of texts as the first worksheet of a new .xlsx file: every cell a text, the title
// rows bold with medium borders, the other rows with thin borders, each column as wide as its
// longest text.
namespace SpreadsheetWriter {

// The longest text a cell can hold; longer texts are cut.
inline constexpr int kMaxCellLength = 32767;

// Rows may differ in length: the sheet is as wide as the longest. The file is created new: a
// path that exists already, a link too (even one pointing nowhere), is refused and left alone.
// False (with the reason) when the file could not be written; a partly written file is removed.
bool write(const QString& path, const QList<QStringList>& rows, int titleRows = 1, QString* error = nullptr);

// A cell that is a text, or a number the sheet can compute with, shown in an Excel number format
// ("#,##0.00 \"EUR\"", "0.00%"); `text` is how it reads, for the column width.
struct Cell {
    QString text;
    std::optional<double> number;
    QString numberFormat;
};

// The same sheet with number cells where given.
bool write(const QString& path, const QList<QList<Cell>>& rows, int titleRows = 1, QString* error = nullptr);

} // namespace SpreadsheetWriter
