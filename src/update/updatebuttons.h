#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QToolButton;
class QWidget;
struct AppContext;

// The left column's update buttons: "  UPDATE PROGRAM", shown when a newer version is
// published, and "  HISTORY CHANGES".
class ProgramUpdate : public QObject {
    Q_OBJECT
public:
    // `window` is the main window: held disabled during the download, its first paint awaited.
    ProgramUpdate(AppContext& context, QWidget* window);
    // The two buttons, one above the other, for the left column.
    QWidget* widget() const { return m_widget; }
    // Whether a newer version was found and can be installed.
    bool updateOffered() const;
    QList<QWidget*> tabChain() const;

    void CheckForNewVersion(const QString& version);
    void SpeedButton3Click();
    void SpeedButton4Click();

signals:
    // The new program is downloaded and waits for this one to end.
    void swapStarted();

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
    QWidget* m_widget = nullptr;
    QToolButton* m_SpeedButton3 = nullptr;
    QToolButton* m_SpeedButton4 = nullptr;
    bool m_painted = false;
    QString m_pendingMessage;
    QString m_available; // the version the history announces
};
