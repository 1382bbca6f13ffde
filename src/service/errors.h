#pragma once

#include <QString>

#include <stdexcept>

// An error that ends the user's current action and is shown in the standard error box.
class ActionError : public std::runtime_error {
public:
    explicit ActionError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// An integer field of an answer that does not hold an integer.
class ConversionError : public ActionError {
public:
    explicit ConversionError(const QString& text)
        : ActionError(QStringLiteral("'%1' is not a valid integer value").arg(text)) {}
};

// An answer with more records than its size can honestly hold (bare record-start lines).
class OversizedAnswerError : public ActionError {
public:
    OversizedAnswerError()
        : ActionError(QStringLiteral("The service's answer holds more records than its size allows")) {}
};
