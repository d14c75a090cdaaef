#pragma once

#include "platform/System.h"

namespace platform {

// The device: every call is the real one and paths are used as they are.
class TargetSystem : public System {
public:
    int OpenFramebuffer(const char* path) override;
    int QueryFixedInfo(int fd, fb_fix_screeninfo* info) override;
    int QueryVariableInfo(int fd, fb_var_screeninfo* info) override;
    void* MapFramebuffer(int fd, size_t length) override;
    void FramebufferWritten(int, int, int, int) override {}
    void FramebufferFlushed() override {}

    int OpenInput(const char* path) override;
    int QueryInputName(int fd, char* name, size_t length) override;
    ssize_t ReadInput(int fd, void* buffer, size_t length) override;

    int Mount(const char* source, const char* target, const char* fsType, unsigned long flags,
              const void* data) override;
    int Unmount(const char* target) override;
    int Shell(const char* command) override;
    void Sync() override;

    timespec MonotonicNow() override;
    int64_t RealNanoseconds(int32_t ms) override { return static_cast<int64_t>(ms) * 1000000; }

    std::string Translate(const std::string& path, bool followFinal) override;
    FILE* OpenStream(const char* path, const char* mode) override;
    int CloseStream(FILE* stream) override;
    int SyncStream(FILE* stream) override;
    int Rename(const char* from, const char* to) override;
    int SyncDirectory(const char* path) override;
};

}  // namespace platform
