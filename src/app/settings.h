#pragma once

#include "app/runsettingsfile.h"
#include "service/appcontext.h"

#include <QString>
#include <QStringList>

#include <optional>

class AppPaths;
class QWidget;

// The settings file and the list files, read into and written from the window's controls by
// their object names.
namespace Settings {

// Every key of the settings file into its control; missing keys give the defaults.
void LoadSettings(QWidget* root, const AppPaths& paths);
// What the list files give the window to hand out: the three shared texts, and the garage's lines
// (nothing when its file is missing).
struct ListTexts {
    SharedTexts texts;
    std::optional<QStringList> garage;
};
// Fills the search page and download lists; the rest it returns.
ListTexts LoadLists(QWidget* root, const AppPaths& paths);
// The garage's lines, then the search page and download lists; stops at the first file that
// cannot be written.
bool SaveLists(QWidget* root, const QStringList& garage, const AppPaths& paths, QString* error);
// Every key from its control; sections and keys the program does not know are kept.
bool SaveSettings(QWidget* root, const AppPaths& paths, QString* error);

} // namespace Settings
