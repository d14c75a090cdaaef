#include "update/BundleError.h"

const char* BundleErrorText(int code) {
    // The texts are the device's console protocol, spelling included.
    switch (code) {
        case kErrorNone:
            return nullptr;
        case kErrorOpen:
            return "Can open the bundle file.";
        case kErrorType:
            return "Unknown bundle type.";
        case kErrorVersion:
            return "Unsupported bundle version.";
        case kErrorMagic:
            return "Invalid magic string.";
        case kErrorChecksum:
            return "Invalid bundle head checksum.";
        case kErrorHeadRead:
            return "Read failed during bundle head.";
        case kErrorVerifyState:
            return "Invalid state in verify.";
        case kErrorDigest:
            return "Invalid MD5 of the bundle file.";
        case kErrorVerifyRead:
            return "Read failed during verify.";
        case kErrorEntryHeadRead:
            return "Read failed during file head extract.";
        case kErrorExtractRead:
            return "Read failed during extract.";
        case kErrorWrite:
            return "Write failed during extract.";
        case kErrorDestinationRead:
            return "Failed to read destination file.";
        case kErrorCreate:
            return "Failed to create destination file.";
        case kErrorCompression:
            return "Decompression type not supported.";
        case kErrorLzo:
            return "Error during LZO decompression.";
        case kErrorSizeMismatch:
            return "Decompression size mismatch.";
        case kErrorFileDigest:
            return "Invalid MD5 of extracted file.";
        case kErrorExtractState:
            return "Invalid state in extract.";
        case kErrorLargeCompressed:
            return "Compressed large file.";
        case kErrorLargeSize:
            return "Large file size mismatch.";
        case kErrorSignature:
            return "Invalid signature of the bundle file.";
    }
    return "Undocumented error";
}
