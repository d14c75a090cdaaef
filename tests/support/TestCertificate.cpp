#include "tests/support/TestCertificate.h"

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <stdexcept>

namespace testsupport {

namespace {

void Check(bool ok, const char* what) {
    if (!ok)
        throw std::runtime_error(std::string("test certificate: ") + what);
}

void AddExtension(X509* cert, X509* issuer, int nid, const std::string& value) {
    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
    Check(extension != nullptr && X509_add_ext(cert, extension, -1) == 1, "extension");
    X509_EXTENSION_free(extension);
}

std::string BioText(BIO* bio) {
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio, &data);
    std::string text(data, static_cast<size_t>(length));
    BIO_free(bio);
    return text;
}

}  // namespace

void TestCertificate::Free::operator()(evp_pkey_st* key) const {
    EVP_PKEY_free(key);
}
void TestCertificate::Free::operator()(x509_st* cert) const {
    X509_free(cert);
}

TestCertificate::TestCertificate(const std::string& commonName, const TestCertificate* issuer,
                                 const Options& options)
    : key_(EVP_EC_gen("P-256")), cert_(X509_new()) {
    static long serial = 1;
    Check(key_ != nullptr && cert_ != nullptr, "key");
    X509* cert = cert_.get();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), serial++);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("Tovrask tests"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1,
                               0);
    X509* signer = issuer != nullptr ? issuer->cert_.get() : cert;
    X509_set_issuer_name(cert, X509_get_subject_name(signer));
    X509_gmtime_adj(X509_getm_notBefore(cert), options.notBeforeDays * 86400L);
    X509_gmtime_adj(X509_getm_notAfter(cert), options.notAfterDays * 86400L);
    X509_set_pubkey(cert, key_.get());
    if (options.ca) {
        AddExtension(cert, signer, NID_basic_constraints, "critical,CA:TRUE");
        AddExtension(cert, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        AddExtension(cert, signer, NID_basic_constraints, "CA:FALSE");
        AddExtension(cert, signer, NID_key_usage, "critical,digitalSignature");
    }
    if (!options.extendedUsage.empty())
        AddExtension(cert, signer, NID_ext_key_usage, options.extendedUsage);
    EVP_PKEY* signingKey = issuer != nullptr ? issuer->key_.get() : key_.get();
    Check(X509_sign(cert, signingKey, EVP_sha256()) > 0, "signing the certificate");
}

TestCertificate::~TestCertificate() = default;

std::string TestCertificate::CertificatePem() const {
    BIO* out = BIO_new(BIO_s_mem());
    Check(PEM_write_bio_X509(out, cert_.get()) == 1, "PEM");
    return BioText(out);
}

std::string TestCertificate::KeyPem() const {
    BIO* out = BIO_new(BIO_s_mem());
    Check(PEM_write_bio_PrivateKey(out, key_.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1,
          "PEM");
    return BioText(out);
}

std::string TestCertificate::Sign(const std::string& content,
                                  const std::vector<const TestCertificate*>& chain) const {
    STACK_OF(X509)* certs = sk_X509_new_null();
    for (const TestCertificate* link : chain)
        sk_X509_push(certs, link->cert_.get());
    BIO* in = BIO_new_mem_buf(content.data(), static_cast<int>(content.size()));
    CMS_ContentInfo* cms =
        CMS_sign(cert_.get(), key_.get(), certs, in, CMS_BINARY | CMS_NOSMIMECAP);
    BIO_free(in);
    sk_X509_free(certs);
    Check(cms != nullptr, "CMS signing");
    unsigned char* der = nullptr;
    const int length = i2d_CMS_ContentInfo(cms, &der);
    CMS_ContentInfo_free(cms);
    Check(length > 0, "DER");
    std::string bytes(reinterpret_cast<char*>(der), static_cast<size_t>(length));
    OPENSSL_free(der);
    return bytes;
}

}  // namespace testsupport
