#include "pricing/runsteps.h"

#include "service/textfunctions.h"

QString ProgressLine(int line, int lineCount) {
    const int percent = lineCount > 0 ? int(double(line) / double(lineCount) * 100.0) : 0;
    return QStringLiteral("Sent requests :  %1% [%2 from %3]").arg(percent).arg(line).arg(lineCount);
}

QString PagePauseMessage(int count) {
    return QStringLiteral("Pause after [%1] openned pages. Press OK when you processed previous openned pages.")
               .arg(count) +
           QLatin1String("\r--------------------\r[Ok] - continue opennig next part url-links\r[Abort] - abort "
                         "openning url-links");
}

QString PageAddress(const QString& pageTemplate, const QString& brand, const QString& reference) {
    return ReplaceAllIgnoreCase(ReplaceAllIgnoreCase(pageTemplate, QStringLiteral("{reference}"), reference),
                                QStringLiteral("{brand}"), brand);
}

int IntegerOr(const QString& text, int fallback) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : fallback;
}
