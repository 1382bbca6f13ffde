#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// Signing in minisign's format with libsodium: the stand-in signs the program update it serves,
// and the tests sign with it too (also with keys of their own making).
struct MinisignKey {
    std::array<std::uint8_t, 8> keyId{};
    std::array<std::uint8_t, 64> secretKey{};
    std::array<std::uint8_t, 32> publicKey{};
};

// A secret key file as `minisign -G -W` writes it (not protected by a password); nothing for
// anything else.
std::optional<MinisignKey> ReadMinisignSecretKey(const std::string& fileText);
// A fresh random key.
MinisignKey NewMinisignKey();
// The public key as minisign prints it: base64 of "Ed", the key id and the key.
std::string MinisignPublicKey(const MinisignKey& key);
// A signature file (four lines, as `minisign -S -t COMMENT` writes it) over `data`, prehashed with
// BLAKE2b-512; the trusted comment is signed together with the signature.
std::string MinisignSign(const MinisignKey& key, const std::string& data, const std::string& trustedComment);
