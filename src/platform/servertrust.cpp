#include "platform/servertrust.h"

#include "platform/atomicfile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <algorithm>
#include <ctime>
#include <memory>

namespace {

template <class T, void (*Free)(T*)> using OpenSslPtr = std::unique_ptr<T, decltype([](T* p) { Free(p); })>;

QString nameText(const X509_NAME* name) {
    OpenSslPtr<BIO, BIO_free_all> out(BIO_new(BIO_s_mem()));
    if (!out || X509_NAME_print_ex(out.get(), name, 0, XN_FLAG_RFC2253) < 0)
        return QString();
    char* data = nullptr;
    const long size = BIO_get_mem_data(out.get(), &data);
    return QString::fromUtf8(data, size);
}

QString timeText(const ASN1_TIME* time) {
    tm parts{};
    if (!time || ASN1_TIME_to_tm(time, &parts) != 1)
        return QString();
    const QDateTime when(QDate(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday),
                         QTime(parts.tm_hour, parts.tm_min, parts.tm_sec), Qt::UTC);
    return when.toString(QStringLiteral("yyyy-MM-dd hh:mm 'UTC'"));
}

// "AB:CD:..." as browsers show a fingerprint.
QString colonHex(const QByteArray& digest) {
    return QString::fromLatin1(digest.toHex(':').toUpper());
}

// The key type a host key blob starts with (a length-prefixed string); empty unless it is a
// name as SSH writes them, which the server chooses: it goes into a line of the trust file.
QByteArray blobKeyType(const QByteArray& blob) {
    if (blob.size() < 4)
        return QByteArray();
    const auto* bytes = reinterpret_cast<const unsigned char*>(blob.constData());
    const quint32 length = quint32(bytes[0]) << 24 | quint32(bytes[1]) << 16 | quint32(bytes[2]) << 8 | bytes[3];
    if (length == 0 || length > 64 || qsizetype(length) > blob.size() - 4)
        return QByteArray();
    const QByteArray type = blob.mid(4, qsizetype(length));
    const auto named = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               QByteArrayView("-@._+").contains(c);
    };
    return std::all_of(type.begin(), type.end(), named) ? type : QByteArray();
}

QString sshFingerprint(const QByteArray& blob) {
    QByteArray base64 = QCryptographicHash::hash(blob, QCryptographicHash::Sha256).toBase64();
    while (base64.endsWith('='))
        base64.chop(1);
    return QLatin1String("SHA256:") + QString::fromLatin1(base64);
}

QList<QByteArray> readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // The files are the program's own and small; a larger one is not read at all.
    if (file.size() > 4 * 1024 * 1024)
        return {};
    return file.readAll().split('\n');
}

// The fields of the host's line in a file of "host field..." lines.
QList<QByteArray> fieldsFor(const QString& path, const QString& host) {
    const QByteArray name = host.toUtf8();
    for (const QByteArray& line : readLines(path)) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 2 && !fields.first().startsWith('#') && fields.first() == name)
            return fields;
    }
    return {};
}

// The file with the host's line replaced by `line` (or added); a new file is readable by the user alone.
bool replaceLine(const QString& path, const QString& host, const QByteArray& line, QString* error) {
    QByteArray text;
    const QByteArray name = host.toUtf8();
    for (const QByteArray& old : readLines(path)) {
        const QByteArray kept = old.trimmed();
        if (!kept.isEmpty() && kept.simplified().split(' ').first() != name)
            text += kept + '\n';
    }
    text += line + '\n';
    QDir().mkpath(QFileInfo(path).absolutePath());
    return AtomicFile::replace(path, text, AtomicFile::Access::OwnerOnly, error);
}

} // namespace

std::optional<ServerIdentity> CertificateIdentity(const QString& host, const QByteArray& pem) {
    OpenSslPtr<BIO, BIO_free_all> in(BIO_new_mem_buf(pem.constData(), int(pem.size())));
    if (!in)
        return std::nullopt;
    OpenSslPtr<X509, X509_free> certificate(PEM_read_bio_X509(in.get(), nullptr, nullptr, nullptr));
    if (!certificate)
        return std::nullopt;
    ServerIdentity server;
    server.kind = ServerIdentity::Kind::Certificate;
    server.host = host;
    server.subject = nameText(X509_get_subject_name(certificate.get()));
    server.issuer = nameText(X509_get_issuer_name(certificate.get()));
    server.validFrom = timeText(X509_get0_notBefore(certificate.get()));
    server.validUntil = timeText(X509_get0_notAfter(certificate.get()));

    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (X509_digest(certificate.get(), EVP_sha256(), digest, &length) != 1)
        return std::nullopt;
    server.fingerprint = colonHex(QByteArray(reinterpret_cast<const char*>(digest), int(length)));

    // The public key as curl pins it: the DER of the SubjectPublicKeyInfo.
    unsigned char* der = nullptr;
    const int derLength = i2d_X509_PUBKEY(X509_get_X509_PUBKEY(certificate.get()), &der);
    if (derLength <= 0)
        return std::nullopt;
    const QByteArray publicKey(reinterpret_cast<const char*>(der), derLength);
    OPENSSL_free(der);
    server.pin = "sha256//" + QCryptographicHash::hash(publicKey, QCryptographicHash::Sha256).toBase64();
    return server;
}

