#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The layout of an update bundle: a 64-byte head, then entries to the end of the file, each a
// 512-byte entry head followed, for file entries, by a data part (a 4-byte length and the data).
// Integers are little-endian, except the size prefix of compressed data, which is big-endian.
namespace bundle {

constexpr uint32_t kHeadSize = 64;
constexpr uint32_t kEntryHeadSize = 512;
// Verification, comparison and copying go in chunks of this size.
constexpr uint32_t kChunkSize = 8192;
constexpr uint32_t kVersion = 3;
constexpr char kMagic[8] = {'T', 'O', 'V', 'R', 'A', 'S', 'K', '\0'};
// Bytes of the head covered by its checksum.
constexpr uint32_t kChecksummedSize = 60;
// A path or link target field, its terminating zero included.
constexpr size_t kNameField = 240;

enum EntryType : uint8_t {
    kTypeFile = 0,
    kTypePath = 1,  // nothing of its own: creates the directories on its path, sets the mode
    kTypeSymlink = 2,
    kTypeCharDevice = 3,
    kTypeBlockDevice = 4,
    kTypeDirectory = 5,
    kTypeFifo = 6,
    kTypeLargeFile = 7,  // stored, copied in chunks; types above are handled like kTypeFile
};

enum Compression : uint8_t { kStored = 0, kLzo1x = 1 };

// Entries of these types have a data part behind their head.
inline bool HasData(uint8_t type) {
    return type == kTypeFile || type >= kTypeLargeFile;
}

uint16_t LoadLe16(const uint8_t* p);
uint32_t LoadLe32(const uint8_t* p);
uint32_t LoadBe32(const uint8_t* p);
void StoreLe16(uint8_t* p, uint16_t v);
void StoreLe32(uint8_t* p, uint32_t v);
void StoreBe32(uint8_t* p, uint32_t v);

// The bundle head, field by field. Every field is taken as it is, so a writer can also make
// wrong heads.
struct Head {
    uint8_t magic[8] = {};
    uint32_t version = 0;
    uint8_t digest[16] = {};  // MD5 of every byte behind the head
    uint32_t fileCount = 0;   // only printed
    uint16_t type = 0;        // must not be 0
    uint8_t reserved34[4] = {};
    uint16_t contentVersion = 0;  // shown by the boot manager as value / 100 . value % 100
    uint8_t reserved40[20] = {};
    uint32_t checksum = 0;  // HeadChecksum of bytes 0..59

    // The magic and version the reader accepts, with the given type and content version.
    static Head Make(uint16_t type, uint16_t contentVersion);
    static Head Decode(const uint8_t* in);
    void Encode(uint8_t* out) const;
    // The checksum of this head as encoded.
    uint32_t ComputeChecksum() const;
};

// An entry head, field by field. The name fields are the raw 240 bytes.
struct EntryHead {
    uint8_t digest[16] = {};  // MD5 of the uncompressed contents
    uint32_t size = 0;        // uncompressed
    uint8_t type = 0;
    uint8_t compression = 0;
    uint8_t unused22[4] = {};
    uint16_t major = 0;
    uint16_t minor = 0;
    uint16_t mode = 0;  // the whole mode word: file type and permission bits
    char path[kNameField] = {};
    char target[kNameField] = {};

    static EntryHead Decode(const uint8_t* in);
    void Encode(uint8_t* out) const;

    // Copy a text into a name field, zero-filled behind it. A text of 240 bytes or more fills
    // the field without a terminating zero (only a writer of broken bundles wants that).
    void SetPath(const std::string& text);
    void SetTarget(const std::string& text);
    bool PathTerminated() const;
    bool TargetTerminated() const;
    // The text up to its terminating zero, or all 240 bytes.
    std::string Path() const;
    std::string Target() const;
};

// Puts the digest of body and the checksum into a bundle held in memory (bytes 0..63 the head),
// leaving every other field as it is.
void Seal(uint8_t* bundle, size_t length);

}  // namespace bundle
