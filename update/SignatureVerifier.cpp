#include "update/SignatureVerifier.h"

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/objects.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <climits>
#include <memory>

#include "update/CryptoPointers.h"
#include "update/LibCrypto.h"
#include "update/SignatureManifest.h"

namespace {

using crypto::Bio;
using crypto::Cms;
using crypto::Store;

// Every certificate of the PEM text as a trust anchor; null when there is none.
Store LoadAuthorities(const std::string& pem) {
    if (pem.size() > INT_MAX)
        return nullptr;
    Store store(X509_STORE_new());
    Bio in(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    if (store == nullptr || in == nullptr)
        return nullptr;
    int count = 0;
    while (X509* cert = PEM_read_bio_X509(in.get(), nullptr, nullptr, nullptr)) {
        if (X509_STORE_add_cert(store.get(), cert) == 1)
            ++count;
        X509_free(cert);
    }
    if (count == 0)
        return nullptr;
    // No trusted clock on the display; any certificate of the file may be the anchor; the
    // signer's purposes and key usages are the signing organisation's business.
    X509_STORE_set_flags(store.get(), X509_V_FLAG_NO_CHECK_TIME | X509_V_FLAG_PARTIAL_CHAIN);
    X509_STORE_set_purpose(store.get(), X509_PURPOSE_ANY);
    return store;
}

// A SignedData in DER, nothing behind it, with its content attached.
Cms ParseSignedData(const std::string& signature) {
    if (signature.empty() || signature.size() > SignatureVerifier::kMaxSignatureSize)
        return nullptr;
    const auto* p = reinterpret_cast<const unsigned char*>(signature.data());
    const auto* end = p + signature.size();
    Cms cms(d2i_CMS_ContentInfo(nullptr, &p, static_cast<long>(signature.size())));
    if (cms == nullptr || p != end || OBJ_obj2nid(CMS_get0_type(cms.get())) != NID_pkcs7_signed)
        return nullptr;
    ASN1_OCTET_STRING** content = CMS_get0_content(cms.get());
    if (content == nullptr || *content == nullptr)
        return nullptr;
    return cms;
}

SignatureStatus Check(const std::string& caPem, const std::string& signature,
                      const Sha256::Digest& sha256, uint64_t size) {
    const Store store = LoadAuthorities(caPem);
    if (store == nullptr)
        return SignatureStatus::kNoUsableCa;
    const Cms cms = ParseSignedData(signature);
    if (cms == nullptr)
        return SignatureStatus::kMalformed;
    Bio out(BIO_new(BIO_s_mem()));
    if (out == nullptr)
        return SignatureStatus::kNotTrusted;
    // CMS_BINARY: the manifest is compared byte for byte, with no line-end conversion.
    if (CMS_verify(cms.get(), nullptr, store.get(), nullptr, out.get(), CMS_BINARY) != 1)
        return SignatureStatus::kNotTrusted;
    char* text = nullptr;
    const long length = BIO_get_mem_data(out.get(), &text);
    SignatureManifest manifest;
    if (length < 0 || !SignatureManifest::Parse(reinterpret_cast<const uint8_t*>(text),
                                                static_cast<size_t>(length), &manifest)) {
        return SignatureStatus::kMalformed;
    }
    if (manifest.size != size || manifest.sha256 != sha256)
        return SignatureStatus::kDigestMismatch;
    return SignatureStatus::kValid;
}

}  // namespace

bool SignatureVerifier::HoldsCertificate(const std::string& caPem) {
    UseLibCrypto();
    const bool holds = LoadAuthorities(caPem) != nullptr;
    ERR_clear_error();
    return holds;
}

SignatureStatus SignatureVerifier::Verify(const std::string& caPem, const std::string& signature,
                                          const Sha256::Digest& sha256, uint64_t size) {
    UseLibCrypto();
    const SignatureStatus status = Check(caPem, signature, sha256, size);
    // Nothing of this check may linger for the next one.
    ERR_clear_error();
    return status;
}
