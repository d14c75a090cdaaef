#include "update/Md5.h"

#include <cstring>

namespace {

constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

inline uint32_t Rotate(uint32_t x, unsigned n) {
    return (x << n) | (x >> (32 - n));
}

// The four round functions, in the forms with the fewest operations.
inline uint32_t F(uint32_t x, uint32_t y, uint32_t z) {
    return z ^ (x & (y ^ z));
}
inline uint32_t G(uint32_t x, uint32_t y, uint32_t z) {
    return y ^ (z & (x ^ y));
}
inline uint32_t H(uint32_t x, uint32_t y, uint32_t z) {
    return x ^ y ^ z;
}
inline uint32_t I(uint32_t x, uint32_t y, uint32_t z) {
    return y ^ (x | ~z);
}

template <uint32_t (*Round)(uint32_t, uint32_t, uint32_t)>
inline void Step(uint32_t& a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, uint32_t t,
                 unsigned s) {
    a = b + Rotate(a + Round(b, c, d) + x + t, s);
}

}  // namespace

void Md5::Init() {
    finalized = false;
    bitCount = 0;
    state[0] = 0x67452301;
    state[1] = 0xefcdab89;
    state[2] = 0x98badcfe;
    state[3] = 0x10325476;
    std::memset(block, 0, sizeof(block));
    std::memset(digest, 0, sizeof(digest));
}

void Md5::Transform(const uint8_t* in) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) {
        // Words are little-endian whatever the machine.
        x[i] = static_cast<uint32_t>(in[4 * i]) | (static_cast<uint32_t>(in[4 * i + 1]) << 8) |
               (static_cast<uint32_t>(in[4 * i + 2]) << 16) |
               (static_cast<uint32_t>(in[4 * i + 3]) << 24);
    }
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    // Four steps at a time, so that the words keep their registers; each round takes the
    // message words in its own order.
    for (int i = 0; i < 16; i += 4) {
        Step<F>(a, b, c, d, x[i], kSine[i], 7);
        Step<F>(d, a, b, c, x[i + 1], kSine[i + 1], 12);
        Step<F>(c, d, a, b, x[i + 2], kSine[i + 2], 17);
        Step<F>(b, c, d, a, x[i + 3], kSine[i + 3], 22);
    }
    for (int i = 16; i < 32; i += 4) {
        Step<G>(a, b, c, d, x[(5 * i + 1) & 15], kSine[i], 5);
        Step<G>(d, a, b, c, x[(5 * i + 6) & 15], kSine[i + 1], 9);
        Step<G>(c, d, a, b, x[(5 * i + 11) & 15], kSine[i + 2], 14);
        Step<G>(b, c, d, a, x[(5 * i + 16) & 15], kSine[i + 3], 20);
    }
    for (int i = 32; i < 48; i += 4) {
        Step<H>(a, b, c, d, x[(3 * i + 5) & 15], kSine[i], 4);
        Step<H>(d, a, b, c, x[(3 * i + 8) & 15], kSine[i + 1], 11);
        Step<H>(c, d, a, b, x[(3 * i + 11) & 15], kSine[i + 2], 16);
        Step<H>(b, c, d, a, x[(3 * i + 14) & 15], kSine[i + 3], 23);
    }
    for (int i = 48; i < 64; i += 4) {
        Step<I>(a, b, c, d, x[(7 * i) & 15], kSine[i], 6);
        Step<I>(d, a, b, c, x[(7 * i + 7) & 15], kSine[i + 1], 10);
        Step<I>(c, d, a, b, x[(7 * i + 14) & 15], kSine[i + 2], 15);
        Step<I>(b, c, d, a, x[(7 * i + 21) & 15], kSine[i + 3], 21);
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void Md5::Update(const void* data, size_t length) {
    if (finalized || length == 0)
        return;
    const uint8_t* in = static_cast<const uint8_t*>(data);
    size_t used = static_cast<size_t>((bitCount >> 3) & 63);
    bitCount += static_cast<uint64_t>(length) << 3;
    if (used != 0) {
        const size_t take = length < 64 - used ? length : 64 - used;
        std::memcpy(block + used, in, take);
        used += take;
        in += take;
        length -= take;
        if (used < 64)
            return;
        Transform(block);
    }
    for (; length >= 64; in += 64, length -= 64)
        Transform(in);
    std::memcpy(block, in, length);
}

void Md5::Final() {
    if (finalized)
        return;
    uint8_t count[8];
    for (int i = 0; i < 8; ++i)
        count[i] = static_cast<uint8_t>(bitCount >> (8 * i));
    // A one bit, zeros up to 56 bytes modulo 64, then the message length in bits.
    static const uint8_t kPadding[64] = {0x80};
    const size_t used = static_cast<size_t>((bitCount >> 3) & 63);
    Update(kPadding, used < 56 ? 56 - used : 120 - used);
    Update(count, 8);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j)
            digest[4 * i + j] = static_cast<uint8_t>(state[i] >> (8 * j));
    }
    finalized = true;
}

bool Md5::Matches(const uint8_t* expected) const {
    return finalized && std::memcmp(digest, expected, kDigestSize) == 0;
}
