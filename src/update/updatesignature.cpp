#include "update/updatesignature.h"

#include "update/minisignformat.h"
#include "update/updatekey_config.h"

#include <QFile>
#include <QIODevice>
#include <QRegularExpression>

#include <sodium.h>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

const unsigned char* bytes(const QByteArray& data) {
    return reinterpret_cast<const unsigned char*>(data.constData());
}

std::string_view view(const QByteArray& data) {
    return {data.constData(), size_t(data.size())};
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
    const auto key = Minisign::ParsePublicKey(view(publicKey));
    if (!key)
        return refused(QStringLiteral("The program holds no usable key for updates."));
    if (signatureFile.trimmed().isEmpty())
        return refused(QStringLiteral("The update carries no signature."));
    const auto signature = Minisign::ParseSignatureFile(view(signatureFile));
    if (!signature)
        return refused(unreadable);
    if (signature->keyId != key->keyId)
        return refused(QStringLiteral("The update is signed with another key than the vendor's."));

    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, crypto_generichash_BYTES_MAX);
    for (QByteArray chunk; !(chunk = content.read(1 << 16)).isEmpty();)
        crypto_generichash_update(&state, bytes(chunk), size_t(chunk.size()));
    if (!content.atEnd())
        return refused(QStringLiteral("The downloaded file cannot be read."));
    unsigned char hash[crypto_generichash_BYTES_MAX];
    crypto_generichash_final(&state, hash, sizeof hash);
    const std::vector<std::uint8_t> global = Minisign::GlobalSignedBytes(*signature);
    if (crypto_sign_verify_detached(signature->signature.data(), hash, sizeof hash, key->key.data()) != 0 ||
        crypto_sign_verify_detached(signature->globalSignature.data(), global.data(), global.size(), key->key.data()) !=
            0)
        return refused(QStringLiteral("The update's signature does not match the downloaded file."));

    SignatureCheck check;
    check.valid = true;
    check.trustedComment = QString::fromStdString(signature->trustedComment);
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
