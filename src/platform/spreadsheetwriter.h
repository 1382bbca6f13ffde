#pragma once

#include "platform/replacingfile.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <thread>

// Writes rows of texts as the first worksheet of a new .xlsx file: the title rows bold with
// medium borders, the other rows with thin borders, each column as wide as its longest text.
// A column whose title names an amount (a price, a quantity, a count) holds numbers: its plain
// numbers are written as numbers with as many decimals as their text shows, so that they sum and
// sort. Every other cell is the text it was (a reference "0123" keeps its zero).
namespace SpreadsheetWriter {

// The longest text a cell can hold; longer texts are cut.
inline constexpr int kMaxCellLength = 32767;

// Whether a column with this title holds amounts: "price", "first-price", "Net price", "quantity",
// "count", "stock", "id" and the like, letter case ignored.
bool isAmountTitle(const QString& title);

struct CellNumber {
    double value = 0;
    int decimals = 0;
};
// The number a cell of an amount column holds: an optional minus, digits without a leading zero
// (but "0"), and optionally a point or comma with decimals, blanks around allowed. Nothing for any
// other text, for more digits than a number keeps exactly, and for "1,234" or "1.234", which mean
// a thousand in one country and one in another.
std::optional<CellNumber> readNumber(const QString& text);

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

// One worksheet of a workbook with several; an empty name is the default "SheetN".
struct Sheet {
    QString name;
    QList<QStringList> rows;
    int titleRows = 1;
};
// The same for a workbook of several worksheets, in order. With Existing::Replace the new workbook
// takes the name's place whole at the end (a link there is replaced, never followed), and a
// failure leaves what was there.
bool writeSheets(const QString& path, const QList<Sheet>& sheets, QString* error = nullptr,
                 ReplacingFile::Existing existing = ReplacingFile::Existing::Refuse);

// The workbook of writeSheets with Existing::Replace for tables that only grow, written while
// their rows come: each sheet starts with its one title row, rows are written as they are
// appended (on a thread of its own, in the order appended), and finish() ends each sheet with an
// empty row and puts the workbook at `path`. Without finish() nothing is put there.
class SheetStream {
public:
    SheetStream(const QString& path, const QList<QStringList>& titles, const QStringList& names);
    ~SheetStream();
    SheetStream(const SheetStream&) = delete;
    SheetStream& operator=(const SheetStream&) = delete;

    // Rows for sheet `sheet`, cut or filled with blanks to its titles' width.
    void append(int sheet, const QList<QStringList>& rows);
    // Waits for every row to be written. False (with the reason) when the workbook could not be
    // made or placed; what was at `path` then stays.
    bool finish(QString* error = nullptr);

private:
    struct State;
    std::shared_ptr<State> m_state;
    std::thread m_thread;
};

} // namespace SpreadsheetWriter
