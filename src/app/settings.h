#pragma once

#include "pricing/pricerunsettings.h"

#include <QString>

class AppPaths;
class QWidget;
struct SharedTexts;

// The settings file and the list files, read into and written from the window's controls by
// their object names.
namespace Settings {

// Every key of the settings file into its control; missing keys give the defaults.
void LoadSettings(QWidget* root, const AppPaths& paths);
// The three shared texts and the garage, search page and download lists.
void LoadLists(QWidget* root, const AppPaths& paths, SharedTexts& texts);
// The garage, search page and download lists; stops at the first file that cannot be written.
bool SaveLists(QWidget* root, const AppPaths& paths, QString* error);
// Every key from its control; sections and keys the program does not know are kept.
bool SaveSettings(QWidget* root, const AppPaths& paths, QString* error);

// "[a][b]" from the lines of a list file; empty when the file is missing.
QString BracketedText(const QString& path);

// What a price run without a window takes from a settings file and the list files beside it:
// the switches, accounts and chosen sites of the run (search pages never), and where the own
// price lists are and how their columns are named.
struct RunFileSettings {
    PriceRunSettings run;
    QString priceListFolder;
    QString brandColumns;
    QString referenceColumns;
    QString priceColumns;
};
RunFileSettings ReadRunSettings(const QString& iniPath);

} // namespace Settings
