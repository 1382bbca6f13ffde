#pragma once

#include <QElapsedTimer>
#include <QStringList>
#include <QTableView>
#include <QTimer>

// A log that only grows, one line per row: a view of lines kept by their owner, who tells it
// after each append. A long run adds tens of thousands of lines, which a text document lays out
// one by one; rows of one height cost next to nothing. The column is as wide as the widest line
// (the view scrolls sideways) and a row shows its whole line as tool tip. The view follows the
// end unless the user has scrolled away from it. Ctrl+C copies the selected lines.
//
// A price run appends lines twenty times a second; laying them out and repainting the scroll bars
// as often costs more than the run's own work on the window thread, so a shown view takes new
// lines in at most every kIntervalMs.
class LogView : public QTableView {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 200;

    explicit LogView(const QStringList& lines, QWidget* parent = nullptr);

    // Shows the lines added to the list since the last call: at once, or within kIntervalMs of
    // the last time lines were taken in.
    void linesAppended();
    // The lines shown, one per line; lines still to be shown are taken in first.
    QString text();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    class Lines;
    void widenFor(qsizetype from);
    void showAdded();

    Lines* m_model;
    // The longest line seen so far, in characters, and its width: only a longer line is measured.
    qsizetype m_longest = 0;
    QTimer m_pending;
    QElapsedTimer m_sinceShown;
};
