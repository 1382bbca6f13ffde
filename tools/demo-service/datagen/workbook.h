#pragma once

#include <string>
#include <vector>

// A minimal .xlsx (stored zip of SpreadsheetML) with one worksheet. Cells that parse as plain
// decimal numbers are written as numbers, everything else as shared strings; row 0 is the title row.
std::string MakeWorkbook(const std::vector<std::vector<std::string>>& rows);
