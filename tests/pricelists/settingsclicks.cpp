#include "settingsclicks.h"

#include "support/windowfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionButton>

void scrollIntoView(QWidget* widget) {
    for (QWidget* w = widget->parentWidget(); w; w = w->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(w))
            area->ensureWidgetVisible(widget, 10, 10);
    QApplication::processEvents();
}

void clickInView(QWidget* widget) {
    scrollIntoView(widget);
    click(widget);
}

void clickCheck(QCheckBox* box) {
    scrollIntoView(box);
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect square = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, square.center());
}

namespace {
QPoint rowPoint(QListWidget* list, int row) {
    scrollIntoView(list);
    list->scrollToItem(list->item(row));
    return list->visualItemRect(list->item(row)).center();
}
} // namespace

void clickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowPoint(list, row));
}

void doubleClickRow(QListWidget* list, int row) {
    const QPoint point = rowPoint(list, row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, point);
}

void typeIntoEdit(QLineEdit* edit, const QString& text) {
    clickInView(edit);
    pressKey(Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        pressKey(Qt::Key_Delete);
    else
        typeText(text);
}
