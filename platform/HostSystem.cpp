#include "platform/HostSystem.h"

#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/MediumSync.h"

namespace platform {

HostSystem::HostSystem(const std::string& root, const HostFramebuffer::Config& framebuffer,
                       double clockRate)
    : framebuffer_(framebuffer), clock_(clockRate), mounts_(root), shell_(mounts_) {}

int HostSystem::OpenFramebuffer(const char*) { return framebuffer_.Open(); }

int HostSystem::QueryFixedInfo(int, fb_fix_screeninfo* info) {
    return framebuffer_.QueryFixed(info);
}

int HostSystem::QueryVariableInfo(int, fb_var_screeninfo* info) {
    return framebuffer_.QueryVariable(info);
}

void* HostSystem::MapFramebuffer(int, size_t length) { return framebuffer_.Map(length); }

void HostSystem::FramebufferWritten(int x, int y, int width, int height) {
    framebuffer_.Written(x, y, width, height);
}

void HostSystem::FramebufferFlushed() { framebuffer_.Flushed(); }

int HostSystem::OpenInput(const char* path) {
    return ::open(mounts_.Translate(path, true).c_str(), O_RDONLY);
}

int HostSystem::QueryInputName(int fd, char* name, size_t length) {
    return ::ioctl(fd, EVIOCGNAME(length), name);
}

ssize_t HostSystem::ReadInput(int fd, void* buffer, size_t length) {
    return ::read(fd, buffer, length);
}

int HostSystem::Mount(const char* source, const char* target, const char*, unsigned long,
                      const void*) {
    return mounts_.Mount(source, target);
}

int HostSystem::Unmount(const char* target) { return mounts_.Unmount(target); }

int HostSystem::Shell(const char* command) { return shell_.Run(command); }

timespec HostSystem::MonotonicNow() { return clock_.Now(); }

std::string HostSystem::Translate(const std::string& path, bool followFinal) {
    return mounts_.Translate(path, followFinal);
}

FILE* HostSystem::OpenStream(const char* path, const char* mode) {
    FILE* stream = std::fopen(mounts_.Translate(path, true).c_str(), mode);
    if (stream != nullptr) mounts_.StreamOpened(stream, path);
    return stream;
}

int HostSystem::CloseStream(FILE* stream) {
    mounts_.StreamClosed(stream);
    return std::fclose(stream);
}

int HostSystem::SyncStream(FILE* stream) { return SyncStreamData(stream); }

int HostSystem::Rename(const char* from, const char* to) {
    return std::rename(mounts_.Translate(from, false).c_str(), mounts_.Translate(to, false).c_str());
}

int HostSystem::SyncDirectory(const char* path) {
    return SyncDirectoryEntries(mounts_.Translate(path, true).c_str());
}

}  // namespace platform
