#include "file/FileC.h"

#include <sys/types.h>

#include "platform/FileSystem.h"

namespace file {

// Bundles and their large files are bigger than 2 GiB; the device is 32-bit.
static_assert(sizeof(off_t) == 8, "build with _FILE_OFFSET_BITS=64");

FileC::~FileC() {
    Close();
}

bool FileC::Open(const std::string& path, const char* mode) {
    Close();
    name = path;
    fp = platform::OpenStream(path, mode);
    if (fp != nullptr)
        Seek(0);
    return fp != nullptr;
}

bool FileC::Close() {
    if (fp == nullptr)
        return true;
    const int result = platform::CloseStream(fp);
    fp = nullptr;
    return result == 0;
}

bool FileC::Flush() {
    return fp == nullptr || std::fflush(fp) == 0;
}

int FileC::Read(void* buffer, int n) {
    if (fp == nullptr || n <= 0)
        return 0;
    return static_cast<int>(std::fread(buffer, 1, static_cast<size_t>(n), fp));
}

int FileC::Write(const void* buffer, int n) {
    if (fp == nullptr || n <= 0)
        return 0;
    return static_cast<int>(std::fwrite(buffer, 1, static_cast<size_t>(n), fp));
}

int FileC::Seek(int64_t pos) {
    if (fp == nullptr)
        return 1;
    return ::fseeko(fp, static_cast<off_t>(pos), SEEK_SET) == 0 ? 0 : 1;
}

int64_t FileC::Tell() {
    return fp == nullptr ? -1 : static_cast<int64_t>(::ftello(fp));
}

char* FileC::ReadLine(char* buf, int n) {
    if (fp == nullptr || buf == nullptr || n <= 0 || std::feof(fp))
        return nullptr;
    return std::fgets(buf, n, fp);
}

int64_t FileC::Size() {
    if (fp == nullptr)
        return -1;
    const int64_t here = Tell();
    if (::fseeko(fp, 0, SEEK_END) != 0)
        return -1;
    const int64_t size = Tell();
    Seek(here);
    return size;
}

bool FileC::Truncate() {
    if (fp == nullptr)
        return false;
    // Bytes still in the stream's buffer would otherwise land after the cut.
    if (std::fflush(fp) != 0)
        return false;
    return platform::TruncateStream(fp, static_cast<off_t>(Tell())) == 0;
}

}  // namespace file

namespace file {

bool FileC::Sync() {
    return fp != nullptr && platform::SyncStream(fp) == 0;
}

}  // namespace file
