#pragma once

#include <QList>
#include <QMap>
#include <QString>

// Reads back what a written .xlsx holds in one worksheet: every cell's text and style.
struct SheetCell {
    QString text;
    // "s" (shared string), "inlineStr" or "str"; empty for a number or a blank cell.
    QString type;
    bool bold = false;
    // Border style on each side ("thin", "medium", ... or empty).
    QString left, right, top, bottom;
    // The number format's code ("General", "@", "0", "0.00"...).
    QString numberFormat;
};

struct SheetContent {
    QString error; // empty when the file was read
    int rowCount = 0;
    QMap<int, QMap<int, SheetCell>> cells; // row (0-based) → column (0-based) → cell
    QMap<int, double> widths;              // column (0-based) → width
    // The whole worksheet XML, for checks of how values were stored.
    QString sheetXml;

    SheetCell cell(int row, int column) const { return cells.value(row).value(column); }
    QString text(int row, int column) const { return cell(row, column).text; }
    // The cell as the sheet shows it: a number with the decimals of its "0.00" format.
    QString shown(int row, int column) const;
};

// The worksheet counts from 1.
SheetContent ReadXlsx(const QString& path, int sheetNumber = 1);
