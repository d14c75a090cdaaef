#include "update/SignatureManifest.h"

#include <cstring>

namespace {

// Reads one line starting with key; on success moves *at past its line end and gives the value.
bool Line(const uint8_t* text, size_t length, size_t* at, const char* key, std::string* value) {
    const size_t keyLength = std::strlen(key);
    if (length - *at < keyLength || std::memcmp(text + *at, key, keyLength) != 0)
        return false;
    size_t end = *at + keyLength;
    while (end < length && text[end] != '\n')
        ++end;
    if (end == length)
        return false;  // no line end
    size_t valueEnd = end;
    if (valueEnd > *at + keyLength && text[valueEnd - 1] == '\r')
        --valueEnd;
    value->assign(reinterpret_cast<const char*>(text) + *at + keyLength,
                  valueEnd - *at - keyLength);
    *at = end + 1;
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

bool SignatureManifest::Parse(const uint8_t* text, size_t length, SignatureManifest* manifest) {
    size_t at = 0;
    std::string hex;
    std::string size;
    if (!Line(text, length, &at, "sha256 ", &hex) || !Line(text, length, &at, "size ", &size) ||
        at != length) {
        return false;
    }
    if (hex.size() != 2 * Sha256::kDigestSize)
        return false;
    for (size_t i = 0; i < Sha256::kDigestSize; ++i) {
        const int high = HexDigit(hex[2 * i]);
        const int low = HexDigit(hex[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        manifest->sha256[i] = static_cast<uint8_t>(high << 4 | low);
    }
    // Plain digits only, and no length a 64-bit count cannot hold.
    if (size.empty() || size.size() > 20)
        return false;
    uint64_t value = 0;
    for (const char c : size) {
        if (c < '0' || c > '9')
            return false;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10)
            return false;
        value = value * 10 + digit;
    }
    manifest->size = value;
    return true;
}

std::string SignatureManifest::Text() const {
    static const char kHex[] = "0123456789abcdef";
    std::string text = "sha256 ";
    for (const uint8_t b : sha256) {
        text += kHex[b >> 4];
        text += kHex[b & 15];
    }
    text += "\nsize " + std::to_string(size) + "\n";
    return text;
}
