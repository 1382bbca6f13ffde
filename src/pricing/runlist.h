#pragma once

#include "pricing/pricelines.h"

#include <QString>

#include <optional>

// The lines of a price run without a window, from a file: a CSV or text file of
// brand;reference;name lines (semicolon, tab or comma between the values, an optional title line),
// or a workbook of the comparative list as the program exports it. Rows without any value are
// passed over. Nothing with the reason in `error` when the file cannot be read or is too large.
std::optional<QList<PriceLine>> ReadRunList(const QString& path, QString* error);
