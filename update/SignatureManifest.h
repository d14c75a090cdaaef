#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "update/Sha256.h"

// What a bundle's signature vouches for: the SHA-256 and the length of the whole bundle file,
// head included. Its text is two lines, "sha256 " and 64 lowercase hex digits, then "size " and
// the length in decimal, each ended by "\n" (or "\r\n": a manifest written on another system).
struct SignatureManifest {
    Sha256::Digest sha256 = {};
    uint64_t size = 0;

    // False for anything but exactly those two lines.
    static bool Parse(const uint8_t* text, size_t length, SignatureManifest* manifest);
    // The text a signer signs, with "\n" line ends.
    std::string Text() const;
};
