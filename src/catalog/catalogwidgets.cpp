#include "catalog/catalogwidgets.h"

#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

class TabStopDelegate : public QStyledItemDelegate {
public:
    TabStopDelegate(int stop, QObject* parent) : QStyledItemDelegate(parent), m_stop(stop) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QStringList parts = opt.text.split(QLatin1Char('\t'));
        opt.text.clear();
        QStyle* style = opt.widget ? opt.widget->style() : nullptr;
        if (style)
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(
            opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        QRect cell = opt.rect.adjusted(2, 0, 0, 0);
        for (const QString& part : parts) {
            painter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, part);
            const int used = opt.fontMetrics.horizontalAdvance(part);
            // Like a tab stop: a part wider than a column pushes the next to the following stop.
            const int columns = used / m_stop + 1;
            cell.setLeft(cell.left() + columns * m_stop);
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const QStringList parts = index.data().toString().split(QLatin1Char('\t'));
        size.setWidth(int(parts.size()) * m_stop + option.fontMetrics.horizontalAdvance(parts.last()));
        return size;
    }

private:
    int m_stop;
};

} // namespace

void MakeSearchHistoryBox(QComboBox* box, const QString& initialText) {
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setEditText(initialText);
    box->completer()->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    box->completer()->setCaseSensitivity(Qt::CaseInsensitive);
}

void AddToSearchHistory(QComboBox* box, const QString& word) {
    if (box->findText(word, Qt::MatchFixedString) >= 0)
        return;
    int row = 0;
    while (row < box->count() && QString::localeAwareCompare(box->itemText(row).toLower(), word.toLower()) <= 0)
        ++row;
    const QString typed = box->currentText();
    box->insertItem(row, word);
    box->setCurrentIndex(-1);
    box->setEditText(typed);
}

void SetTabStops(QListWidget* list, int stop) {
    list->setItemDelegate(new TabStopDelegate(stop, list));
}

int DialogUnitsToPixels(const QListWidget* list, int units) {
    // A horizontal dialog unit is a quarter of the font's average character width.
    return units * list->fontMetrics().averageCharWidth() / 4;
}
