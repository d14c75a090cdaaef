#pragma once

// The bundle reader's error codes. Each has one fixed text, printed as a line where the error
// arises; the boot manager shows its own message.
enum BundleError : int {
    kErrorNone = 0,
    kErrorOpen = -50,
    kErrorType = -49,
    kErrorVersion = -48,
    kErrorMagic = -47,
    kErrorChecksum = -46,
    kErrorHeadRead = -45,
    kErrorVerifyState = -44,
    kErrorDigest = -43,
    kErrorVerifyRead = -42,
    kErrorEntryHeadRead = -41,
    kErrorExtractRead = -40,
    kErrorWrite = -39,
    kErrorDestinationRead = -38,
    kErrorCreate = -37,
    kErrorCompression = -36,
    kErrorLzo = -35,
    kErrorSizeMismatch = -34,
    kErrorFileDigest = -33,
    kErrorExtractState = -32,
    kErrorLargeCompressed = -31,
    kErrorLargeSize = -30,
    kErrorSignature = -51,
};

// The text of a code; null for 0, "Undocumented error" for a code not in the list.
const char* BundleErrorText(int code);
