#pragma once

#include <QString>

// What a Yes/No question is about, and so which button it opens on (the one Enter presses).
enum class Confirmation {
    // Deletes, clears, replaces or switches what the user has: No, so that a stray Enter keeps it.
    Destructive,
    // The next step of what the user has just asked for (START, a regeneration): Yes.
    Routine,
};

// The message boxes the program shows. Handlers talk to this interface so that tests can
// answer the questions and read what was shown.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Information box with OK.
    virtual void information(const QString& text) = 0;
    // Information box with OK and one more button, `action` ("Open folder"); true when the
    // user chose the action.
    virtual bool informationWithAction(const QString& text, const QString& action) = 0;
    // Question with Yes and No; true on Yes. A question not said to be routine opens on No.
    bool confirm(const QString& text) { return confirm(text, Confirmation::Destructive); }
    virtual bool confirm(const QString& text, Confirmation kind) = 0;
    // Question with OK and Abort; true on OK.
    virtual bool okAbort(const QString& text) = 0;
    // The standard error box with the error's text.
    virtual void error(const QString& text) = 0;
    // An error box with its own title.
    virtual void titledError(const QString& title, const QString& text) = 0;
    // Whether to trust a server the program cannot vouch for (Yes and No, No the default);
    // true on Yes.
    virtual bool confirmTrust(const QString& text) { return confirm(text); }
};
