#include "update/updatesignature.h"

#include "update/updatekey_config.h"

#include <QFile>
#include <QIODevice>
#include <QList>
#include <QRegularExpression>

#include <sodium.h>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

constexpr qsizetype kKeyIdBytes = 8;

std::optional<QByteArray> base64(const QByteArray& text, qsizetype expectedSize) {
    const auto decoded = QByteArray::fromBase64Encoding(text.trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != expectedSize)
        return std::nullopt;
    return decoded.decoded;
}

const unsigned char* bytes(const QByteArray& data) {
    return reinterpret_cast<const unsigned char*>(data.constData());
}

SignatureCheck refused(const QString& why) {
    SignatureCheck check;
    check.failure = why;
    return check;
}

} // namespace

QByteArray BuiltInUpdateKey() {
    return QByteArrayLiteral(VELMORA_UPDATE_PUBLIC_KEY);
}

SignatureCheck VerifySignature(QIODevice& content, const QByteArray& signatureFile, const QByteArray& publicKey) {
    const QString unreadable = QStringLiteral("The update's signature cannot be read.");
    if (sodium_init() < 0)
        return refused(unreadable);
    // Public key: "Ed", key id, Ed25519 key.
    const auto key = base64(publicKey, 2 + kKeyIdBytes + crypto_sign_PUBLICKEYBYTES);
    if (!key || !key->startsWith("Ed"))
        return refused(QStringLiteral("The program holds no usable key for updates."));
    if (signatureFile.trimmed().isEmpty())
        return refused(QStringLiteral("The update carries no signature."));

    QList<QByteArray> lines = signatureFile.split('\n');
    // As minisign reads them: only the line ends go; the trusted comment is signed as it stands.
    for (QByteArray& line : lines)
        while (line.endsWith('\r'))
            line.chop(1);
    const QByteArray trustedPrefix = "trusted comment: ";
    if (lines.size() < 4 || !lines[0].startsWith("untrusted comment: ") || !lines[2].startsWith(trustedPrefix))
        return refused(unreadable);
    // Signature: "ED" (prehashed), key id, Ed25519 signature; then the signature over it and the comment.
    const auto signature = base64(lines[1], 2 + kKeyIdBytes + crypto_sign_BYTES);
    const auto global = base64(lines[3], crypto_sign_BYTES);
    if (!signature || !global || !signature->startsWith("ED"))
        return refused(unreadable);
    if (signature->mid(2, kKeyIdBytes) != key->mid(2, kKeyIdBytes))
        return refused(QStringLiteral("The update is signed with another key than the vendor's."));

    const QByteArray edKey = key->mid(2 + kKeyIdBytes);
    const QByteArray edSignature = signature->mid(2 + kKeyIdBytes);
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, crypto_generichash_BYTES_MAX);
    for (QByteArray chunk; !(chunk = content.read(1 << 16)).isEmpty();)
        crypto_generichash_update(&state, bytes(chunk), size_t(chunk.size()));
    if (!content.atEnd())
        return refused(QStringLiteral("The downloaded file cannot be read."));
    unsigned char hash[crypto_generichash_BYTES_MAX];
    crypto_generichash_final(&state, hash, sizeof hash);
    const QByteArray comment = lines[2].mid(trustedPrefix.size());
    const QByteArray signedComment = edSignature + comment;
    if (crypto_sign_verify_detached(bytes(edSignature), hash, sizeof hash, bytes(edKey)) != 0 ||
        crypto_sign_verify_detached(bytes(*global), bytes(signedComment), size_t(signedComment.size()), bytes(edKey)) !=
            0)
        return refused(QStringLiteral("The update's signature does not match the downloaded file."));

    SignatureCheck check;
    check.valid = true;
    check.trustedComment = QString::fromUtf8(comment);
    return check;
}

QString SignedVersion(const QString& trustedComment) {
    static const QRegularExpression version(QStringLiteral("(?:^|\\s)version:(\\d+(?:\\.\\d+)*)(?:\\s|$)"));
    return version.match(trustedComment).captured(1);
}

int CompareVersions(const QString& a, const QString& b) {
    const QStringList left = a.split(QLatin1Char('.'));
    const QStringList right = b.split(QLatin1Char('.'));
    for (qsizetype i = 0; i < qMax(left.size(), right.size()); ++i) {
        const qulonglong x = i < left.size() ? left[i].toULongLong() : 0;
        const qulonglong y = i < right.size() ? right[i].toULongLong() : 0;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

std::optional<QString> AcceptUpdate(const QString& path, const QByteArray& signatureFile, const QByteArray& publicKey,
                                    const QString& runningVersion) {
    // Checked and made executable through one descriptor, never through a link.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return QStringLiteral("The downloaded file cannot be read. %1").arg(QString::fromLocal8Bit(strerror(errno)));
    QFile file;
    file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    const SignatureCheck check = VerifySignature(file, signatureFile, publicKey);
    if (!check.valid)
        return check.failure;
    const QString version = SignedVersion(check.trustedComment);
    if (version.isEmpty())
        return QStringLiteral("The update's signature names no version.");
    if (CompareVersions(version, runningVersion) <= 0)
        return QStringLiteral("The update (version %1) is not newer than this program (version %2).")
            .arg(version, runningVersion);
    if (::fchmod(fd, 0755) != 0)
        return QStringLiteral("The downloaded file cannot be made executable. %1")
            .arg(QString::fromLocal8Bit(strerror(errno)));
    return std::nullopt;
}
