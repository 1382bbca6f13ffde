#include "platform/checklist.h"

#include "platform/widgets.h"

#include <QListWidget>

namespace CheckList {

namespace {
QListWidgetItem* makeCheckable(QListWidgetItem* item) {
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    return item;
}
} // namespace

QListWidgetItem* append(QListWidget* list, const QString& text) {
    return makeCheckable(new QListWidgetItem(text, list));
}

QListWidgetItem* insertSorted(QListWidget* list, const QString& text) {
    return makeCheckable(list->item(::insertSorted(list, text)));
}

bool isChecked(const QListWidget* list, int row) {
    const QListWidgetItem* item = list->item(row);
    return item && item->checkState() == Qt::Checked;
}

void setChecked(QListWidget* list, int row, bool checked) {
    if (QListWidgetItem* item = list->item(row))
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

QStringList checkedTexts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        if (isChecked(list, i))
            texts << list->item(i)->text();
    return texts;
}

} // namespace CheckList
