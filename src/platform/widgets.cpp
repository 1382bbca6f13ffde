#include "platform/widgets.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTextOption>
#include <QVBoxLayout>

ClickableLabel::ClickableLabel(const QString& objectName, const QString& text, QWidget* parent) : QLabel(text, parent) {
    setObjectName(objectName);
    setCursor(Qt::PointingHandCursor);
}

void ClickableLabel::makeLink() {
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    setStyleSheet(QStringLiteral("color: blue;"));
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

CollapsibleSection::CollapsibleSection(const QString& headerName, const QString& headerText, QWidget* parent)
    : QFrame(parent), m_header(new ClickableLabel(headerName, headerText, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_header->setFixedHeight(kCollapsedHeight);
    m_header->setStyleSheet(QStringLiteral("background: #1f3a5f; color: white; font-weight: bold; padding-left: 6px;"));
    layout->addWidget(m_header);
}

void CollapsibleSection::setBody(QWidget* body) {
    m_body = body;
    body->setParent(this);
    static_cast<QVBoxLayout*>(layout())->addWidget(body, 1);
    body->setVisible(!m_collapsed);
}

void CollapsibleSection::setCollapsed(bool collapsed) {
    if (collapsed == m_collapsed)
        return;
    m_collapsed = collapsed;
    if (collapsed) {
        setFixedHeight(kCollapsedHeight);
    } else {
        setMinimumHeight(kCollapsedHeight);
        setMaximumHeight(QWIDGETSIZE_MAX);
    }
    if (m_body)
        m_body->setVisible(!collapsed);
    emit collapsedChanged(collapsed);
}

KeyWatcher::KeyWatcher(QWidget* widget, Qt::Key key) : QObject(widget), m_key(key) {
    widget->installEventFilter(this);
}

bool KeyWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* keyEvent = static_cast<QKeyEvent*>(event);
    const bool hit =
        m_key == Qt::Key_Return || m_key == Qt::Key_Enter ? isEnterKey(keyEvent->key()) : keyEvent->key() == m_key;
    if (!hit || (keyEvent->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return QObject::eventFilter(watched, event);
    emit pressed();
    return true;
}

namespace {

// The narrowest width of the text on at most two lines, broken at a blank.
int twoLineWidth(const QFontMetrics& metrics, const QString& text) {
    int best = metrics.horizontalAdvance(text);
    for (qsizetype i = text.indexOf(QLatin1Char(' ')); i > 0; i = text.indexOf(QLatin1Char(' '), i + 1))
        best = std::min(best,
                        std::max(metrics.horizontalAdvance(text.left(i)), metrics.horizontalAdvance(text.mid(i + 1))));
    return best;
}

class TwoLineTabBar : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int index) const override {
        const QSize oneLine = QTabBar::tabSizeHint(index);
        const QFontMetrics metrics = fontMetrics();
        const int saved = metrics.horizontalAdvance(tabText(index)) - twoLineWidth(metrics, tabText(index).trimmed());
        return {oneLine.width() - std::max(0, saved), oneLine.height() + metrics.lineSpacing()};
    }
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        for (int i = 0; i < count(); ++i) {
            QStyleOptionTab option;
            initStyleOption(&option, i);
            const QString caption = option.text.trimmed();
            option.text.clear();
            painter.drawControl(QStyle::CE_TabBarTab, option);
            painter.setPen(
                palette().color(isTabEnabled(i) ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
            painter.drawText(option.rect, Qt::AlignCenter | Qt::TextWordWrap, caption);
        }
    }
};

} // namespace

TwoLineTabWidget::TwoLineTabWidget(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new TwoLineTabBar(this));
}

QToolButton* makeButton(const QString& objectName, const QString& text, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setText(text);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
}

QLabel* makeTitle(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("background: #2b5797; color: white; font-weight: bold; padding: 4px;"));
    return label;
}

namespace {
// The row before which `text` belongs in a list sorted alphabetically without regard to case;
// after the equal ones, so earlier entries keep their places.
template <class TextAt> int sortedRow(int count, TextAt textAt, const QString& text) {
    const QString key = text.toLower();
    int row = 0;
    while (row < count && QString::localeAwareCompare(textAt(row).toLower(), key) <= 0)
        ++row;
    return row;
}
} // namespace

int insertSorted(QListWidget* list, const QString& text) {
    const int row = sortedRow(
        list->count(), [list](int i) { return list->item(i)->text(); }, text);
    list->insertItem(row, text);
    return row;
}

QStringList sortedLikeInsertSorted(const QStringList& texts) {
    // Lowered once, not once per comparison; a stable sort keeps equal texts in their given
    // order, as inserting each after its equals does.
    std::vector<std::pair<QString, qsizetype>> keys;
    keys.reserve(std::size_t(texts.size()));
    for (qsizetype i = 0; i < texts.size(); ++i)
        keys.emplace_back(texts[i].toLower(), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& a, const auto& b) { return QString::localeAwareCompare(a.first, b.first) < 0; });
    QStringList sorted;
    sorted.reserve(texts.size());
    for (const auto& key : keys)
        sorted << texts[key.second];
    return sorted;
}

int findIgnoringCase(const QListWidget* list, const QString& text) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QStringList itemTexts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

