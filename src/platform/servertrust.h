#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Who a server is, as a download saw it before trusting it: the certificate of a TLS server the
// system's store does not vouch for, or the host key of an SSH server.
struct ServerIdentity {
    enum class Kind { Certificate, SshKey };
    Kind kind = Kind::Certificate;
    // As the trust files name it: "host:port" for a certificate, OpenSSH's "host" or
    // "[host]:port" for a host key.
    QString host;
    // Certificate.
    QString subject;
    QString issuer;
    QString validFrom;
    QString validUntil;
    // "sha256//" and the base64 SHA-256 of the certificate's public key, as curl pins keys.
    QByteArray pin;
    // Host key: its type ("ssh-ed25519") and the key in base64, as known_hosts holds them.
    QByteArray keyType;
    QByteArray key;
    // SHA-256 of the certificate ("AB:CD:...") or of the host key ("SHA256:..." as OpenSSH writes it).
    QString fingerprint;
    // The host key known before, when the server now shows another: its fingerprint.
    QString knownFingerprint;

    bool changedHostKey() const { return kind == Kind::SshKey && !knownFingerprint.isEmpty(); }
};

// The identity of a certificate in PEM form; nothing when it cannot be read.
std::optional<ServerIdentity> CertificateIdentity(const QString& host, const QByteArray& pem);
// The identity of an SSH host key blob (its wire form); `known` is the base64 key known for the
// host before, if any.
ServerIdentity HostKeyIdentity(const QString& host, const QByteArray& blob, const QByteArray& known = {});

// The host key name as known_hosts writes it: "host" on port 22, "[host]:port" elsewhere.
QString KnownHostName(const QString& host, int port);

// The servers the user trusts beyond the system's store, in two files of the program's own,
// readable by the user alone: "TrustedCertificates.txt" (one "host:port sha256//..." a line)
// and "KnownHosts.txt" (OpenSSH's known_hosts form, "[host]:port key-type base64-key").
class ServerTrust {
public:
    static constexpr const char* kCertificatesFile = "TrustedCertificates.txt";
    static constexpr const char* kKnownHostsFile = "KnownHosts.txt";

    // The two files in `folder`.
    explicit ServerTrust(const QString& folder);

    // The pinned public key of the host's certificate; empty when none.
    QByteArray pinFor(const QString& host) const;
    // The host key (base64) known for the host; empty when none.
    QByteArray knownKey(const QString& host) const;
    // Keeps the server's certificate or key as trusted for its host, replacing what was kept for
    // it before. False with the reason in `error` when the file cannot be written.
    bool trust(const ServerIdentity& server, QString* error = nullptr) const;

    QString certificatesFile() const { return m_certificates; }
    QString knownHostsFile() const { return m_knownHosts; }

private:
    QString m_certificates;
    QString m_knownHosts;
};

// The question before a server is trusted: what the user must compare with the supplier.
QString TrustQuestion(const ServerIdentity& server);
// Why a download was refused without a question: the SSH server shows another key than before.
QString ChangedHostKeyMessage(const ServerIdentity& server);
