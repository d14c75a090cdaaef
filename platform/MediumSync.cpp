#include "platform/MediumSync.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

int SyncStreamData(FILE* stream) {
    if (std::fflush(stream) != 0)
        return -1;
    return ::fsync(fileno(stream));
}

int SyncDirectoryEntries(const char* path) {
    const int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    const int result = ::fsync(fd);
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return result;
}

}  // namespace platform
