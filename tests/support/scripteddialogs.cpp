#include "support/scripteddialogs.h"

QStringList ScriptedDialogs::texts() const {
    QStringList result;
    for (const Shown& s : m_shown)
        result << s.text;
    return result;
}

void ScriptedDialogs::clear() {
    m_answers.clear();
    m_shown.clear();
}

bool ScriptedDialogs::takeAnswer() {
    return m_answers.isEmpty() ? false : m_answers.dequeue();
}

void ScriptedDialogs::information(const QString& text) {
    m_shown.append({Kind::Information, {}, text});
}

bool ScriptedDialogs::informationWithAction(const QString& text, const QString& action) {
    m_shown.append({Kind::InformationWithAction, action, text});
    return takeAnswer();
}

bool ScriptedDialogs::confirm(const QString& text, Confirmation kind) {
    m_shown.append({Kind::Confirm, {}, text, kind});
    return takeAnswer();
}

bool ScriptedDialogs::okAbort(const QString& text) {
    m_shown.append({Kind::OkAbort, {}, text});
    return takeAnswer();
}

void ScriptedDialogs::error(const QString& text) {
    m_shown.append({Kind::Error, {}, text});
}

void ScriptedDialogs::titledError(const QString& title, const QString& text) {
    m_shown.append({Kind::TitledError, title, text});
}

bool ScriptedDialogs::confirmTrust(const QString& text) {
    m_shown.append({Kind::Trust, {}, text});
    return takeAnswer();
}
