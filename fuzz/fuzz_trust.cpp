// What decides whom a download trusts: a server's certificate and SSH host key, the user's
// trust files, and an update's signature file. A trusted server is found again after its file
// was rewritten, whatever the file held; nothing here crashes or passes a signature it should not.
#include "fuzzcheck.h"
#include "platform/servertrust.h"
#include "update/minisignformat.h"
#include "update/updatesignature.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    const QString host = QStringLiteral("prices.example:443");
    const std::optional<ServerIdentity> certificate = CertificateIdentity(host, bytes);
    if (certificate)
        FUZZ_CHECK(certificate->pin.startsWith("sha256//"));
    const ServerIdentity hostKey = HostKeyIdentity(QStringLiteral("[sftp.example]:2222"), bytes, bytes.left(16));
    FUZZ_CHECK(hostKey.keyType.size() <= 64 && hostKey.fingerprint.startsWith(QLatin1String("SHA256:")));

    static const QTemporaryDir folder;
    const ServerTrust trust(folder.path());
    writeFile(trust.certificatesFile(), bytes);
    writeFile(trust.knownHostsFile(), bytes);
    trust.pinFor(host);
    trust.knownKey(hostKey.host);
    ServerIdentity pinned;
    pinned.host = host;
    pinned.pin = certificate ? certificate->pin : QByteArray("sha256//AAAA");
    if (trust.trust(pinned))
        FUZZ_CHECK(trust.pinFor(host) == pinned.pin);
    if (!hostKey.keyType.isEmpty() && trust.trust(hostKey))
        FUZZ_CHECK(trust.knownKey(hostKey.host) == hostKey.key);

    const std::string_view text(bytes.constData(), size_t(bytes.size()));
    if (const auto signature = Minisign::ParseSignatureFile(text)) {
        const std::string again = Minisign::FormatSignatureFile(*signature, "again");
        const auto reread = Minisign::ParseSignatureFile(again);
        FUZZ_CHECK(reread && reread->keyId == signature->keyId && reread->signature == signature->signature &&
                   reread->trustedComment == signature->trustedComment &&
                   reread->globalSignature == signature->globalSignature);
    }
    Minisign::ParsePublicKey(text);
    QBuffer empty;
    empty.open(QIODevice::ReadOnly);
    VerifySignature(empty, bytes, BuiltInUpdateKey());
    return 0;
}
