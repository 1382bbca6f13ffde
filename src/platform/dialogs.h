#pragma once

#include <QString>

// The message boxes the program shows. Handlers talk to this interface so that tests can
// answer the questions and read what was shown.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Information box with OK.
    virtual void information(const QString& text) = 0;
    // Question with Yes and No; true on Yes.
    virtual bool confirm(const QString& text) = 0;
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
