#pragma once

#include "platform/servertrust.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>

// Downloads of whole files (price lists, the program update) over HTTP, HTTPS, FTP, FTPS (FTP
// over explicit TLS) and SFTP. The data go to a fresh file beside the target, which replaces
// the target's name only when the transfer completed with a success status and passed its
// checks, so a broken transfer, an error page or a planted link never costs the old file.
struct DownloadOptions {
    // Seconds without any progress before the transfer is given up; 0 chooses by protocol:
    // 90 for HTTP and HTTPS, 300 for the FTP family.
    int noProgressSeconds = 0;
    // Bytes a second the transfer must average over each stretch of noProgressSeconds: a server
    // that trickles a byte now and then is given up like a silent one.
    long lowSpeedBytes = 1024;
    // The whole transfer gives up after this many seconds; 0 for no deadline.
    int deadlineSeconds = 30 * 60;
    // A file announced or received beyond this many bytes is given up; 0 for no cap.
    qint64 maxBytes = qint64(512) * 1024 * 1024;
    QByteArray userAgent = "Mozilla/4.0 (compatible; Synapse)";
    // Bytes received so far and the announced total (0 when unknown). Called on the thread
    // that runs the download.
    std::function<void(qint64 received, qint64 total)> progress;
    // Set from anywhere to abandon the transfer; nothing is saved then.
    const std::atomic<bool>* cancel = nullptr;
    // Looks at a complete download (its size and first bytes) before it replaces the target: a
    // non-empty text discards it and becomes its error.
    std::function<QString(qint64 size, const QByteArray& head)> check;
    // Certificates and SSH host keys the user trusts. HTTPS and FTPS servers pass when the
    // system's store vouches for their certificate or their key is pinned here; SFTP servers
    // only when their host key is known here (without it, none is). Nothing, not even a user
    // name, is sent to a server before it passes.
    const ServerTrust* trust = nullptr;
};

struct DownloadResult {
    enum class Outcome {
        Saved,
        Unsupported, // not one of the five protocols
        Failed,      // connection, login, time limit, size cap, cut transfer or an unsuccessful status
        Rejected,    // complete, but `check` refused it
        Cancelled,
        WriteFailed, // the target could not be written
        Untrusted,   // the server did not pass; `server` says who it is
    };
    Outcome outcome = Outcome::Failed;
    // HTTP status code of the answer; 0 for the FTP family or when none came.
    int statusCode = 0;
    qint64 bytes = 0;
    // Why the file was not saved, in words for the user; empty when it was.
    QString error;
    // The server that did not pass, as the user may decide to trust it.
    std::optional<ServerIdentity> server;

    bool saved() const { return outcome == Outcome::Saved; }
};

// The first bytes a download keeps for its checks.
inline constexpr qsizetype kDownloadHeadBytes = 4096;

// The protocol of a link as the downloads know it ("http", "ftps", ...), exact and lower-case;
// empty when the link has none of the five.
QString DownloadProtocol(const QString& link);

DownloadResult DownloadToFile(const QString& link, const QString& targetPath, const DownloadOptions& options = {});
