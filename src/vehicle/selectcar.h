#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

// "Select car": the candidates of a KBA or MIME number with several hits. Shown without a
// modal loop; the main window stays disabled while it is up. It opens wide enough for its
// longest line and can be resized.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* mainWindow);
    // The sorted list of candidate lines (ListBox1).
    QListWidget* list() const { return m_ListBox1; }
    void clearLines();
    void addLine(const QString& line);
    // Shows the dialog with these lines, the list taking the keyboard.
    void showCandidates(const QStringList& lines);

    void FormShow();
    void FormClose();
    // A double click or Enter on a line: the dialog closes and tells the line's K-type number.
    void ListBox1DblClick();

signals:
    void kTypeChosen(const QString& ktype);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildUi();
    void fitLongestLine();

    QWidget* m_mainWindow;
    QListWidget* m_ListBox1 = nullptr;
};
