#pragma once

#include "pricing/pricerunsettings.h"

#include <QString>

namespace Settings {

// What a price run without a window takes from a settings file and the list files beside it:
// the switches, accounts and chosen sites of the run (search pages never), where the own price
// lists are and how their columns are named, and how long the price history keeps a run. Keys and
// defaults are those the window keeps.
struct RunFileSettings {
    PriceRunSettings run;
    QString priceListFolder;
    QString brandColumns;
    QString referenceColumns;
    QString priceColumns;
    // The days of price history to keep, as the settings page keeps them.
    QString keepHistoryDays;
};
RunFileSettings ReadRunSettings(const QString& iniPath);

// "[a][b]" from the lines of a list file; empty when the file is missing.
QString BracketedText(const QString& path);

} // namespace Settings
