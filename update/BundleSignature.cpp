#include "update/BundleSignature.h"

#include "file/ReadAll.h"
#include "update/SignatureVerifier.h"

namespace {

// A CA file beyond this is not read: hundreds of certificates, far more than a fleet needs.
constexpr size_t kMaxCaSize = 1024 * 1024;

}  // namespace

void BundleSignature::Begin() {
    fed = 0;
    if (Required())
        sha256.Init();
}

void BundleSignature::Update(const void* data, size_t length) {
    // Without a CA file the verification costs what it always did.
    if (!Required())
        return;
    sha256.Update(data, length);
    fed += length;
}

SignatureStatus BundleSignature::Check(const std::string& bundlePath) {
    std::string ca;
    if (!file::ReadAll(caPath, kMaxCaSize, &ca) || ca.size() > kMaxCaSize ||
        !SignatureVerifier::HoldsCertificate(ca)) {
        return SignatureStatus::kNoUsableCa;
    }
    std::string signature;
    if (!file::ReadAll(bundlePath + ".sig", SignatureVerifier::kMaxSignatureSize, &signature))
        return SignatureStatus::kNoSignatureFile;
    Sha256::Digest digest;
    if (!sha256.Final(&digest))
        return SignatureStatus::kDigestMismatch;
    return SignatureVerifier::Verify(ca, signature, digest, fed);
}
