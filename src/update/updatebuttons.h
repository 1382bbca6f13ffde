#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QToolButton;
class QWidget;
struct AppContext;

// The left column's update buttons: "  UPDATE PROGRAM", shown when a newer version is
// published, and "  HISTORY CHANGES".
class ProgramUpdate : public QObject {
    Q_OBJECT
public:
    // `closeProgram` ends the program through its normal closing path.
    ProgramUpdate(AppContext& context, QWidget* window, QToolButton* updateButton, QToolButton* historyButton,
                  std::function<void()> closeProgram);

    void CheckForNewVersion(const QString& version);
    void SpeedButton3Click();
    void SpeedButton4Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows the message once the window has been painted, so that start-up never waits on it.
    void informAfterFirstPaint(const QString& text);
    // Downloads the new program and starts the swap; false when it did not get that far.
    bool downloadAndSwap();
    // Whether this copy can replace itself: its folder is writable. An installed copy is
    // updated by its package or installer instead.
    bool updatesItself() const;
    QString installerText() const;
    // Shows the refusal of a download; nothing is kept of it.
    void refuse(const QString& newProgram, const QString& why);

    AppContext& m_context;
    QWidget* m_window;
    QToolButton* m_SpeedButton3;
    QToolButton* m_SpeedButton4;
    std::function<void()> m_closeProgram;
    bool m_painted = false;
    QString m_pendingMessage;
    QString m_available; // the version the history announces
};
