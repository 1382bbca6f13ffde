#include "minisign.h"

#include <sodium.h>

#include <cstring>
#include <vector>

namespace {

std::string toBase64(const std::uint8_t* bytes, std::size_t size) {
    std::string text(sodium_base64_ENCODED_LEN(size, sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(), bytes, size, sodium_base64_VARIANT_ORIGINAL);
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::vector<std::uint8_t> fromBase64(const std::string& text) {
    std::vector<std::uint8_t> bytes(text.size());
    std::size_t size = 0;
    if (sodium_base642bin(bytes.data(), bytes.size(), text.data(), text.size(), nullptr, &size, nullptr,
                          sodium_base64_VARIANT_ORIGINAL) != 0)
        return {};
    bytes.resize(size);
    return bytes;
}

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
    const std::vector<std::uint8_t> raw = fromBase64(line(fileText, 1));
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
    std::uint8_t raw[2 + 8 + 32] = {'E', 'd'};
    std::memcpy(raw + 2, key.keyId.data(), 8);
    std::memcpy(raw + 10, key.publicKey.data(), 32);
    return toBase64(raw, sizeof raw);
}

std::string MinisignSign(const MinisignKey& key, const std::string& data, const std::string& trustedComment) {
    if (sodium_init() < 0)
        return {};
    std::uint8_t hash[crypto_generichash_BYTES_MAX];
    crypto_generichash(hash, sizeof hash, reinterpret_cast<const std::uint8_t*>(data.data()), data.size(), nullptr, 0);
    std::uint8_t signature[2 + 8 + 64] = {'E', 'D'};
    std::memcpy(signature + 2, key.keyId.data(), 8);
    crypto_sign_detached(signature + 10, nullptr, hash, sizeof hash, key.secretKey.data());
    std::vector<std::uint8_t> global(signature + 10, signature + 10 + 64);
    global.insert(global.end(), trustedComment.begin(), trustedComment.end());
    std::uint8_t globalSignature[64];
    crypto_sign_detached(globalSignature, nullptr, global.data(), global.size(), key.secretKey.data());
    return "untrusted comment: signature from the velmora stand-in\n" + toBase64(signature, sizeof signature) +
           "\ntrusted comment: " + trustedComment + "\n" + toBase64(globalSignature, sizeof globalSignature) + "\n";
}
