#pragma once

#include <QString>

class QComboBox;
class QListWidget;

// An editable box for search words: Enter leaves the list alone, the earlier words show as soon
// as the user types.
void MakeSearchHistoryBox(QComboBox* box, const QString& initialText);
// Adds the word in alphabetical order unless the list holds it in any letter case; the text in
// the box stays as it is.
void AddToSearchHistory(QComboBox* box, const QString& word);

// Draws the items' tab-separated parts in columns `stop` pixels apart.
void SetTabStops(QListWidget* list, int stop);
// 100 dialog units of the list's font in pixels.
int DialogUnitsToPixels(const QListWidget* list, int units);
