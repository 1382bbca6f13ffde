#pragma once

#include <QStringList>
#include <QTableView>

// A log that only grows, one line per row: a view of lines kept by their owner, who tells it
// after each append. A long run adds tens of thousands of lines, which a text document lays out
// one by one; rows of one height cost next to nothing. The column is as wide as the widest line
// (the view scrolls sideways) and a row shows its whole line as tool tip. The view follows the
// end unless the user has scrolled away from it. Ctrl+C copies the selected lines.
class LogView : public QTableView {
    Q_OBJECT
public:
    explicit LogView(const QStringList& lines, QWidget* parent = nullptr);

    // Shows the lines added to the list since the last call.
    void linesAppended();
    // The lines shown, one per line.
    QString text() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    class Lines;
    void widenFor(qsizetype from);

    Lines* m_model;
    // The longest line seen so far, in characters, and its width: only a longer line is measured.
    qsizetype m_longest = 0;
};
