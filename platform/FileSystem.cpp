#include "platform/FileSystem.h"

#include <unistd.h>

#include "platform/System.h"

namespace platform {

namespace {
std::string Followed(const std::string& path) { return Current().Translate(path, true); }
std::string NotFollowed(const std::string& path) { return Current().Translate(path, false); }
}  // namespace

FILE* OpenStream(const std::string& path, const char* mode) {
    return Current().OpenStream(path.c_str(), mode);
}

int CloseStream(FILE* stream) { return Current().CloseStream(stream); }

int TruncateStream(FILE* stream, off_t length) { return ::ftruncate(fileno(stream), length); }

int SyncStream(FILE* stream) { return Current().SyncStream(stream); }

int Rename(const std::string& from, const std::string& to) {
    return Current().Rename(from.c_str(), to.c_str());
}

int SyncDirectory(const std::string& path) { return Current().SyncDirectory(path.c_str()); }

int Stat(const std::string& path, struct stat* info) { return ::stat(Followed(path).c_str(), info); }

int Lstat(const std::string& path, struct stat* info) {
    return ::lstat(NotFollowed(path).c_str(), info);
}

int MakeDirectory(const std::string& path, mode_t mode) {
    return ::mkdir(NotFollowed(path).c_str(), mode);
}

DIR* OpenDirectory(const std::string& path) { return ::opendir(Followed(path).c_str()); }

int Unlink(const std::string& path) { return ::unlink(NotFollowed(path).c_str()); }

int Remove(const std::string& path) { return ::remove(NotFollowed(path).c_str()); }

int MakeSymlink(const std::string& target, const std::string& path) {
    return ::symlink(target.c_str(), NotFollowed(path).c_str());
}

ssize_t ReadLink(const std::string& path, char* buffer, size_t size) {
    return ::readlink(NotFollowed(path).c_str(), buffer, size);
}

int MakeNode(const std::string& path, mode_t mode, dev_t device) {
    return ::mknod(NotFollowed(path).c_str(), mode, device);
}

int ChangeMode(const std::string& path, mode_t mode) {
    return ::chmod(Followed(path).c_str(), mode);
}

}  // namespace platform
