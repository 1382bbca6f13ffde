#pragma once

#include <QString>

// The key of an own price row: ASCII letters and digits only, upper-cased
// (" 0 986-452.044 " -> "0986452044").
QString NormalizeReference(const QString& text);
// The same key, appended to `out`; readers reuse one buffer for every line.
void AppendNormalizedReference(QStringView text, QString& out);
