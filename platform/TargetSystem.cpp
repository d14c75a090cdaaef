#include "platform/TargetSystem.h"

#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

#include "platform/MediumSync.h"

namespace platform {

int TargetSystem::OpenFramebuffer(const char* path) { return ::open(path, O_RDWR); }

int TargetSystem::QueryFixedInfo(int fd, fb_fix_screeninfo* info) {
    return ::ioctl(fd, FBIOGET_FSCREENINFO, info);
}

int TargetSystem::QueryVariableInfo(int fd, fb_var_screeninfo* info) {
    return ::ioctl(fd, FBIOGET_VSCREENINFO, info);
}

void* TargetSystem::MapFramebuffer(int fd, size_t length) {
    return ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
}

int TargetSystem::OpenInput(const char* path) { return ::open(path, O_RDONLY); }

int TargetSystem::QueryInputName(int fd, char* name, size_t length) {
    return ::ioctl(fd, EVIOCGNAME(length), name);
}

ssize_t TargetSystem::ReadInput(int fd, void* buffer, size_t length) {
    return ::read(fd, buffer, length);
}

int TargetSystem::Mount(const char* source, const char* target, const char* fsType,
                        unsigned long flags, const void* data) {
    return ::mount(source, target, fsType, flags, data);
}

int TargetSystem::Unmount(const char* target) { return ::umount(target); }

int TargetSystem::Shell(const char* command) { return std::system(command); }

void TargetSystem::Sync() { ::sync(); }

timespec TargetSystem::MonotonicNow() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

std::string TargetSystem::Translate(const std::string& path, bool) { return path; }

FILE* TargetSystem::OpenStream(const char* path, const char* mode) {
    return std::fopen(path, mode);
}

int TargetSystem::CloseStream(FILE* stream) { return std::fclose(stream); }

int TargetSystem::SyncStream(FILE* stream) { return SyncStreamData(stream); }

int TargetSystem::Rename(const char* from, const char* to) { return std::rename(from, to); }

int TargetSystem::SyncDirectory(const char* path) { return SyncDirectoryEntries(path); }

}  // namespace platform
