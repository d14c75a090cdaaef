#pragma once

// The outcome of checking a bundle's signature.
enum class SignatureStatus {
    kValid,
    kNoSignatureFile,
    kMalformed,
    kNotTrusted,
    kDigestMismatch,
    kNoUsableCa,
};

// What the console line "Signature error: %s" says about a failure; null for kValid.
const char* SignatureStatusText(SignatureStatus status);
