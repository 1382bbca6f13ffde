#pragma once

#include "pricing/pricerunsettings.h"

#include <QString>

namespace Settings {

// What a price run without a window takes from a settings file and the list files beside it:
// the switches, accounts and chosen sites of the run (search pages never), and where the own
// price lists are and how their columns are named. Keys and defaults are those the window keeps.
struct RunFileSettings {
    PriceRunSettings run;
    QString priceListFolder;
    QString brandColumns;
    QString referenceColumns;
    QString priceColumns;
};
RunFileSettings ReadRunSettings(const QString& iniPath);

// "[a][b]" from the lines of a list file; empty when the file is missing.
QString BracketedText(const QString& path);

} // namespace Settings
