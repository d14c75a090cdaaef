#include "update/Sha256.h"

#include <openssl/evp.h>

#include "update/LibCrypto.h"

void Sha256::Free::operator()(evp_md_ctx_st* c) const {
    EVP_MD_CTX_free(c);
}

Sha256::Sha256() : context((UseLibCrypto(), EVP_MD_CTX_new())) {
    Init();
}

Sha256::~Sha256() = default;

void Sha256::Init() {
    ok = context != nullptr && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) == 1;
}

void Sha256::Update(const void* data, size_t length) {
    if (ok && length > 0)
        ok = EVP_DigestUpdate(context.get(), data, length) == 1;
}

bool Sha256::Final(Digest* digest) {
    unsigned size = 0;
    const bool done =
        ok && EVP_DigestFinal_ex(context.get(), digest->data(), &size) == 1 && size == kDigestSize;
    ok = false;
    return done;
}
