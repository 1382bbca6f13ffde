#include "service/requestlog.h"

#include "platform/apppaths.h"
#include "platform/desktop.h"
#include "platform/localeformats.h"
#include "platform/textfile.h"
#include "service/linkparts.h"
#include "service/textfunctions.h"

#include <algorithm>

void RequestLog::AppendLogLine(const QString& text) {
    append(text, m_secrets ? m_secrets() : QStringList());
    emit linesAppended();
}

void RequestLog::AppendLogLines(const QStringList& texts) {
    const QStringList secrets = m_secrets ? m_secrets() : QStringList();
    for (const QString& text : texts)
        append(text, secrets);
    if (!texts.isEmpty())
        emit linesAppended();
}

void RequestLog::append(const QString& text, const QStringList& secrets) {
    // The seccode pattern ends at the next "&", which a code itself may hold.
    const QString line = MaskValues(text, secrets);
    if (!line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r'))) {
        m_lines << line;
    } else {
        const QStringList parts = TextFile::splitLines(line);
        m_lines << (parts.isEmpty() ? QStringList{QString()} : parts);
    }
}

bool RequestLog::SaveAndOpenLog(const AppPaths& paths, Desktop& desktop, QString* error) const {
    const QString file = paths.programFile(QStringLiteral("logRequests.txt"));
    if (!TextFile::writeUtf8Lines(file, m_lines, error))
        return false;
    desktop.open(file);
    return true;
}

QString RequestFunctionName(const QString& request) {
    const qsizetype q = request.indexOf(QLatin1Char('?'));
    return q < 0 ? QString() : request.left(q);
}

QString MaskSecrets(const QString& address) {
    static const QString key = QStringLiteral("seccode=");
    qsizetype at = address.indexOf(key);
    if (at < 0)
        return address;
    QString masked;
    masked.reserve(address.size());
    qsizetype from = 0;
    while (at >= 0) {
        const qsizetype value = at + key.size();
        qsizetype end = address.indexOf(QLatin1Char('&'), value);
        if (end < 0)
            end = address.size();
        masked += QStringView(address).sliced(from, value - from);
        masked += QLatin1String("***");
        from = end;
        at = address.indexOf(key, end);
    }
    masked += QStringView(address).sliced(from);
    return masked;
}

QStringList SecretForms(const QString& code) {
    return {code, Trim(code)};
}

QString MaskValues(const QString& text, const QStringList& secrets) {
    QStringList sorted;
    bool found = false;
    for (const QString& secret : secrets) {
        if (IsBlank(secret))
            continue;
        sorted << secret;
        const qsizetype amp = secret.indexOf(QLatin1Char('&'));
        found = found || text.contains(secret) ||
                (amp >= 0 && text.contains(QLatin1String("seccode=***") + secret.mid(amp)));
    }
    // Most lines hold no code at all: they are left as they are, uncopied. A line that holds one
    // gets every code, as masking one can bring another's tail to light.
    if (!found)
        return text;
    // Longest first, so a code that holds another is masked whole.
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
    QString masked = text;
    for (const QString& secret : sorted) {
        masked.replace(secret, QStringLiteral("***"));
        // The line builders mask "seccode=" up to the first "&"; what follows is the code's tail.
        const qsizetype amp = secret.indexOf(QLatin1Char('&'));
        if (amp >= 0)
            masked.replace(QLatin1String("seccode=***") + secret.mid(amp), QLatin1String("seccode=***"));
    }
    return masked;
}

QString DownloadLogLine(const QDateTime& when, const QString& link, const QString& outcome) {
    return LocaleFormats::timestamp(when) + QLatin1String("  DOWNLOAD\t") + MaskLinkPassword(link) + QLatin1Char('\t') +
           outcome;
}

namespace {
QString head(const QString& stamp, const QString& baseUrl, const QString& request) {
    return stamp + QLatin1String("  GET\t") + RequestFunctionName(request) + QLatin1Char('\t') +
           MaskSecrets(baseUrl + request) + QLatin1Char('\t');
}
QString notAnswer(const QString& reason) {
    return QLatin1String("NOT ANSWER [result(") + reason.toUpper() + QLatin1String(")] !!!");
}
// A run logs thousands of lines within a few seconds: each second is formatted once.
const QString& stamp(const QDateTime& when) {
    struct Cached {
        qint64 day = -1;
        int second = -1;
        QString text;
    };
    thread_local Cached cache[2];
    thread_local int next = 0;
    const qint64 day = when.date().toJulianDay();
    // Midnight itself is shown without a time, the rest of its second with one.
    const int second = when.time() == QTime(0, 0) ? -2 : when.time().msecsSinceStartOfDay() / 1000;
    for (const Cached& each : cache)
        if (each.day == day && each.second == second)
            return each.text;
    Cached& slot = cache[next];
    next = 1 - next;
    slot = {day, second, LocaleFormats::timestamp(when)};
    return slot.text;
}
QString span(const QDateTime& start, const QDateTime& end) {
    return stamp(start) + QLatin1String(" - ") + stamp(end);
}
} // namespace

QString AnsweredLogLine(const QDateTime& when, const QString& baseUrl, const QString& request) {
    return head(LocaleFormats::timestamp(when), baseUrl, request) + QLatin1String("ANSWER OK");
}

QString FailedLogLine(const QDateTime& when, const QString& baseUrl, const QString& request, const QString& reason) {
    return head(LocaleFormats::timestamp(when), baseUrl, request) + notAnswer(reason);
}

QString WorkerAnsweredLogLine(const QDateTime& start, const QDateTime& end, const QString& priceBaseUrl,
                              const QString& request, const QString& answer) {
    return head(span(start, end), priceBaseUrl, request) + QLatin1String("\"ANSWER [") +
           ReplaceAllIgnoreCase(answer, QStringLiteral("\""), QString()) + QLatin1String("]\"");
}

QString WorkerFailedLogLine(const QDateTime& start, const QDateTime& end, const QString& priceBaseUrl,
                            const QString& request, const QString& reason) {
    return head(span(start, end), priceBaseUrl, request) + notAnswer(reason);
}
