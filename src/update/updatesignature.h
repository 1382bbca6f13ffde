#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QIODevice;

// Updates run only what the vendor signed. Beside the program download the server publishes a
// signature in minisign's format ("<file>.minisig": Ed25519 over the file's BLAKE2b-512 hash, and
// over that signature with its trusted comment); the trusted comment names the signed version as
// "version:X.Y.Z". The vendor's public key is built into the program.

inline constexpr const char* kSignatureSuffix = ".minisig";
// A signature file is four short lines; anything much longer is no signature.
inline constexpr qint64 kMaxSignatureBytes = 4096;

// The vendor's public key built into this program (minisign's base64 form).
QByteArray BuiltInUpdateKey();

struct SignatureCheck {
    bool valid = false;
    // The signed comment (valid only).
    QString trustedComment;
    // Why it is not valid, in words for the user.
    QString failure;
};

// Checks a minisign signature file over everything `content` yields, against `publicKey`.
SignatureCheck VerifySignature(QIODevice& content, const QByteArray& signatureFile, const QByteArray& publicKey);

// The version a trusted comment names ("version:2.0.0" among its words); empty when none.
QString SignedVersion(const QString& trustedComment);
// Dotted versions compared number by number (a missing number counts as 0); below, equal to or
// above 0 as `a` is older than, the same as or newer than `b`.
int CompareVersions(const QString& a, const QString& b);

// Whether the downloaded program at `path` may replace the running one: signed by `publicKey`
// for a version newer than `runningVersion`. Nothing when it may, and then the file has been
// made executable through the same open file that was checked; the reason for the user otherwise.
std::optional<QString> AcceptUpdate(const QString& path, const QByteArray& signatureFile, const QByteArray& publicKey,
                                    const QString& runningVersion);
