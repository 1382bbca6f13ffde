#include "platform/messageboxdialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
QString appTitle() {
    return QApplication::applicationDisplayName();
}
} // namespace

// A box over a disabled window could not be answered: while the progress window of a run
// disables the main window, the box belongs to the progress window (or whatever window is
// still enabled).
QWidget* MessageBoxDialogs::owner() const {
    if (!m_parent || m_parent->isEnabled())
        return m_parent;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != m_parent && window->isVisible() && window->isEnabled() && window->isWindow() &&
            !window->inherits("QMenu"))
            return window;
    return nullptr;
}

void MessageBoxDialogs::information(const QString& text) {
    QMessageBox::information(owner(), appTitle(), text);
}

bool MessageBoxDialogs::informationWithAction(const QString& text, const QString& action) {
    QMessageBox box(QMessageBox::Information, appTitle(), text, QMessageBox::Ok, owner());
    QPushButton* chosen = box.addButton(action, QMessageBox::ActionRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == chosen;
}

bool MessageBoxDialogs::confirm(const QString& text, Confirmation kind) {
    const QMessageBox::StandardButton first = kind == Confirmation::Routine ? QMessageBox::Yes : QMessageBox::No;
    return QMessageBox::question(owner(), appTitle(), text, QMessageBox::Yes | QMessageBox::No, first) ==
           QMessageBox::Yes;
}

bool MessageBoxDialogs::okAbort(const QString& text) {
    return QMessageBox::warning(owner(), appTitle(), text, QMessageBox::Ok | QMessageBox::Abort, QMessageBox::Ok) ==
           QMessageBox::Ok;
}

void MessageBoxDialogs::error(const QString& text) {
    QMessageBox::critical(owner(), appTitle(), text);
}

void MessageBoxDialogs::titledError(const QString& title, const QString& text) {
    QMessageBox::critical(owner(), title, text);
}

bool MessageBoxDialogs::confirmTrust(const QString& text) {
    return QMessageBox::warning(owner(), appTitle(), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}
