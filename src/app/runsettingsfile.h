#pragma once

#include "pricing/pricerunsettings.h"

#include <QString>

#include <span>

class AppPaths;
class IniFile;

namespace Settings {

enum class SettingType { Text, Flag, LanguageIndex, ConvertAs, SplitterSizes };

// One key of the settings file, and the control of the window that shows it (by objectName).
struct SettingEntry {
    const char* section;
    const char* key;
    SettingType type;
    const char* fallback; // nullptr: the program's folder
    const char* control;
};
// Every key the window keeps, in the order the file is read and written.
std::span<const SettingEntry> SettingsTable();
// The stored value as its control would give it back: a flag as "1" or "0", the format as its
// number or empty for none.
QString StoredValue(const IniFile& ini, const SettingEntry& entry, const AppPaths& paths);

// What a price run without a window takes from a settings file and the list files beside it:
// the switches, accounts and chosen sites of the run (search pages never), where the own price
// lists are and how their columns are named, and how long the price history keeps a run. Keys and
// defaults are the window's own, from the table above.
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
