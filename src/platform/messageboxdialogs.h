#pragma once

#include "platform/dialogs.h"

#include <QPointer>
#include <QWidget>

// Dialogs shown with QMessageBox over the main window.
class MessageBoxDialogs : public Dialogs {
public:
    void setParentWidget(QWidget* parent) { m_parent = parent; }

    using Dialogs::confirm;
    void information(const QString& text) override;
    bool informationWithAction(const QString& text, const QString& action) override;
    bool confirm(const QString& text, Confirmation kind) override;
    bool okAbort(const QString& text) override;
    void error(const QString& text) override;
    void titledError(const QString& title, const QString& text) override;
    bool confirmTrust(const QString& text) override;

private:
    // The main window, or the window that is reachable while the main window is disabled.
    QWidget* owner() const;

    QPointer<QWidget> m_parent;
};
