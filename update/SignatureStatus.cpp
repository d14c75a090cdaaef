#include "update/SignatureStatus.h"

const char* SignatureStatusText(SignatureStatus status) {
    switch (status) {
        case SignatureStatus::kValid:
            return nullptr;
        case SignatureStatus::kNoSignatureFile:
            return "no signature file.";
        case SignatureStatus::kMalformed:
            return "malformed.";
        case SignatureStatus::kNotTrusted:
            return "not trusted.";
        case SignatureStatus::kDigestMismatch:
            return "digest mismatch.";
        case SignatureStatus::kNoUsableCa:
            return "no usable CA.";
    }
    return "malformed.";
}
