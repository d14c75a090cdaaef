#pragma once

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>

// Owners of libcrypto's objects, each freed by its own function.
namespace crypto {

template <auto Free>
struct Deleter {
    template <typename T>
    void operator()(T* object) const {
        Free(object);
    }
};

using Bio = std::unique_ptr<BIO, Deleter<BIO_free>>;
using Certificate = std::unique_ptr<X509, Deleter<X509_free>>;
using Cms = std::unique_ptr<CMS_ContentInfo, Deleter<CMS_ContentInfo_free>>;
using Key = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY_free>>;
using Store = std::unique_ptr<X509_STORE, Deleter<X509_STORE_free>>;

}  // namespace crypto
