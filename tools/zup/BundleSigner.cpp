#include "tools/zup/BundleSigner.h"

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "file/FileC.h"
#include "file/ReadAll.h"
#include "platform/FileSystem.h"
#include "update/CryptoPointers.h"
#include "update/LibCrypto.h"
#include "update/Sha256.h"
#include "update/SignatureManifest.h"
#include "update/SignatureVerifier.h"

namespace zup {

namespace {

struct FreeCerts {
    void operator()(STACK_OF(X509) * certs) const { sk_X509_pop_free(certs, X509_free); }
};

int Failed(const std::string& what, const char* why) {
    std::fflush(stdout);
    std::fprintf(stderr, "zup: %s: %s\n", what.c_str(), why);
    ERR_clear_error();
    return 1;
}

// Certificates and keys are small; anything larger is not one.
constexpr size_t kMaxPemSize = 1024 * 1024;

// A PEM file's text as a memory stream, which keeps it alive; null when it cannot be read.
struct PemFile {
    explicit PemFile(const std::string& path) {
        if (file::ReadAll(path, kMaxPemSize, &text) && text.size() <= kMaxPemSize)
            bio.reset(BIO_new_mem_buf(text.data(), static_cast<int>(text.size())));
    }
    std::string text;
    crypto::Bio bio;
};

// The manifest of the bundle file as it is now.
bool Measure(const std::string& bundle, SignatureManifest* manifest) {
    file::FileC in;
    if (!in.Open(bundle, "r"))
        return false;
    Sha256 sha256;
    std::vector<uint8_t> chunk(8192);
    uint64_t size = 0;
    for (;;) {
        const int n = in.Read(chunk.data(), static_cast<int>(chunk.size()));
        if (n <= 0)
            break;
        sha256.Update(chunk.data(), static_cast<size_t>(n));
        size += static_cast<uint64_t>(n);
    }
    manifest->size = size;
    return in.Size() == static_cast<int64_t>(size) && sha256.Final(&manifest->sha256);
}

}  // namespace

int Sign(const std::string& bundle, const std::string& certPath, const std::string& keyPath,
         const std::string& chainPath) {
    UseLibCrypto();
    const PemFile certFile(certPath);
    crypto::Certificate cert(
        certFile.bio ? PEM_read_bio_X509(certFile.bio.get(), nullptr, nullptr, nullptr) : nullptr);
    if (cert == nullptr)
        return Failed(certPath, "no certificate (PEM) can be read");
    const PemFile keyFile(keyPath);
    crypto::Key key(keyFile.bio
                        ? PEM_read_bio_PrivateKey(keyFile.bio.get(), nullptr, nullptr, nullptr)
                        : nullptr);
    if (key == nullptr)
        return Failed(keyPath, "no private key (PEM) can be read");
    if (X509_check_private_key(cert.get(), key.get()) != 1)
        return Failed(keyPath, "is not the key of the certificate");
    std::unique_ptr<STACK_OF(X509), FreeCerts> chain(sk_X509_new_null());
    if (chain == nullptr)
        return Failed(bundle, "out of memory");
    if (!chainPath.empty()) {
        const PemFile chainFile(chainPath);
        if (chainFile.bio == nullptr)
            return Failed(chainPath, "cannot read");
        while (X509* link = PEM_read_bio_X509(chainFile.bio.get(), nullptr, nullptr, nullptr)) {
            if (sk_X509_push(chain.get(), link) <= 0) {
                X509_free(link);
                return Failed(bundle, "out of memory");
            }
        }
        if (sk_X509_num(chain.get()) == 0)
            return Failed(chainPath, "no certificate (PEM) can be read");
    }

    SignatureManifest manifest;
    if (!Measure(bundle, &manifest))
        return Failed(bundle, "cannot read");
    const std::string text = manifest.Text();
    crypto::Bio content(BIO_new_mem_buf(text.data(), static_cast<int>(text.size())));
    // CMS_BINARY: the manifest is signed byte for byte; no S/MIME capabilities, which only make
    // the file larger.
    crypto::Cms cms(content ? CMS_sign(cert.get(), key.get(), chain.get(), content.get(),
                                       CMS_BINARY | CMS_NOSMIMECAP)
                            : nullptr);
    if (cms == nullptr)
        return Failed(bundle, "cannot be signed with that key");
    unsigned char* der = nullptr;
    const int length = i2d_CMS_ContentInfo(cms.get(), &der);
    if (length <= 0)
        return Failed(bundle, "cannot be signed with that key");
    const std::vector<uint8_t> signature(der, der + length);
    OPENSSL_free(der);
    if (signature.size() > SignatureVerifier::kMaxSignatureSize)
        return Failed(bundle, "signature over 64 KiB (too many chain certificates)");

    const std::string out = bundle + ".sig";
    file::FileC sig;
    bool written = sig.Open(out, "w");
    written = written && sig.Write(signature.data(), static_cast<int>(signature.size())) ==
                             static_cast<int>(signature.size());
    written = sig.Close() && written;
    if (!written) {
        platform::Remove(out);
        return Failed(out, "cannot be written");
    }
    ERR_clear_error();
    return 0;
}

}  // namespace zup
