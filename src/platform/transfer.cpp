#include "platform/transfer.h"

#include "platform/curleasy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr int kHttpNoProgressSeconds = 90;
constexpr int kFtpNoProgressSeconds = 300;
constexpr qsizetype kHeadBytes = 64;

struct Sink {
    QSaveFile file;
    QString error;
    QByteArray head;
    qint64 bytes = 0;
    bool openFailed = false;
    int statusCode = 0;
    const DownloadOptions* options = nullptr;
    qint64 lastReported = -1;

    explicit Sink(const QString& path) : file(path) {}

    // Opened at the first byte, so a dead link never touches the folder.
    bool ensureOpen() {
        if (file.isOpen())
            return true;
        if (!file.open(QIODevice::WriteOnly)) {
            error = file.errorString();
            openFailed = true;
            return false;
        }
        return true;
    }
};

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const size_t length = size * count;
    if (const auto status = ParseStatusLine(QByteArray(data, qsizetype(length))))
        sink->statusCode = status->code;
    return length;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const size_t length = size * count;
    if (!sink->ensureOpen())
        return 0;
    if (sink->head.size() < kHeadBytes)
        sink->head.append(data, qMin(qsizetype(length), kHeadBytes - sink->head.size()));
    if (sink->file.write(data, qint64(length)) != qint64(length)) {
        sink->error = sink->file.errorString();
        sink->openFailed = true;
        return 0;
    }
    sink->bytes += qint64(length);
    return length;
}

int onProgress(void* user, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t) {
    auto* sink = static_cast<Sink*>(user);
    const DownloadOptions& options = *sink->options;
    if (options.cancel && options.cancel->load())
        return 1; // aborts the transfer
    if (options.progress && now != sink->lastReported) {
        sink->lastReported = now;
        options.progress(qint64(now), qint64(total));
    }
    return 0;
}

// Blanks are the one thing a typed link often holds that curl refuses in an address.
QString requestAddress(const QString& link) {
    QString address = link;
    return address.replace(QLatin1Char(' '), QLatin1String("%20"));
}

// The user's own SSH key, newest kinds first (curl alone would look for RSA and DSA keys only,
// which current servers no longer take with their old signatures).
QByteArray userSshKey() {
    for (const char* name : {"id_ed25519", "id_ecdsa", "id_rsa"}) {
        const QString path = QDir::homePath() + QLatin1String("/.ssh/") + QLatin1String(name);
        if (QFileInfo::exists(path))
            return QFile::encodeName(path);
    }
    return QByteArray();
}

} // namespace

QString DownloadProtocol(const QString& link) {
    const qsizetype end = link.indexOf(QLatin1String("://"));
    if (end <= 0)
        return QString();
    const QString protocol = link.left(end);
    for (const char* known : {"http", "https", "ftp", "ftps", "sftp"})
        if (protocol == QLatin1String(known))
            return protocol;
    return QString();
}

DownloadResult DownloadToFile(const QString& link, const QString& targetPath, const DownloadOptions& options) {
    DownloadResult result;
    const QString protocol = DownloadProtocol(link);
    if (protocol.isEmpty()) {
        result.outcome = DownloadResult::Outcome::Unsupported;
        return result;
    }
    CurlEasy curl;
    if (!curl.isValid())
        return result;

    const bool http = protocol.startsWith(QLatin1String("http"));
    QByteArray keyFile;
    QString address = requestAddress(link);
    if (http) {
        curl.setServiceHttpHead(options.userAgent, true);
        curl.set(CURLOPT_PROTOCOLS_STR, "http,https");
    } else if (protocol == QLatin1String("sftp")) {
        curl.set(CURLOPT_PROTOCOLS_STR, "sftp");
        keyFile = userSshKey();
        if (!keyFile.isEmpty())
            curl.set(CURLOPT_SSH_PRIVATE_KEYFILE, keyFile.constData());
    } else {
        if (protocol == QLatin1String("ftps")) {
            // Explicit TLS on the FTP port. Suppliers' FTP servers mostly carry certificates of
            // their own making, so the connection is encrypted without a check of who signed it.
            address = QLatin1String("ftp") + address.mid(4);
            curl.set(CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
            curl.set(CURLOPT_SSL_VERIFYPEER, 0L);
            curl.set(CURLOPT_SSL_VERIFYHOST, 0L);
        }
        curl.set(CURLOPT_PROTOCOLS_STR, "ftp");
        curl.set(CURLOPT_FTP_USE_EPSV, 0L); // PASV, as every FTP server knows it
        curl.set(CURLOPT_TRANSFERTEXT, 0L); // image (binary) mode
    }
    curl.setUrl(address);
    curl.setNoProgressLimit(options.noProgressSeconds > 0 ? options.noProgressSeconds
                            : http                        ? kHttpNoProgressSeconds
                                                          : kFtpNoProgressSeconds);

    Sink sink(targetPath);
    sink.options = &options;
    curl.set(CURLOPT_HEADERFUNCTION, onHeader);
    curl.set(CURLOPT_HEADERDATA, &sink);
    curl.set(CURLOPT_WRITEFUNCTION, onBody);
    curl.set(CURLOPT_WRITEDATA, &sink);
    curl.set(CURLOPT_XFERINFOFUNCTION, onProgress);
    curl.set(CURLOPT_XFERINFODATA, &sink);
    curl.set(CURLOPT_NOPROGRESS, 0L);

    const CURLcode code = curl.perform();
    result.statusCode = sink.statusCode;
    result.bytes = sink.bytes;
    if (sink.openFailed) {
        result.outcome = DownloadResult::Outcome::WriteFailed;
        result.error = sink.error;
        return result;
    }
    if (code == CURLE_ABORTED_BY_CALLBACK) {
        result.outcome = DownloadResult::Outcome::Cancelled;
        return result;
    }
    if (code != CURLE_OK || (http && (sink.statusCode < 200 || sink.statusCode > 299)))
        return result; // the temporary file goes with the sink
    if (options.accept && !options.accept(sink.bytes, sink.head)) {
        result.outcome = DownloadResult::Outcome::Rejected;
        return result;
    }
    if (!sink.ensureOpen() || !sink.file.commit()) {
        result.outcome = DownloadResult::Outcome::WriteFailed;
        result.error = sink.error.isEmpty() ? sink.file.errorString() : sink.error;
        return result;
    }
    result.outcome = DownloadResult::Outcome::Saved;
    return result;
}
