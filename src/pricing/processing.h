#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QToolButton;
class Dialogs;
class PriceWorkers;

// The progress window of a price run: border-less, always on top, centred over the main
// window, which it disables while it is shown.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    TForm3(Dialogs& dialogs, PriceWorkers& workers, QWidget* mainWindow);

    // 1 once the user confirmed STOP; read by the run between its steps.
    int StopFlag = 0;

    void setLineCount(int lineCount);
    void setProgressLine(const QString& text);
    void setPhase(const QString& text);
    QString phase() const;
    QString buttonCaption() const;

    void FormShow();
    // Whether a request to close is granted.
    bool FormCloseQuery() const;
    void FormClose();
    void SpeedButton1Click();
    // The program is closing: the window goes whatever its rules say.
    void closeForShutdown();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildUi();
    void showCount(int count);

    Dialogs& m_dialogs;
    PriceWorkers& m_workers;
    QPointer<QWidget> m_mainWindow;
    bool m_shuttingDown = false;
    QLabel* m_Label2 = nullptr;
    QLabel* m_Label3 = nullptr;
    QLabel* m_Label4 = nullptr;
    QLabel* m_Label5 = nullptr;
    QLabel* m_Label6 = nullptr;
    QToolButton* m_SpeedButton1 = nullptr;
};
