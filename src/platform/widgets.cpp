#include "platform/widgets.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
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

int insertSorted(QListWidget* list, const QString& text) {
    int row = 0;
    const int count = list->count();
    while (row < count && QString::localeAwareCompare(list->item(row)->text().toLower(), text.toLower()) <= 0)
        ++row;
    list->insertItem(row, text);
    return row;
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

int SelectedNodeData(const QTreeWidget* tree) {
    if (!tree || tree->topLevelItemCount() == 0 || !tree->currentItem())
        return 0;
    bool ok = false;
    const int id = tree->currentItem()->data(0, Qt::UserRole).toInt(&ok);
    return ok ? id : 0;
}

void WatchSearchHistoryBoxKeys(QComboBox* box, QObject* filter) {
    box->lineEdit()->installEventFilter(filter);
    // Installed after the completer's own filter, so it sees the keys first.
    box->completer()->popup()->installEventFilter(filter);
}

bool IsSearchHistoryBoxEnter(QComboBox* box, QObject* watched, QEvent* event) {
    // Also asked while a panel is still being built, before the box exists.
    if (!box || event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    QAbstractItemView* history = box->completer()->popup();
    if (watched != box->lineEdit() && watched != history)
        return false;
    if (watched == history && history->isVisible()) {
        const QModelIndex marked = history->currentIndex();
        if (marked.isValid())
            box->setEditText(marked.data(box->completer()->completionRole()).toString());
    }
    history->hide();
    return true;
}

WaitCursor::WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

WaitCursor::~WaitCursor() { QApplication::restoreOverrideCursor(); }
