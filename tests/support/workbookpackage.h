#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// Hand-made workbook packages for the reader's tests and fuzzing: the smallest file that shows a
// fault, built part by part.
namespace WorkbookPackage {

using Parts = QList<std::pair<QString, QByteArray>>;

// The parts of a workbook whose first worksheet holds `sheetData` (the XML inside
// <sheetData>...</sheetData>), with a shared-strings part when `sharedStrings` (the XML inside
// <sst>...</sst>) is not null.
Parts minimal(const QByteArray& sheetData, const QByteArray& sharedStrings = QByteArray());

// Writes the parts as a zip file, each compressed with deflate (or stored when `store`). False
// when the file cannot be written.
bool write(const QString& path, const Parts& parts, bool store = false);

} // namespace WorkbookPackage
