#pragma once

#include <QDialog>

class QListWidget;

// "Select car": the candidates of a KBA or MIME number with several hits. Shown without a
// modal loop; the main window stays disabled while it is up.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* mainWindow);
    // The sorted list of candidate lines (ListBox1).
    QListWidget* list() const { return m_ListBox1; }
    void clearLines();
    void addLine(const QString& line);

    void FormShow();
    void FormClose();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildUi();

    QWidget* m_mainWindow;
    QListWidget* m_ListBox1 = nullptr;
};
