#pragma once

#include <QString>

// Whether the text is an e-mail address of the form the account server accepts: a local part of
// dot-separated words or quoted strings, an at-sign, and a domain of at least two labels that
// start with a letter and hold letters, digits and inner hyphens.
bool CheckEmailSyntax(const QString& text);
