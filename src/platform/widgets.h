#pragma once

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>

// Small widgets the windows share: clickable labels for links and section headers, the
// collapsible sections of the accordions, and buttons in the style of the main window.

class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    ClickableLabel(const QString& objectName, const QString& text, QWidget* parent = nullptr);
    // Blue, underlined, hand cursor.
    void makeLink();

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A header strip over a body. Collapsed, the section is exactly kCollapsedHeight high and shows
// only its header; expanded it takes the free height of its column.
class CollapsibleSection : public QFrame {
    Q_OBJECT
public:
    static constexpr int kCollapsedHeight = 30;

    CollapsibleSection(const QString& headerName, const QString& headerText, QWidget* parent = nullptr);
    ClickableLabel* header() const { return m_header; }
    QWidget* body() const { return m_body; }
    void setBody(QWidget* body);

    bool isCollapsed() const { return m_collapsed; }
    void setCollapsed(bool collapsed);

signals:
    void collapsedChanged(bool collapsed);

private:
    ClickableLabel* m_header;
    QWidget* m_body = nullptr;
    bool m_collapsed = false;
};

// Tells each press of a key in the widget (Enter: main or keypad) and keeps it from the widget:
// the keyboard's way to a handler the mouse reaches by a double click or a button.
class KeyWatcher : public QObject {
    Q_OBJECT
public:
    KeyWatcher(QWidget* widget, Qt::Key key);

signals:
    void pressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Qt::Key m_key;
};

// Tabs whose long captions take two lines, so that more tabs stand side by side before the bar
// needs its scroll arrows. The captions themselves stay as given.
class TwoLineTabWidget : public QTabWidget {
    Q_OBJECT
public:
    explicit TwoLineTabWidget(QWidget* parent = nullptr);
};

QToolButton* makeButton(const QString& objectName, const QString& text, QWidget* parent = nullptr);
QLabel* makeTitle(const QString& text, QWidget* parent = nullptr);

// Lists kept in alphabetical order without regard to letter case, as sorted list boxes keep them.
int insertSorted(QListWidget* list, const QString& text);
// The texts in the order inserting them one by one with insertSorted gives, in O(n log n).
QStringList sortedLikeInsertSorted(const QStringList& texts);
// Whether the list holds the text, letter case ignored.
int findIgnoringCase(const QListWidget* list, const QString& text);
QStringList itemTexts(const QListWidget* list);

// An editable box for search words: Enter leaves the list alone, the earlier words show as soon
// as the user types.
void makeSearchHistoryBox(QComboBox* box, const QString& initialText);
// Adds the word in alphabetical order unless the list holds it in any letter case; the text in
// the box stays as it is.
void addToSearchHistory(QComboBox* box, const QString& word);
// Return or Enter.
bool isEnterKey(int key);

// Draws the items' tab-separated parts with tab stops `stop` pixels apart.
void setTabStops(QListWidget* list, int stop);
// Items show `shown(text)` in place of their text, which stays what the program reads, sorts
// and saves.
void setShownText(QListWidget* list, std::function<QString(const QString&)> shown);
// What the row shows.
QString shownText(const QListWidget* list, int row);
// Dialog units of the list's font in pixels (a quarter of the average character width each).
int dialogUnitsToPixels(const QListWidget* list, int units);

// Editable boxes with a history of search words, shown as a list while the user types. The open
// list takes the keys before the box, so a panel watches both: watchSearchHistoryBoxKeys lets
// `filter` see them (the box's own keys, which the box hands to its line edit unfiltered), and
// isSearchHistoryBoxEnter tells Enter (main or keypad) pressed in either. On Enter the
// list closes and a word highlighted in it becomes the box's text.
void watchSearchHistoryBoxKeys(QComboBox* box, QObject* filter);
bool isSearchHistoryBoxEnter(QComboBox* box, QObject* watched, QEvent* event);
