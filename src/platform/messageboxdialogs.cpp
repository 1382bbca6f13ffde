#include "platform/messageboxdialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace {
QString appTitle() {
    return QApplication::applicationDisplayName();
}
} // namespace

void MessageBoxDialogs::information(const QString& text) {
    QMessageBox::information(m_parent, appTitle(), text);
}

bool MessageBoxDialogs::confirm(const QString& text) {
    return QMessageBox::question(m_parent, appTitle(), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

bool MessageBoxDialogs::okAbort(const QString& text) {
    return QMessageBox::warning(m_parent, appTitle(), text, QMessageBox::Ok | QMessageBox::Abort, QMessageBox::Ok) ==
           QMessageBox::Ok;
}

void MessageBoxDialogs::error(const QString& text) {
    QMessageBox::critical(m_parent, appTitle(), text);
}

void MessageBoxDialogs::titledError(const QString& title, const QString& text) {
    QMessageBox::critical(m_parent, title, text);
}
