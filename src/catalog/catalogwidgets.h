#pragma once

#include <QString>

class QComboBox;
class QEvent;
class QListWidget;
class QObject;

// An editable box for search words: Enter leaves the list alone, the earlier words show as soon
// as the user types.
void MakeSearchHistoryBox(QComboBox* box, const QString& initialText);
// Lets `filter` see the box's key presses: in its line edit, and in the list of earlier words
// while that is open, since the open list takes the keys before the line edit.
void WatchSearchHistoryBoxKeys(QComboBox* box, QObject* filter);
// Whether the event is Enter pressed in the box (line edit or open list of earlier words); the
// open list is closed then, so the search runs on the word as typed.
bool IsSearchHistoryBoxEnter(QComboBox* box, QObject* watched, QEvent* event);
// Adds the word in alphabetical order unless the list holds it in any letter case; the text in
// the box stays as it is.
void AddToSearchHistory(QComboBox* box, const QString& word);

// Draws the items' tab-separated parts in columns `stop` pixels apart.
void SetTabStops(QListWidget* list, int stop);
// 100 dialog units of the list's font in pixels.
int DialogUnitsToPixels(const QListWidget* list, int units);
