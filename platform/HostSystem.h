#pragma once

#include <string>

#include "platform/HostClock.h"
#include "platform/HostFramebuffer.h"
#include "platform/HostMounts.h"
#include "platform/HostShell.h"
#include "platform/System.h"

namespace platform {

// A simulated device under a root folder, for the simulator and the tests. Console messages keep
// the device's own paths; only the calls below see the translated ones.
class HostSystem : public System {
public:
    HostSystem(const std::string& root, const HostFramebuffer::Config& framebuffer,
               double clockRate = 1.0);

    int OpenFramebuffer(const char* path) override;
    int QueryFixedInfo(int fd, fb_fix_screeninfo* info) override;
    int QueryVariableInfo(int fd, fb_var_screeninfo* info) override;
    void* MapFramebuffer(int fd, size_t length) override;
    void FramebufferWritten(int x, int y, int width, int height) override;
    void FramebufferFlushed() override;

    int OpenInput(const char* path) override;
    int QueryInputName(int fd, char* name, size_t length) override;
    ssize_t ReadInput(int fd, void* buffer, size_t length) override;

    int Mount(const char* source, const char* target, const char* fsType, unsigned long flags,
              const void* data) override;
    int Unmount(const char* target) override;
    int Shell(const char* command) override;
    void Sync() override {}

    timespec MonotonicNow() override;
    int64_t RealNanoseconds(int32_t ms) override { return clock_.RealNanoseconds(ms); }

    std::string Translate(const std::string& path, bool followFinal) override;
    FILE* OpenStream(const char* path, const char* mode) override;
    int CloseStream(FILE* stream) override;
    int SyncStream(FILE* stream) override;
    int Rename(const char* from, const char* to) override;
    int SyncDirectory(const char* path) override;

    HostFramebuffer& Framebuffer() { return framebuffer_; }
    HostClock& Clock() { return clock_; }
    HostMounts& Mounts() { return mounts_; }

private:
    HostFramebuffer framebuffer_;
    HostClock clock_;
    HostMounts mounts_;
    HostShell shell_;
};

}  // namespace platform
