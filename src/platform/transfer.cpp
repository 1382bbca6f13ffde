#include "platform/transfer.h"

#include "platform/curleasy.h"
#include "platform/replacingfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kHttpNoProgressSeconds = 90;
constexpr int kFtpNoProgressSeconds = 300;

struct Sink {
    ReplacingFile file;
    QByteArray head;
    qint64 bytes = 0;
    bool writeFailed = false;
    bool tooLarge = false;
    int statusCode = 0;
    QString reason;
    const DownloadOptions* options = nullptr;
    qint64 lastReported = -1;

    explicit Sink(const QString& path) : file(path) {}

    // Opened at the first byte, so a dead link never touches the folder.
    bool ensureOpen() {
        if (file.open())
            return true;
        writeFailed = true;
        return false;
    }
};

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const size_t length = size * count;
    if (const auto status = ParseStatusLine(QByteArray::fromRawData(data, qsizetype(length)))) {
        sink->statusCode = status->code;
        sink->reason = status->reason;
    }
    return length;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const size_t length = size * count;
    const qint64 cap = sink->options->maxBytes;
    if (cap > 0 && sink->bytes + qint64(length) > cap) {
        sink->tooLarge = true;
        return 0; // aborts the transfer
    }
    if (!sink->ensureOpen())
        return 0;
    if (sink->head.size() < kDownloadHeadBytes)
        sink->head.append(data, qMin(qsizetype(length), kDownloadHeadBytes - sink->head.size()));
    if (!sink->file.write(data, qint64(length))) {
        sink->writeFailed = true;
        return 0;
    }
    sink->bytes += qint64(length);
    return length;
}

int onProgress(void* user, qint64 received, qint64 total) {
    auto* sink = static_cast<Sink*>(user);
    const DownloadOptions& options = *sink->options;
    if (options.cancel && options.cancel->load())
        return 1; // aborts the transfer
    if (options.progress && received != sink->lastReported) {
        sink->lastReported = received;
        options.progress(received, total);
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

QString megabytes(qint64 bytes) {
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 0) + QLatin1String(" MB");
}

// A new file is readable by all, as files saved by hand are; an existing one keeps its mode.
QFileDevice::Permissions permissionsFor(const QString& target) {
    const QFileInfo old(target);
    if (old.exists() && old.isFile() && !old.isSymLink())
        return old.permissions();
    return QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser |
           QFileDevice::ReadGroup | QFileDevice::ReadOther;
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
        result.error = QStringLiteral("not a link the program downloads");
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
    TransferLimits limits;
    limits.noProgressSeconds = options.noProgressSeconds > 0 ? options.noProgressSeconds
                               : http                        ? kHttpNoProgressSeconds
                                                             : kFtpNoProgressSeconds;
    limits.lowSpeedBytes = options.lowSpeedBytes;
    limits.deadlineSeconds = options.deadlineSeconds;
    limits.maxBytes = options.maxBytes;
    curl.setLimits(limits);
    char curlError[CURL_ERROR_SIZE] = {};
    curl.set(CURLOPT_ERRORBUFFER, curlError);

    Sink sink(targetPath);
    sink.options = &options;
    curl.set(CURLOPT_HEADERFUNCTION, onHeader);
    curl.set(CURLOPT_HEADERDATA, &sink);
    curl.set(CURLOPT_WRITEFUNCTION, onBody);
    curl.set(CURLOPT_WRITEDATA, &sink);
    curl.setProgressCallback(onProgress, &sink);

    const CURLcode code = curl.perform();
    result.statusCode = sink.statusCode;
    result.bytes = sink.bytes;
    if (sink.writeFailed) {
        result.outcome = DownloadResult::Outcome::WriteFailed;
        result.error = sink.file.errorString();
        return result;
    }
    if (code == CURLE_ABORTED_BY_CALLBACK) {
        result.outcome = DownloadResult::Outcome::Cancelled;
        result.error = QStringLiteral("cancelled");
        return result;
    }
    if (sink.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        result.error = QStringLiteral("larger than the download limit of ") + megabytes(options.maxBytes);
        return result; // the fresh file goes with the sink
    }
    if (code != CURLE_OK) {
        result.error = QString::fromUtf8(curlError[0] ? curlError : curl_easy_strerror(code));
        return result;
    }
    if (http && (sink.statusCode < 200 || sink.statusCode > 299)) {
        result.error = QStringLiteral("the server answered %1 %2").arg(sink.statusCode).arg(sink.reason).trimmed();
        return result;
    }
    if (options.accept && !options.accept(sink.bytes, sink.head)) {
        result.outcome = DownloadResult::Outcome::Rejected;
        result.error = QStringLiteral("refused by its check");
        return result;
    }
    if (options.check) {
        const QString problem = options.check(sink.bytes, sink.head);
        if (!problem.isEmpty()) {
            result.outcome = DownloadResult::Outcome::Rejected;
            result.error = problem;
            return result;
        }
    }
    if (!sink.file.commit(permissionsFor(targetPath))) {
        result.outcome = DownloadResult::Outcome::WriteFailed;
        result.error = sink.file.errorString();
        return result;
    }
    result.outcome = DownloadResult::Outcome::Saved;
    return result;
}
