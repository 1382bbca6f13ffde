#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

// Reads the first worksheet of a spreadsheet file (.xlsx, .xls, or .xlsb through LibreOffice) as
// texts: the stored values, numbers and dates written in the locale's formats, booleans as
// "True" and "False", error values empty. The kind of file is told by its content, not its name.
// A workbook is untrusted: every part is unpacked as a stream whose size is bounded, so a damaged
// or hostile file fails on its own with a reason, in bounded memory and time.
namespace SheetReader {

enum class Status {
    Read,
    // The file needs a program that is not installed (.xlsb without LibreOffice).
    Unavailable,
    // The file could not be opened or is damaged; `error` says why.
    Failed,
    // The file passed one of the bounds below; `error` says which.
    OverBound,
    // The caller's cancel flag was set.
    Cancelled,
};

// Far above what a spreadsheet program writes for the largest sheet it can hold (1,048,576 rows):
// a real price list of a million rows unpacks to a few hundred MiB at a ratio of 10 to 30.
struct Limits {
    // A worksheet or shared-strings part, unpacked.
    qint64 partBytes = qint64(2) << 30;
    // The small parts that describe the package (relationships, workbook, styles).
    qint64 smallPartBytes = qint64(64) << 20;
    // Unpacked bytes per packed byte, checked once a part has passed `ratioFromBytes`.
    qint64 ratio = 250;
    qint64 ratioFromBytes = qint64(64) << 20;
    // Shared strings: how many, and their UTF-8 bytes in all.
    qint64 sharedStrings = qint64(16) << 20;
    qint64 sharedTextBytes = qint64(256) << 20;
};

struct Options {
    Limits limits;
    // Asked between chunks; when set, the reading ends with Status::Cancelled.
    const std::atomic<bool>* cancel = nullptr;
};

struct Result {
    Status status = Status::Read;
    QString error;
    // The used range: the last row and column that hold a value (1-based); 0 when empty.
    int rows = 0;
    int columns = 0;
    // Bytes unpacked from the package in all (an .xlsx or a converted .xlsb).
    qint64 unpackedBytes = 0;
};

// Called with row 1 first (empty cells when the sheet has nothing there), then with every further
// row that holds a value, in order. `cells` has one text per column of the used range as far as
// it is known then (at least up to the row's last value). Returning false ends the reading.
using RowHandler = std::function<bool(int row, const QStringList& cells)>;

Result read(const QString& path, const RowHandler& onRow, const QLocale& locale = QLocale::system(),
            const Options& options = {});

// The text of a stored date value as the reader gives it.
QString dateText(double serial, bool date1904, const QLocale& locale);

} // namespace SheetReader
