#include "settingsclicks.h"

#include "support/windowfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionButton>

void ScrollIntoView(QWidget* widget) {
    for (QWidget* w = widget->parentWidget(); w; w = w->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(w))
            area->ensureWidgetVisible(widget, 10, 10);
    QApplication::processEvents();
}

void ClickInView(QWidget* widget) {
    ScrollIntoView(widget);
    click(widget);
}

void ClickCheck(QCheckBox* box) {
    ScrollIntoView(box);
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect square = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, square.center());
}

namespace {
QPoint rowPoint(QListWidget* list, int row) {
    ScrollIntoView(list);
    list->scrollToItem(list->item(row));
    return list->visualItemRect(list->item(row)).center();
}
} // namespace

void ClickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rowPoint(list, row));
}

void DoubleClickRow(QListWidget* list, int row) {
    const QPoint point = rowPoint(list, row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, point);
}

void TypeInto(QLineEdit* edit, const QString& text) {
    ClickInView(edit);
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(focus, Qt::Key_Delete);
    else
        QTest::keyClicks(focus, text);
}
