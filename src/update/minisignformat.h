#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// minisign's public key and signature file layouts, with nothing of Qt: the update check reads
// them, and the stand-in vendor (a program of its own) writes them with the same code.
namespace Minisign {

inline constexpr std::size_t kKeyIdBytes = 8;
using KeyId = std::array<std::uint8_t, kKeyIdBytes>;
using Ed25519Key = std::array<std::uint8_t, 32>;
using Ed25519Signature = std::array<std::uint8_t, 64>;

// Base64 as minisign writes it (the original alphabet, padded); empty when the text is not that.
std::vector<std::uint8_t> FromBase64(std::string_view text);
std::string ToBase64(const std::uint8_t* bytes, std::size_t size);

// A public key: base64 of "Ed", the key id and the Ed25519 key.
struct PublicKey {
    KeyId keyId{};
    Ed25519Key key{};
};
std::optional<PublicKey> ParsePublicKey(std::string_view base64);
std::string FormatPublicKey(const PublicKey& key);

// A signature file of four lines: an untrusted comment; base64 of "ED", the key id and the
// Ed25519 signature of the file's BLAKE2b-512 hash; "trusted comment: " and the comment; base64
// of the global signature, over the first signature followed by the trusted comment.
struct Signature {
    KeyId keyId{};
    Ed25519Signature signature{};
    std::string trustedComment;
    Ed25519Signature globalSignature{};
};
// As minisign reads it: only line ends go, the trusted comment stands as it was signed.
std::optional<Signature> ParseSignatureFile(std::string_view text);
std::string FormatSignatureFile(const Signature& signature, std::string_view untrustedComment);
// The bytes the global signature covers.
std::vector<std::uint8_t> GlobalSignedBytes(const Signature& signature);

} // namespace Minisign
