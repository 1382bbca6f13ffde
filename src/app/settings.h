#pragma once

#include "app/runsettingsfile.h"
#include "service/appcontext.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

class AppPaths;
class QWidget;

// The settings file and the list files, read into and written from the window's controls by
// their object names.
namespace Settings {

// The values read for controls not built yet (a page never shown), by control name, as the
// control would give them back; they go into the controls when these are built, and into the
// file as they are when the controls never come.
struct HeldValues {
    QHash<QString, QString> values;
};

// Every key of the settings file into its control, or into `held` while the control does not
// exist; missing keys give the defaults.
void LoadSettings(QWidget* root, const AppPaths& paths, HeldValues& held);
// The held values whose controls exist now go into them.
void PutHeldValues(QWidget* root, HeldValues& held);
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
// Every key from its control, or from `held` for a control never built; sections and keys the
// program does not know are kept.
bool SaveSettings(QWidget* root, const AppPaths& paths, const HeldValues& held, QString* error);

} // namespace Settings
