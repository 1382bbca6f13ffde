#pragma once

#include <QList>
#include <QString>
#include <QStringList>

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

// One worksheet of a workbook with several; an empty name is the default "SheetN".
struct Sheet {
    QString name;
    QList<QStringList> rows;
    int titleRows = 1;
};
// The same for a workbook of several worksheets, in order.
bool writeSheets(const QString& path, const QList<Sheet>& sheets, QString* error = nullptr);

} // namespace SpreadsheetWriter
