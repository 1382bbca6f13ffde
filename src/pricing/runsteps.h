#pragma once

#include <QString>

// "Sent requests :  33% [1 from 3]": the share truncated to a whole percent.
QString ProgressLine(int line, int lineCount);
// The question after every `count` search pages opened.
QString PagePauseMessage(int count);
// A search page template with every "{reference}", then every "{brand}" replaced, case ignored.
QString PageAddress(const QString& pageTemplate, const QString& brand, const QString& reference);
// The integer a box holds, or `fallback` when it holds no integer.
int IntegerOr(const QString& text, int fallback);
