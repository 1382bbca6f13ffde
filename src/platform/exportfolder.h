#pragma once

#include <QString>

class Desktop;
class Dialogs;

// Where the program's exports lie and how the user is told.

// "Velmora" in the user's documents folder, made when missing: a place the user finds again
// and that survives a restart. Empty, with the reason, when it cannot be made.
QString ExportFolder(QString* error = nullptr);

// Opens a saved export as the desktop opens it, then says where it lies and offers to open its
// folder. False when nothing could open the file (it stays saved all the same).
bool OpenSavedExport(Dialogs& dialogs, Desktop& desktop, const QString& file);

// Shows `text` (which names the folder) with an "Open folder" button that opens `folder`.
void TellSavedIn(Dialogs& dialogs, Desktop& desktop, const QString& text, const QString& folder);
