#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "update/Sha256.h"
#include "update/SignatureStatus.h"

// The signature side of a bundle's verification. While the reader verifies, the same bytes that
// feed its MD5 feed a SHA-256 here (head included); at the end the detached signature beside the
// bundle (its path + ".sig") is checked against the CA file. Without a CA file nothing is done.
class BundleSignature {
public:
    // The CA file (PEM) a bundle's signer must lead to; empty: no signature is needed.
    void SetAuthority(const std::string& path) { caPath = path; }
    bool Required() const { return !caPath.empty(); }

    // A new verification, from the first byte of the bundle.
    void Begin();
    void Update(const void* data, size_t length);
    // Reads the signature file and the CA file and checks them against what was fed.
    SignatureStatus Check(const std::string& bundlePath);

private:
    std::string caPath;
    Sha256 sha256;
    uint64_t fed = 0;
};
