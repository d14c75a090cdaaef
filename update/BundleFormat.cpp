#include "update/BundleFormat.h"

#include <cstring>

#include "update/HeadChecksum.h"
#include "update/Md5.h"

namespace bundle {

uint16_t LoadLe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t LoadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint32_t LoadBe32(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

void StoreLe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void StoreLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void StoreBe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

Head Head::Make(uint16_t type, uint16_t contentVersion) {
    Head head;
    std::memcpy(head.magic, kMagic, sizeof(head.magic));
    head.version = kVersion;
    head.type = type;
    head.contentVersion = contentVersion;
    return head;
}

Head Head::Decode(const uint8_t* in) {
    Head head;
    std::memcpy(head.magic, in, 8);
    head.version = LoadLe32(in + 8);
    std::memcpy(head.digest, in + 12, 16);
    head.fileCount = LoadLe32(in + 28);
    head.type = LoadLe16(in + 32);
    std::memcpy(head.reserved34, in + 34, 4);
    head.contentVersion = LoadLe16(in + 38);
    std::memcpy(head.reserved40, in + 40, 20);
    head.checksum = LoadLe32(in + 60);
    return head;
}

void Head::Encode(uint8_t* out) const {
    std::memcpy(out, magic, 8);
    StoreLe32(out + 8, version);
    std::memcpy(out + 12, digest, 16);
    StoreLe32(out + 28, fileCount);
    StoreLe16(out + 32, type);
    std::memcpy(out + 34, reserved34, 4);
    StoreLe16(out + 38, contentVersion);
    std::memcpy(out + 40, reserved40, 20);
    StoreLe32(out + 60, checksum);
}

uint32_t Head::ComputeChecksum() const {
    uint8_t bytes[kHeadSize];
    Encode(bytes);
    return HeadChecksum(bytes, kChecksummedSize);
}

EntryHead EntryHead::Decode(const uint8_t* in) {
    EntryHead entry;
    std::memcpy(entry.digest, in, 16);
    entry.size = LoadLe32(in + 16);
    entry.type = in[20];
    entry.compression = in[21];
    std::memcpy(entry.unused22, in + 22, 4);
    entry.major = LoadLe16(in + 26);
    entry.minor = LoadLe16(in + 28);
    entry.mode = LoadLe16(in + 30);
    std::memcpy(entry.path, in + 32, kNameField);
    std::memcpy(entry.target, in + 272, kNameField);
    return entry;
}

void EntryHead::Encode(uint8_t* out) const {
    std::memcpy(out, digest, 16);
    StoreLe32(out + 16, size);
    out[20] = type;
    out[21] = compression;
    std::memcpy(out + 22, unused22, 4);
    StoreLe16(out + 26, major);
    StoreLe16(out + 28, minor);
    StoreLe16(out + 30, mode);
    std::memcpy(out + 32, path, kNameField);
    std::memcpy(out + 272, target, kNameField);
}

namespace {

void SetField(char* field, const std::string& text) {
    std::memset(field, 0, kNameField);
    std::memcpy(field, text.data(), text.size() < kNameField ? text.size() : kNameField);
}

bool Terminated(const char* field) {
    return std::memchr(field, '\0', kNameField) != nullptr;
}

std::string FieldText(const char* field) {
    const void* end = std::memchr(field, '\0', kNameField);
    return std::string(field, end != nullptr ? static_cast<const char*>(end) - field : kNameField);
}

}  // namespace

void EntryHead::SetPath(const std::string& text) {
    SetField(path, text);
}
void EntryHead::SetTarget(const std::string& text) {
    SetField(target, text);
}
bool EntryHead::PathTerminated() const {
    return Terminated(path);
}
bool EntryHead::TargetTerminated() const {
    return Terminated(target);
}
std::string EntryHead::Path() const {
    return FieldText(path);
}
std::string EntryHead::Target() const {
    return FieldText(target);
}

void Seal(uint8_t* bytes, size_t length) {
    if (length < kHeadSize)
        return;
    Md5 md5;
    md5.Update(bytes + kHeadSize, length - kHeadSize);
    md5.Final();
    std::memcpy(bytes + 12, md5.Digest(), Md5::kDigestSize);
    StoreLe32(bytes + 60, HeadChecksum(bytes, kChecksummedSize));
}

}  // namespace bundle
