#pragma once

#include <cstddef>
#include <cstdint>

// MD5 (RFC 1321) with an incremental context: Init, any number of Update calls, Final. Init may
// be called again to reuse the context.
class Md5 {
public:
    static constexpr size_t kDigestSize = 16;

    Md5() { Init(); }

    void Init();
    // Ignored once the context is finalized.
    void Update(const void* data, size_t length);
    // Pads, appends the bit count and leaves the digest in Digest(). Further calls do nothing.
    void Final();

    const uint8_t* Digest() const { return digest; }
    // Compares the finalized digest with 16 bytes.
    bool Matches(const uint8_t* expected) const;

private:
    void Transform(const uint8_t* block64);

    bool finalized = false;
    uint8_t block[64] = {};
    uint64_t bitCount = 0;
    uint32_t state[4] = {};
    uint8_t digest[kDigestSize] = {};
};
