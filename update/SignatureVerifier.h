#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "update/Sha256.h"
#include "update/SignatureStatus.h"

// Checks a detached bundle signature: a CMS SignedData in DER whose attached content is the
// bundle's manifest (SignatureManifest). The signer's chain must lead to one of the certificates
// of the CA text (PEM; each one is a trust anchor, a root or not). Neither validity dates (the
// display has no trusted clock) nor purposes and key usages are checked. Works on bytes only:
// the caller reads the files.
class SignatureVerifier {
public:
    // A larger signature file is malformed, whatever it holds.
    static constexpr size_t kMaxSignatureSize = 64 * 1024;

    // Whether the CA text holds at least one certificate.
    static bool HoldsCertificate(const std::string& caPem);
    // The CA text is looked at first (no certificate in it: kNoUsableCa), then the signature's
    // form, its trust, its manifest, and last the bundle's digest and size.
    static SignatureStatus Verify(const std::string& caPem, const std::string& signature,
                                  const Sha256::Digest& sha256, uint64_t size);
};
