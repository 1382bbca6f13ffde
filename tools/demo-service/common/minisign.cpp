#include "minisign.h"

#include "update/minisignformat.h"

#include <sodium.h>

#include <cstring>
#include <vector>

namespace {

std::string line(const std::string& text, int index) {
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = text.find('\n', start);
        if (start == std::string::npos)
            return {};
        ++start;
    }
    std::string out = text.substr(start, text.find('\n', start) - start);
    if (!out.empty() && out.back() == '\r')
        out.pop_back();
    return out;
}

} // namespace

std::optional<MinisignKey> ReadMinisignSecretKey(const std::string& fileText) {
    // "Ed", KDF "\0\0" (none), "B2", salt, opslimit, memlimit, key id, secret key, checksum.
    constexpr std::size_t kKeyIdAt = 2 + 2 + 2 + 32 + 8 + 8;
    constexpr std::size_t kSize = kKeyIdAt + 8 + 64 + 32;
    const std::vector<std::uint8_t> raw = Minisign::FromBase64(line(fileText, 1));
    if (sodium_init() < 0 || raw.size() != kSize || std::memcmp(raw.data(), "Ed\0\0B2", 6) != 0)
        return std::nullopt;
    MinisignKey key;
    std::memcpy(key.keyId.data(), raw.data() + kKeyIdAt, 8);
    std::memcpy(key.secretKey.data(), raw.data() + kKeyIdAt + 8, 64);
    // minisign leaves the checksum empty in keys without a password; the key checks itself: its
    // second half is the public key its first half (the seed) gives.
    std::uint8_t seedKey[64];
    crypto_sign_seed_keypair(key.publicKey.data(), seedKey, key.secretKey.data());
    if (std::memcmp(seedKey, key.secretKey.data(), sizeof seedKey) != 0)
        return std::nullopt;
    return key;
}

MinisignKey NewMinisignKey() {
    if (sodium_init() < 0)
        return {};
    MinisignKey key;
    crypto_sign_keypair(key.publicKey.data(), key.secretKey.data());
    randombytes_buf(key.keyId.data(), key.keyId.size());
    return key;
}

std::string MinisignPublicKey(const MinisignKey& key) {
    return Minisign::FormatPublicKey({key.keyId, key.publicKey});
}

std::string MinisignSign(const MinisignKey& key, const std::string& data, const std::string& trustedComment) {
    if (sodium_init() < 0)
        return {};
    std::uint8_t hash[crypto_generichash_BYTES_MAX];
    crypto_generichash(hash, sizeof hash, reinterpret_cast<const std::uint8_t*>(data.data()), data.size(), nullptr, 0);
    Minisign::Signature signature;
    signature.keyId = key.keyId;
    crypto_sign_detached(signature.signature.data(), nullptr, hash, sizeof hash, key.secretKey.data());
    signature.trustedComment = trustedComment;
    const std::vector<std::uint8_t> global = Minisign::GlobalSignedBytes(signature);
    crypto_sign_detached(signature.globalSignature.data(), nullptr, global.data(), global.size(), key.secretKey.data());
    return Minisign::FormatSignatureFile(signature, "signature from the velmora stand-in");
}