ServerIdentity HostKeyIdentity(const QString& host, const QByteArray& blob, const QByteArray& known) {
    ServerIdentity server;
    server.kind = ServerIdentity::Kind::SshKey;
    server.host = host;
    server.keyType = blobKeyType(blob);
    server.key = blob.toBase64();
    server.fingerprint = sshFingerprint(blob);
    if (!known.isEmpty() && known != server.key)
        server.knownFingerprint = sshFingerprint(QByteArray::fromBase64(known));
    return server;
}

QString KnownHostName(const QString& host, int port) {
    return port == 22 ? host : QStringLiteral("[%1]:%2").arg(host).arg(port);
}

ServerTrust::ServerTrust(const QString& folder)
    : m_certificates(QDir(folder).filePath(QLatin1String(kCertificatesFile))),
      m_knownHosts(QDir(folder).filePath(QLatin1String(kKnownHostsFile))) {}

QByteArray ServerTrust::pinFor(const QString& host) const {
    const QList<QByteArray> fields = fieldsFor(m_certificates, host);
    return fields.size() >= 2 && fields.at(1).startsWith("sha256//") ? fields.at(1) : QByteArray();
}

QByteArray ServerTrust::knownKey(const QString& host) const {
    const QList<QByteArray> fields = fieldsFor(m_knownHosts, host);
    return fields.size() >= 3 ? fields.at(2) : QByteArray();
}

bool ServerTrust::trust(const ServerIdentity& server, QString* error) const {
    if (server.kind == ServerIdentity::Kind::Certificate)
        return replaceLine(m_certificates, server.host, server.host.toUtf8() + ' ' + server.pin, error);
    if (server.keyType.isEmpty()) {
        if (error)
            *error = QStringLiteral("The key of %1 is of no type SSH names: it cannot be trusted.").arg(server.host);
        return false;
    }
    return replaceLine(m_knownHosts, server.host, server.host.toUtf8() + ' ' + server.keyType + ' ' + server.key,
                       error);
}

QString TrustQuestion(const ServerIdentity& server) {
    const QChar cr(u'\r');
    if (server.kind == ServerIdentity::Kind::SshKey)
        return QStringLiteral("The SSH server %1 is not known yet.").arg(server.host) + cr +
               QStringLiteral("Key type: ") + QString::fromLatin1(server.keyType) + cr +
               QStringLiteral("SHA-256 fingerprint: ") + server.fingerprint + cr + cr +
               QStringLiteral("Compare the fingerprint with the one your supplier gives. Trust this key for %1 ? "
                              "Nothing, not even the user name, is sent to the server before you do.")
                   .arg(server.host);
    return QStringLiteral("The certificate of %1 is not signed by an authority this computer trusts, or differs "
                          "from the one trusted for it before.")
               .arg(server.host) +
           cr + QStringLiteral("Subject: ") + server.subject + cr + QStringLiteral("Issuer: ") + server.issuer + cr +
           QStringLiteral("Valid from ") + server.validFrom + QStringLiteral(" to ") + server.validUntil + cr +
           QStringLiteral("SHA-256 fingerprint: ") + server.fingerprint + cr + cr +
           QStringLiteral("Compare the fingerprint with the one your supplier gives. Trust this certificate for %1 ? "
                          "Nothing, not even the user name, is sent to the server before you do.")
               .arg(server.host);
}

QString ChangedHostKeyMessage(const ServerIdentity& server) {
    const QChar cr(u'\r');
    return QStringLiteral("The SSH server %1 shows another key than before: the download was refused, as someone "
                          "may be posing as the server.")
               .arg(server.host) +
           cr + QStringLiteral("Known key: ") + server.knownFingerprint + cr + QStringLiteral("Key now: ") +
           server.fingerprint + cr +
           QStringLiteral("If your supplier has really changed the key, remove the line of %1 from \"%2\".")
               .arg(server.host, QLatin1String(ServerTrust::kKnownHostsFile));
}
