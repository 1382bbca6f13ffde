#pragma once

#include "pricelists/pricelistreaders.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class OwnPriceTable;

namespace PriceListFolder {

inline const QString kWrongFolder = QStringLiteral("The path to the output/input folder is empty or wrong !");
inline const QString kListHeader = QStringLiteral("List files that will use for generate common file(s) :");

// The folder typed in the box, trimmed and ending in "/"; empty when the box is blank or the text
// as typed names no folder.
QString Folder(const QString& typedFolder);

// The price list files of the folder typed in the box (".csv", ".xls", ".xlsx", ".xlsb",
// compared case-sensitively, hidden files included), sorted ignoring case; nullopt when the box
// is blank or the text as typed names no folder.
std::optional<QStringList> Scan(const QString& typedFolder);

// The report of the folder check: which files a regeneration would read.
QStringList CheckReport(const QString& typedFolder);

// "Problem with file "<path>" !"
QString problemText(const QString& fullPath);

// The confirmation before a regeneration, worded by what the table holds now.
QString Question(qsizetype rows);

// The report line of one file: "  -  name (read, N records)" or "  -  name (not read: why)".
QString FileLine(const QString& fileName, const PriceListLoad& load);

struct Hooks {
    std::function<void(const QString& line)> reportLine;
    // Before each file; `index` counts from 0.
    std::function<void(int index, int count, const QString& fileName)> readingFile;
    // A spreadsheet could not be read; the regeneration goes on with the next file.
    std::function<void(const QString& fullPath)> sheetProblem;
    // Asked between files and while a file is read: when set, the files not read yet are
    // reported as such and the regeneration ends.
    const std::atomic<bool>* cancel = nullptr;
};

// Empties the table and loads it again from the folder's files, reporting each file as read (with
// its rows) or not read (with the reason); the table ends sorted in every case. Returns the error
// that ended the regeneration early (a CSV file that could not be read), empty otherwise.
QString Regenerate(OwnPriceTable& table, const QString& typedFolder, const PriceColumnNames& names, QChar separator,
                   const Hooks& hooks, const QLocale& locale = QLocale::system());

} // namespace PriceListFolder
