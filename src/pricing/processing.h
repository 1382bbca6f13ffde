#pragma once

#include "pricing/runprogress.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class QLabel;
class QToolButton;
class Dialogs;

// The progress window of a price run: border-less, always on top, centred over the main
// window, which it disables while it is shown. Its texts are painted at most about 30 times a
// second, however often the run changes them.
class TForm3 : public QWidget, public RunProgress {
    Q_OBJECT
public:
    TForm3(Dialogs& dialogs, QWidget* mainWindow);

    // 1 once the user confirmed STOP; read by the run between its steps.
    int StopFlag = 0;

    void begin(int lineCount, const QString& progressLine) override;
    void setProgressLine(const QString& text) override;
    void setPhase(const QString& text) override;
    void setRunningCount(int count) override;
    void setOpenRequests(int count) override;
    bool isShowing() const override { return isVisible(); }
    bool stopRequested() const override { return StopFlag == 1; }
    void requestClose() override { close(); }

    QString phase() const { return m_texts.phase; }
    QString buttonCaption() const;

    void FormShow();
    // Whether a request to close is granted.
    bool FormCloseQuery() const;
    void FormClose();
    void SpeedButton1Click();
    // The program is closing: the window goes whatever its rules say.
    void closeForShutdown();

signals:
    // The user confirmed STOP: the run's count becomes 0.
    void stopConfirmed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Texts {
        QString lineCount;
        QString progressLine;
        QString phase;
        QString open;
    };
    void buildUi();
    void changed();
    void paintTexts();

    Dialogs& m_dialogs;
    QPointer<QWidget> m_mainWindow;
    bool m_shuttingDown = false;
    int m_count = 0;
    Texts m_texts;
    QTimer m_paintTimer;
    QElapsedTimer m_sincePaint;
    QLabel* m_Label2 = nullptr;
    QLabel* m_Label3 = nullptr;
    QLabel* m_Label4 = nullptr;
    QLabel* m_Label5 = nullptr;
    QLabel* m_Label6 = nullptr;
    QLabel* m_openRequests = nullptr;
    QToolButton* m_SpeedButton1 = nullptr;
};
