#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>

// Downloads of whole files (price lists, the program update) over HTTP, HTTPS, FTP, FTPS (FTP
// over explicit TLS) and SFTP. The data go to a temporary file beside the target, which replaces
// the target only when the transfer completed with a success status, so a broken transfer or an
// error page never replaces a good file.
struct DownloadOptions {
    // Seconds without any progress before the transfer is given up; 0 chooses by protocol:
    // 90 for HTTP and HTTPS, 300 for the FTP family.
    int noProgressSeconds = 0;
    QByteArray userAgent = "Mozilla/4.0 (compatible; Synapse)";
    // Bytes received so far and the announced total (0 when unknown).
    std::function<void(qint64 received, qint64 total)> progress;
    // Set from anywhere to abandon the transfer; nothing is saved then.
    const std::atomic<bool>* cancel = nullptr;
    // Looks at a complete download (its size and first bytes) before it replaces the target;
    // false discards it.
    std::function<bool(qint64 size, const QByteArray& head)> accept;
};

struct DownloadResult {
    enum class Outcome {
        Saved,
        Unsupported, // not one of the five protocols
        Failed,      // connection, login, time limit, cut transfer or an unsuccessful status
        Rejected,    // complete, but `accept` refused it
        Cancelled,
        WriteFailed, // the target could not be written; `error` says why
    };
    Outcome outcome = Outcome::Failed;
    // HTTP status code of the answer; 0 for the FTP family or when none came.
    int statusCode = 0;
    qint64 bytes = 0;
    QString error;

    bool saved() const { return outcome == Outcome::Saved; }
};

// The protocol of a link as the downloads know it ("http", "ftps", ...), exact and lower-case;
// empty when the link has none of the five.
QString DownloadProtocol(const QString& link);

DownloadResult DownloadToFile(const QString& link, const QString& targetPath, const DownloadOptions& options = {});
