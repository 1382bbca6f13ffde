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

namespace {

// Where a link leads, as curl reads it: host (without brackets) and port.
struct Endpoint {
    QString host;
    int port = 0;
    bool hasPassword = false;

    // "host:port", IPv6 hosts in brackets: how the certificate pins are keyed.
    QString certificateHost() const {
        return (host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host) +
               QLatin1Char(':') + QString::number(port);
    }
};

Endpoint endpointOf(const QString& address) {
    Endpoint endpoint;
    CURLU* url = curl_url();
    if (!url)
        return endpoint;
    if (curl_url_set(url, CURLUPART_URL, wireAddress(address).constData(), 0) == CURLUE_OK) {
        char* part = nullptr;
        if (curl_url_get(url, CURLUPART_HOST, &part, 0) == CURLUE_OK) {
            endpoint.host = QString::fromUtf8(part);
            if (endpoint.host.startsWith(QLatin1Char('[')) && endpoint.host.endsWith(QLatin1Char(']')))
                endpoint.host = endpoint.host.mid(1, endpoint.host.size() - 2);
            curl_free(part);
        }
        if (curl_url_get(url, CURLUPART_PORT, &part, CURLU_DEFAULT_PORT) == CURLUE_OK) {
            endpoint.port = QByteArray(part).toInt();
            curl_free(part);
        }
        if (curl_url_get(url, CURLUPART_PASSWORD, &part, 0) == CURLUE_OK) {
            endpoint.hasPassword = part[0] != '\0';
            curl_free(part);
        }
    }
    curl_url_cleanup(url);
    return endpoint;
}

// A pin no key has: the handshake is refused right after the certificate arrives.
constexpr const char* kUnmatchablePin = "sha256//AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=";
constexpr int kProbeSeconds = 30;

// The certificate a TLS server shows (PEM), by a handshake that is refused at once, so nothing
// is sent after it; empty when none came.
QByteArray peerCertificate(bool ftps, const Endpoint& endpoint) {
    CurlEasy probe;
    if (!probe.isValid())
        return QByteArray();
    const QString host = endpoint.certificateHost();
    if (ftps) {
        probe.setUrl(QLatin1String("ftp://") + host + QLatin1Char('/'));
        probe.set(CURLOPT_PROTOCOLS_STR, "ftp");
        probe.set(CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    } else {
        probe.setUrl(QLatin1String("https://") + host + QLatin1Char('/'));
        probe.set(CURLOPT_PROTOCOLS_STR, "https");
    }
    probe.set(CURLOPT_SSL_VERIFYPEER, 0L);
    probe.set(CURLOPT_SSL_VERIFYHOST, 0L);
    probe.set(CURLOPT_PINNEDPUBLICKEY, kUnmatchablePin);
    probe.set(CURLOPT_CERTINFO, 1L);
    TransferLimits limits;
    limits.noProgressSeconds = kProbeSeconds;
    limits.deadlineSeconds = kProbeSeconds;
    probe.setLimits(limits);
    probe.perform();
    curl_certinfo* chain = nullptr;
    if (curl_easy_getinfo(probe.handle(), CURLINFO_CERTINFO, &chain) != CURLE_OK || !chain || chain->num_of_certs < 1)
        return QByteArray();
    for (const curl_slist* field = chain->certinfo[0]; field; field = field->next)
        if (qstrncmp(field->data, "Cert:", 5) == 0)
            return QByteArray(field->data + 5);
    return QByteArray();
}

// What the SSH host key check saw: the trusted key passes, any other is refused and kept.
struct HostKeyCheck {
    QString host;
    const ServerTrust* trust = nullptr;
    std::optional<ServerIdentity> refused;
};

int onHostKey(void* user, int, const char* key, size_t length) {
    auto* check = static_cast<HostKeyCheck*>(user);
    const QByteArray blob(key, qsizetype(length));
    const QByteArray known = check->trust ? check->trust->knownKey(check->host) : QByteArray();
    if (!known.isEmpty() && known == blob.toBase64())
        return CURLKHMATCH_OK;
    check->refused = HostKeyIdentity(check->host, blob, known);
    return CURLKHMATCH_MISMATCH;
}

struct Attempt {
    CURLcode code = CURLE_OK;
    DownloadResult result;
};

// One transfer. `pin`, when given, replaces the system store's verdict for a TLS server.
Attempt attempt(const QString& protocol, const QString& address, const Endpoint& endpoint, const QString& targetPath,
                const DownloadOptions& options, const QByteArray& pin, HostKeyCheck* hostKeys) {
    Attempt run;
    DownloadResult& result = run.result;
    CurlEasy curl;
    if (!curl.isValid())
        return run;

    const bool http = protocol.startsWith(QLatin1String("http"));
    QByteArray keyFile;
    if (http) {
        curl.setServiceHttpHead(options.userAgent, true);
        curl.set(CURLOPT_PROTOCOLS_STR, "http,https");
    } else if (protocol == QLatin1String("sftp")) {
        curl.set(CURLOPT_PROTOCOLS_STR, "sftp");
        curl.set(CURLOPT_SSH_HOSTKEYFUNCTION, onHostKey);
        curl.set(CURLOPT_SSH_HOSTKEYDATA, hostKeys);
        // The link's password when it gives one; the user's own key only when it does not.
        if (endpoint.hasPassword) {
            curl.set(CURLOPT_SSH_AUTH_TYPES, long(CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD));
        } else {
            curl.set(CURLOPT_SSH_AUTH_TYPES, long(CURLSSH_AUTH_PUBLICKEY));
            keyFile = userSshKey();
            if (!keyFile.isEmpty())
                curl.set(CURLOPT_SSH_PRIVATE_KEYFILE, keyFile.constData());
        }
    } else {
        if (protocol == QLatin1String("ftps"))
            curl.set(CURLOPT_USE_SSL, long(CURLUSESSL_ALL)); // explicit TLS on the FTP port
        curl.set(CURLOPT_PROTOCOLS_STR, "ftp");
        curl.set(CURLOPT_FTP_USE_EPSV, 0L); // PASV, as every FTP server knows it
        curl.set(CURLOPT_TRANSFERTEXT, 0L); // image (binary) mode
    }
    if (!pin.isEmpty()) {
        curl.set(CURLOPT_SSL_VERIFYPEER, 0L);
        curl.set(CURLOPT_SSL_VERIFYHOST, 0L);
        curl.set(CURLOPT_PINNEDPUBLICKEY, pin.constData());
    } else {
        curl.set(CURLOPT_SSL_VERIFYPEER, 1L);
        curl.set(CURLOPT_SSL_VERIFYHOST, 2L);
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

    const CURLcode code = run.code = curl.perform();
    result.statusCode = sink.statusCode;
    result.bytes = sink.bytes;
    if (sink.writeFailed) {
        result.outcome = DownloadResult::Outcome::WriteFailed;
        result.error = sink.file.errorString();
    } else if (code == CURLE_ABORTED_BY_CALLBACK) {
        result.outcome = DownloadResult::Outcome::Cancelled;
        result.error = QStringLiteral("cancelled");
    } else if (sink.tooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        result.error = QStringLiteral("larger than the download limit of ") + megabytes(options.maxBytes);
    } else if (code != CURLE_OK) {
        result.error = QString::fromUtf8(curlError[0] ? curlError : curl_easy_strerror(code));
    } else if (http && (sink.statusCode < 200 || sink.statusCode > 299)) {
        result.error = QStringLiteral("the server answered %1 %2").arg(sink.statusCode).arg(sink.reason).trimmed();
    } else if (const QString problem = options.check ? options.check(sink.bytes, sink.head) : QString();
               !problem.isEmpty()) {
        result.outcome = DownloadResult::Outcome::Rejected;
        result.error = problem;
    } else if (!sink.file.commit()) {
        result.outcome = DownloadResult::Outcome::WriteFailed;
        result.error = sink.file.errorString();
    } else {
        result.outcome = DownloadResult::Outcome::Saved;
    }
    return run; // an uncommitted fresh file goes with the sink
}

bool refusedCertificate(CURLcode code) {
    return code == CURLE_PEER_FAILED_VERIFICATION || code == CURLE_SSL_PINNEDPUBKEYNOTMATCH ||
           code == CURLE_SSL_CACERT_BADFILE;
}

DownloadResult untrusted(ServerIdentity server, const QString& error) {
    DownloadResult result;
    result.outcome = DownloadResult::Outcome::Untrusted;
    result.error = error;
    result.server = std::move(server);
    return result;
}

} // namespace

DownloadResult DownloadToFile(const QString& link, const QString& targetPath, const DownloadOptions& options) {
    const QString protocol = DownloadProtocol(link);
    if (protocol.isEmpty()) {
        DownloadResult result;
        result.outcome = DownloadResult::Outcome::Unsupported;
        result.error = QStringLiteral("not a link the program downloads");
        return result;
    }
    const bool ftps = protocol == QLatin1String("ftps");
    // FTPS goes to curl as FTP that must be encrypted throughout.
    const QString address = ftps ? QLatin1String("ftp") + requestAddress(link).mid(4) : requestAddress(link);
    const Endpoint endpoint = endpointOf(address);

    if (protocol == QLatin1String("sftp")) {
        HostKeyCheck hostKeys{KnownHostName(endpoint.host, endpoint.port), options.trust, std::nullopt};
        Attempt run = attempt(protocol, address, endpoint, targetPath, options, QByteArray(), &hostKeys);
        if (!hostKeys.refused)
            return run.result;
        const bool changed = hostKeys.refused->changedHostKey();
        return untrusted(*hostKeys.refused,
                         changed ? QStringLiteral("the SSH server %1 shows another key than before").arg(hostKeys.host)
                                 : QStringLiteral("the SSH server %1 is not known").arg(hostKeys.host));
    }
    if (!ftps && protocol != QLatin1String("https"))
        return attempt(protocol, address, endpoint, targetPath, options, QByteArray(), nullptr).result;

    const QString host = endpoint.certificateHost();
    const QByteArray pin = options.trust ? options.trust->pinFor(host) : QByteArray();
    Attempt run = attempt(protocol, address, endpoint, targetPath, options, pin, nullptr);
    // A pinned server that now carries a certificate an authority vouches for passes too.
    if (!pin.isEmpty() && run.code == CURLE_SSL_PINNEDPUBKEYNOTMATCH)
        run = attempt(protocol, address, endpoint, targetPath, options, QByteArray(), nullptr);
    if (!refusedCertificate(run.code))
        return run.result;
    const std::optional<ServerIdentity> server = CertificateIdentity(host, peerCertificate(ftps, endpoint));
    if (!server)
        return run.result;
    return untrusted(
        *server, QStringLiteral("the certificate of %1 is not trusted (SHA-256 %2)").arg(host, server->fingerprint));
}
