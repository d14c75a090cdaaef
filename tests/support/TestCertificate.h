#pragma once

#include <memory>
#include <string>
#include <vector>

struct evp_pkey_st;
struct x509_st;

namespace testsupport {

// A key pair and its certificate, made in memory for a test (EC P-256): a self-signed root, or
// one issued by another. Never meant for anything but tests.
class TestCertificate {
public:
    struct Options {
        bool ca = false;
        // Validity, in days from now.
        long notBeforeDays = -1;
        long notAfterDays = 365;
        // An extended key usage ("codeSigning", "emailProtection"), or none.
        std::string extendedUsage;
    };

    // issuer null: self-signed.
    TestCertificate(const std::string& commonName, const TestCertificate* issuer,
                    const Options& options);
    ~TestCertificate();
    TestCertificate(const TestCertificate&) = delete;
    TestCertificate& operator=(const TestCertificate&) = delete;

    std::string CertificatePem() const;
    std::string KeyPem() const;
    // A CMS SignedData in DER over content (attached, binary), with the chain's certificates.
    std::string Sign(const std::string& content,
                     const std::vector<const TestCertificate*>& chain = {}) const;

private:
    struct Free {
        void operator()(evp_pkey_st* key) const;
        void operator()(x509_st* cert) const;
    };
    std::unique_ptr<evp_pkey_st, Free> key_;
    std::unique_ptr<x509_st, Free> cert_;
};

}  // namespace testsupport
