#include "update/minisignformat.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>

namespace Minisign {

namespace {

constexpr std::string_view kUntrustedPrefix = "untrusted comment: ";
constexpr std::string_view kTrustedPrefix = "trusted comment: ";
static_assert(std::tuple_size_v<Ed25519Key> == crypto_sign_PUBLICKEYBYTES);
static_assert(std::tuple_size_v<Ed25519Signature> == crypto_sign_BYTES);

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view blanks = " \t\n\v\f\r";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// The tag and the key id, then `rest` exactly: what both base64 lines with a key id hold.
template <std::size_t N>
bool readTagged(std::string_view base64, const char (&tag)[3], KeyId& keyId, std::array<std::uint8_t, N>& rest) {
    const std::vector<std::uint8_t> raw = FromBase64(trimmed(base64));
    if (raw.size() != 2 + kKeyIdBytes + N || std::memcmp(raw.data(), tag, 2) != 0)
        return false;
    std::copy_n(raw.begin() + 2, kKeyIdBytes, keyId.begin());
    std::copy_n(raw.begin() + 2 + kKeyIdBytes, N, rest.begin());
    return true;
}

template <std::size_t N>
std::string tagged(const char (&tag)[3], const KeyId& keyId, const std::array<std::uint8_t, N>& rest) {
    std::vector<std::uint8_t> raw(tag, tag + 2);
    raw.insert(raw.end(), keyId.begin(), keyId.end());
    raw.insert(raw.end(), rest.begin(), rest.end());
    return ToBase64(raw.data(), raw.size());
}

} // namespace

std::vector<std::uint8_t> FromBase64(std::string_view text) {
    if (sodium_init() < 0)
        return {};
    std::vector<std::uint8_t> bytes(text.size());
    std::size_t size = 0;
    if (sodium_base642bin(bytes.data(), bytes.size(), text.data(), text.size(), nullptr, &size, nullptr,
                          sodium_base64_VARIANT_ORIGINAL) != 0)
        return {};
    bytes.resize(size);
    return bytes;
}

std::string ToBase64(const std::uint8_t* bytes, std::size_t size) {
    if (sodium_init() < 0)
        return {};
    std::string text(sodium_base64_ENCODED_LEN(size, sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(), bytes, size, sodium_base64_VARIANT_ORIGINAL);
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::optional<PublicKey> ParsePublicKey(std::string_view base64) {
    PublicKey key;
    if (!readTagged(base64, "Ed", key.keyId, key.key))
        return std::nullopt;
    return key;
}

std::string FormatPublicKey(const PublicKey& key) {
    return tagged("Ed", key.keyId, key.key);
}

std::optional<Signature> ParseSignatureFile(std::string_view text) {
    std::string_view lines[4];
    for (std::string_view& line : lines) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos && text.empty())
            return std::nullopt;
        line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        while (line.ends_with('\r'))
            line.remove_suffix(1);
    }
    Signature signature;
    if (!lines[0].starts_with(kUntrustedPrefix) || !lines[2].starts_with(kTrustedPrefix) ||
        !readTagged(lines[1], "ED", signature.keyId, signature.signature))
        return std::nullopt;
    const std::vector<std::uint8_t> global = FromBase64(trimmed(lines[3]));
    if (global.size() != signature.globalSignature.size())
        return std::nullopt;
    std::copy(global.begin(), global.end(), signature.globalSignature.begin());
    signature.trustedComment = lines[2].substr(kTrustedPrefix.size());
    return signature;
}

std::string FormatSignatureFile(const Signature& signature, std::string_view untrustedComment) {
    return std::string(kUntrustedPrefix).append(untrustedComment) + '\n' +
           tagged("ED", signature.keyId, signature.signature) + '\n' + std::string(kTrustedPrefix) +
           signature.trustedComment + '\n' +
           ToBase64(signature.globalSignature.data(), signature.globalSignature.size()) + '\n';
}

std::vector<std::uint8_t> GlobalSignedBytes(const Signature& signature) {
    std::vector<std::uint8_t> bytes(signature.signature.begin(), signature.signature.end());
    bytes.insert(bytes.end(), signature.trustedComment.begin(), signature.trustedComment.end());
    return bytes;
}

} // namespace Minisign
