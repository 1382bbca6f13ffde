#pragma once

#include "platform/dialogs.h"

#include <QList>
#include <QQueue>

// Dialogs for tests: answers come from a queue, every box shown is recorded.
// An unanswered question counts as No (or Abort, or OK without the action).
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Information, InformationWithAction, Confirm, OkAbort, Error, TitledError, Trust };
    struct Shown {
        Kind kind;
        QString title; // the title of a titled error, the action's caption of an information with action
        QString text;
        // Of a question: which button it opened on.
        Confirmation confirmation = Confirmation::Destructive;
    };

    void setNextAnswer(bool answer) { m_answers.enqueue(answer); }
    const QList<Shown>& shown() const { return m_shown; }
    QStringList texts() const;
    QString lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }
    int pendingAnswers() const { return int(m_answers.size()); }
    void clear();

    using Dialogs::confirm;
    void information(const QString& text) override;
    bool informationWithAction(const QString& text, const QString& action) override;
    bool confirm(const QString& text, Confirmation kind) override;
    bool okAbort(const QString& text) override;
    void error(const QString& text) override;
    void titledError(const QString& title, const QString& text) override;
    bool confirmTrust(const QString& text) override;

private:
    bool takeAnswer();

    QQueue<bool> m_answers;
    QList<Shown> m_shown;
};
