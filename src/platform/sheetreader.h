#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>

// Reads the first worksheet of a spreadsheet file (.xlsx, .xls, or .xlsb through LibreOffice) as
// texts: the stored values, numbers and dates written in the locale's formats, booleans as
// "True" and "False", error values empty. The kind of file is told by its content, not its name.
namespace SheetReader {

enum class Status {
    Read,
    // The file needs a program that is not installed (.xlsb without LibreOffice).
    Unavailable,
    // The file could not be opened or is damaged; `error` says why.
    Failed,
};

struct Result {
    Status status = Status::Read;
    QString error;
    // The used range: the last row and column that hold a value (1-based); 0 when empty.
    int rows = 0;
    int columns = 0;
};

// Called with row 1 first (empty cells when the sheet has nothing there), then with every further
// row that holds a value, in order. `cells` has one text per column of the used range as far as
// it is known then (at least up to the row's last value). Returning false ends the reading.
using RowHandler = std::function<bool(int row, const QStringList& cells)>;

Result read(const QString& path, const RowHandler& onRow, const QLocale& locale = QLocale::system());

// The text of a stored date value as the reader gives it.
QString dateText(double serial, bool date1904, const QLocale& locale);

} // namespace SheetReader
