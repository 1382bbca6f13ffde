#pragma once

#include <QStringList>

class QListWidget;
class QListWidgetItem;

// List boxes whose items carry a tick box (check-list boxes).
namespace CheckList {

// Appends an unticked item.
QListWidgetItem* append(QListWidget* list, const QString& text);
// Inserts an unticked item at its alphabetical place (letter case ignored).
QListWidgetItem* insertSorted(QListWidget* list, const QString& text);
bool isChecked(const QListWidget* list, int row);
void setChecked(QListWidget* list, int row, bool checked);
// The texts of the ticked items, in list order.
QStringList checkedTexts(const QListWidget* list);

} // namespace CheckList
