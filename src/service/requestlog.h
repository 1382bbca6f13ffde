#pragma once

#include <QDateTime>
#include <QObject>
#include <QStringList>

#include <functional>

class AppPaths;
class Desktop;

// The request log: one line per exchange for as long as the program runs.
class RequestLog : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Window thread only. A text with line breaks becomes several log lines. Every security
    // code the secrets source names is masked wherever it stands.
    void AppendLogLine(const QString& line);
    // The same for the texts of a batch of exchanges, told as one change.
    void AppendLogLines(const QStringList& texts);
    // The configured security codes, asked for at every append (they change while the program runs).
    void setSecretsSource(std::function<QStringList()> source) { m_secrets = std::move(source); }
    const QStringList& lines() const { return m_lines; }

    // Writes the log to "logRequests.txt" in the program's folder and opens it. False with the
    // reason in `error` when the file cannot be written.
    bool SaveAndOpenLog(const AppPaths& paths, Desktop& desktop, QString* error = nullptr) const;

signals:
    void linesAppended();

private:
    void append(const QString& text, const QStringList& secrets);

    QStringList m_lines;
    std::function<QStringList()> m_secrets;
};

// The function name of a request text: what stands before the first "?", empty without one.
QString RequestFunctionName(const QString& request);
// The address with every seccode value written as "***".
QString MaskSecrets(const QString& address);
// The text with every occurrence of each non-blank secret written as "***".
QString MaskValues(const QString& text, const QStringList& secrets);
// A security code as the user typed it and as the requests carry it (trimmed): both are masked.
QStringList SecretForms(const QString& code);

// One download: the link (its password masked) and what came of it.
QString DownloadLogLine(const QDateTime& when, const QString& link, const QString& outcome);

QString AnsweredLogLine(const QDateTime& when, const QString& baseUrl, const QString& request);
QString FailedLogLine(const QDateTime& when, const QString& baseUrl, const QString& request, const QString& reason);
QString WorkerAnsweredLogLine(const QDateTime& start, const QDateTime& end, const QString& priceBaseUrl,
                              const QString& request, const QString& answer);
QString WorkerFailedLogLine(const QDateTime& start, const QDateTime& end, const QString& priceBaseUrl,
                            const QString& request, const QString& reason);