namespace {

// Tab stops as a list box with tab stops draws them, and items shown in other words than
// their text.
class ListItemDelegate : public QStyledItemDelegate {
public:
    explicit ListItemDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

    void setTabStop(int stop) { m_stop = stop; }
    void setShown(std::function<QString(const QString&)> shown) { m_shown = std::move(shown); }

    QString displayText(const QVariant& value, const QLocale& locale) const override {
        return m_shown ? m_shown(value.toString()) : QStyledItemDelegate::displayText(value, locale);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (m_stop <= 0) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : nullptr;
        if (style)
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        QTextOption textOption(Qt::AlignLeft | Qt::AlignVCenter);
        textOption.setWrapMode(QTextOption::NoWrap);
        textOption.setTabStopDistance(m_stop);
        const QRect textRect = style ? style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget) : opt.rect;
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(
            opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(QRectF(textRect), text, textOption);
        painter->restore();
    }

    // As wide as the whole line with its tab stops, so the list scrolls sideways to its end.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (m_stop <= 0)
            return QStyledItemDelegate::sizeHint(option, index);
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QFontMetrics metrics(opt.font);
        const QStringList parts = opt.text.split(QLatin1Char('\t'));
        int width = 0;
        for (qsizetype i = 0; i < parts.size(); ++i) {
            width += metrics.horizontalAdvance(parts[i]);
            if (i + 1 < parts.size())
                width = (width / m_stop + 1) * m_stop;
        }
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(width + 2 * metrics.averageCharWidth());
        return size;
    }

private:
    int m_stop = 0;
    std::function<QString(const QString&)> m_shown;
};

ListItemDelegate* listItemDelegate(QListWidget* list) {
    auto* delegate = dynamic_cast<ListItemDelegate*>(list->itemDelegate());
    if (!delegate) {
        delegate = new ListItemDelegate(list);
        list->setItemDelegate(delegate);
    }
    return delegate;
}

// While the box still shows its initial text (a label, not a search word), a click into it
// selects that text whole, so the first key typed replaces it.
class InitialTextSelector : public QObject {
public:
    InitialTextSelector(QComboBox* box, const QString& initialText)
        : QObject(box), m_box(box), m_initialText(initialText) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonPress || m_box->currentText() != m_initialText)
            return QObject::eventFilter(watched, event);
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            return QObject::eventFilter(watched, event);
        m_box->setFocus(Qt::MouseFocusReason);
        m_box->lineEdit()->selectAll();
        return true;
    }

private:
    QComboBox* m_box;
    QString m_initialText;
};

} // namespace

void makeSearchHistoryBox(QComboBox* box, const QString& initialText) {
    box->setEditable(true);
    box->lineEdit()->installEventFilter(new InitialTextSelector(box, initialText));
    // The history grows only by the program, never by what the user types.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setEditText(initialText);
    box->completer()->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    box->completer()->setCaseSensitivity(Qt::CaseInsensitive);
}

void addToSearchHistory(QComboBox* box, const QString& word) {
    if (box->findText(word, Qt::MatchFixedString) >= 0)
        return;
    const int row = sortedRow(
        box->count(), [box](int i) { return box->itemText(i); }, word);
    const QString typed = box->currentText();
    box->insertItem(row, word);
    box->setCurrentIndex(-1);
    box->setEditText(typed);
}

bool isEnterKey(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

void setTabStops(QListWidget* list, int stop) {
    listItemDelegate(list)->setTabStop(stop);
    list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

void setShownText(QListWidget* list, std::function<QString(const QString&)> shown) {
    listItemDelegate(list)->setShown(std::move(shown));
    list->viewport()->update();
}

QString shownText(const QListWidget* list, int row) {
    const QModelIndex index = list->model()->index(row, 0);
    const auto* delegate = dynamic_cast<const QStyledItemDelegate*>(list->itemDelegateForIndex(index));
    const QVariant value = index.data(Qt::DisplayRole);
    return delegate ? delegate->displayText(value, list->locale()) : value.toString();
}

int dialogUnitsToPixels(const QListWidget* list, int units) {
    return std::max(1, units * list->fontMetrics().averageCharWidth() / 4);
}

void watchSearchHistoryBoxKeys(QComboBox* box, QObject* filter) {
    // An editable box keeps the focus itself and passes keys on to its line edit by a direct
    // call, which no filter on the line edit sees: the keyboard's keys arrive at the box.
    box->installEventFilter(filter);
    // Installed after the completer's own filter, so it sees the keys first.
    box->completer()->popup()->installEventFilter(filter);
}

bool isSearchHistoryBoxEnter(QComboBox* box, QObject* watched, QEvent* event) {
    // Also asked while a panel is still being built, before the box exists.
    if (!box || event->type() != QEvent::KeyPress)
        return false;
    if (!isEnterKey(static_cast<QKeyEvent*>(event)->key()))
        return false;
    QAbstractItemView* history = box->completer()->popup();
    if (watched != box && watched != history)
        return false;
    if (watched == history && history->isVisible()) {
        const QModelIndex marked = history->currentIndex();
        if (marked.isValid())
            box->setEditText(marked.data(box->completer()->completionRole()).toString());
    }
    history->hide();
    return true;
}
