#pragma once

#include "platform/dialogs.h"

#include <QList>
#include <QQueue>

// Dialogs for tests: answers come from a queue, every box shown is recorded.
// An unanswered question counts as No (or Abort).
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Information, Confirm, OkAbort, Error, TitledError, Trust };
    struct Shown {
        Kind kind;
        QString title;
        QString text;
    };

    void setNextAnswer(bool answer) { m_answers.enqueue(answer); }
    const QList<Shown>& shown() const { return m_shown; }
    QStringList texts() const;
    QString lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }
    int pendingAnswers() const { return int(m_answers.size()); }
    void clear();

    void information(const QString& text) override;
    bool confirm(const QString& text) override;
    bool okAbort(const QString& text) override;
    void error(const QString& text) override;
    void titledError(const QString& title, const QString& text) override;
    bool confirmTrust(const QString& text) override;

private:
    bool takeAnswer();

    QQueue<bool> m_answers;
    QList<Shown> m_shown;
};
