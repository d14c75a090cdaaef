#include "file/AbstractFile.h"

#include <cstdio>
#include <cstring>

namespace file {

AbstractFile::~AbstractFile() = default;

char* AbstractFile::ReadLine(char* buf, int n) {
    if (buf == nullptr || n <= 0)
        return nullptr;
    int length = 0;
    bool gotAny = false;
    while (length < n - 1) {
        char c = 0;
        if (Read(&c, 1) != 1)
            break;
        gotAny = true;
        if (c == '\n' || c == '\0')
            break;
        if (c == '\r')
            continue;
        buf[length++] = c;
    }
    buf[length] = '\0';
    return gotAny ? buf : nullptr;
}

bool AbstractFile::ReadMagic(const char* expected, unsigned n) {
    if (n > 32) {
        std::printf("Magic size is too long.\n");
        return false;
    }
    char magic[32] = {};
    // A file that ends inside its magic has none, whatever the bytes read so far say.
    const bool whole = Read(magic, static_cast<int>(n)) == static_cast<int>(n);
    if (whole && std::strncmp(expected, magic, n) == 0)
        return true;
    // The bytes read need not hold a zero byte: never show more than were read.
    std::printf("Invalid magic '%s' '%.*s'.\n", expected, static_cast<int>(n), magic);
    return false;
}

unsigned AbstractFile::ReadVersion(const char* name, unsigned max) {
    unsigned char bytes[2] = {};
    Read(bytes, 2);
    const unsigned v = bytes[0] | (static_cast<unsigned>(bytes[1]) << 8);
    if (v >= 1 && v <= max)
        return v;
    std::printf("%s: Invalid version %u > %u.\n", name, v, max);
    return 0;
}

}  // namespace file
