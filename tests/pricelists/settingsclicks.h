#pragma once

#include <QString>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QWidget;

// The user's way to controls on the scrolling SETTINGS page: scroll them into view first, then
// click, double-click or type where the user would.
void scrollIntoView(QWidget* widget);
void clickInView(QWidget* widget);
// A click on the check box's square.
void clickCheck(QCheckBox* box);
void doubleClickRow(QListWidget* list, int row);
void clickRow(QListWidget* list, int row);
// Clicks into the box, selects its text and types `text` over it.
void typeIntoEdit(QLineEdit* edit, const QString& text);
