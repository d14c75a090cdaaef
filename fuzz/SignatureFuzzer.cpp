// Arbitrary bytes through the signature checks. The first byte chooses how the rest is used:
// even, as a signature file checked against a CA; odd, as the content a trusted signer signs,
// which must then be accepted exactly when it is the manifest of the bundle being checked.
#include <cstdint>
#include <cstdio>
#include <string>

#include "tests/support/TestCertificate.h"
#include "update/SignatureManifest.h"
#include "update/SignatureVerifier.h"

namespace {

struct Setup {
    Setup()
        : root("Fuzz root", nullptr, Ca()),
          signer("Fuzz signer", &root, {}),
          ca(root.CertificatePem()) {
        manifest.sha256.fill(0x5a);
        manifest.size = 12345;
    }
    static testsupport::TestCertificate::Options Ca() {
        testsupport::TestCertificate::Options o;
        o.ca = true;
        return o;
    }
    testsupport::TestCertificate root;
    testsupport::TestCertificate signer;
    std::string ca;
    SignatureManifest manifest;
};

const Setup* setup = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setup = new Setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const SignatureManifest& m = setup->manifest;
    if ((data[0] & 1) == 0) {
        // Nobody without the signer's key can make a signature of this manifest.
        if (SignatureVerifier::Verify(setup->ca, rest, m.sha256, m.size) == SignatureStatus::kValid)
            __builtin_trap();
        return 0;
    }
    // Far beyond any manifest; its signature would pass the 64 KiB a signature file may have.
    if (rest.size() > 32768)
        return 0;
    SignatureManifest parsed;
    const bool parses = SignatureManifest::Parse(data + 1, size - 1, &parsed);
    const bool same = parses && parsed.sha256 == m.sha256 && parsed.size == m.size;
    const SignatureStatus status =
        SignatureVerifier::Verify(setup->ca, setup->signer.Sign(rest), m.sha256, m.size);
    const SignatureStatus expected = same     ? SignatureStatus::kValid
                                     : parses ? SignatureStatus::kDigestMismatch
                                              : SignatureStatus::kMalformed;
    if (status != expected)
        __builtin_trap();
    return 0;
}
