#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

struct evp_md_ctx_st;

// SHA-256 with an incremental context, on OpenSSL's libcrypto: Init, any number of Update calls,
// Final. Init may be called again to reuse the context.
class Sha256 {
public:
    static constexpr size_t kDigestSize = 32;
    using Digest = std::array<uint8_t, kDigestSize>;

    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Init();
    void Update(const void* data, size_t length);
    // False when libcrypto could not compute the digest (out of memory): then it matches nothing.
    bool Final(Digest* digest);

private:
    struct Free {
        void operator()(evp_md_ctx_st* context) const;
    };
    std::unique_ptr<evp_md_ctx_st, Free> context;
    bool ok = false;
};
