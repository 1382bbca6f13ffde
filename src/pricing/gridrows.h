#pragma once

#include <QString>

// The rules of the table grids: row 0 holds the titles, the last row is always empty, and the
// product rows lie between them.

// Delete asks its question only for a product row whose test cell (the grid's column 1) holds
// something: that spares the title row, the empty last row and, in the analysis table, the
// sub-offer rows.
bool mayDeleteGridRow(int rowCount, int currentRow, const QString& testCell);

// The export file name after what the grid holds, e.g. "Comparative list 20260314-093005.xlsx";
// a number is added when an earlier export of the same second exists.
QString ExportFileName(const QString& contents, const QString& stamp, int attempt);
