#pragma once

#include <linux/fb.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <dirent.h>

namespace platform {

// The one boundary between the program and the operating system for the device's own interfaces:
// the framebuffer, the key devices, mounts, the system shell, the monotonic clock and every
// absolute path the program touches. The device build installs the target backend (the real
// calls, paths unchanged); the simulator and the tests install the host backend, which plays a
// device under a root folder. Calls report failure like the system calls they stand for: -1 (or
// null) with errno set.
class System {
public:
    virtual ~System() = default;

    // Framebuffer.
    virtual int OpenFramebuffer(const char* path) = 0;
    virtual int QueryFixedInfo(int fd, fb_fix_screeninfo* info) = 0;
    virtual int QueryVariableInfo(int fd, fb_var_screeninfo* info) = 0;
    // MAP_FAILED on failure.
    virtual void* MapFramebuffer(int fd, size_t length) = 0;
    // Told of each area (in pixels) a flush copied into the mapped memory, before the flush's
    // notice below.
    virtual void FramebufferWritten(int x, int y, int width, int height) = 0;
    // Told after every copy of the off-screen picture into the mapped memory.
    virtual void FramebufferFlushed() = 0;

    // Key input devices.
    virtual int OpenInput(const char* path) = 0;
    virtual int QueryInputName(int fd, char* name, size_t length) = 0;
    // Blocking read of input_event records.
    virtual ssize_t ReadInput(int fd, void* buffer, size_t length) = 0;

    // Storage.
    virtual int Mount(const char* source, const char* target, const char* fsType,
                      unsigned long flags, const void* data) = 0;
    virtual int Unmount(const char* target) = 0;
    // The system shell; returns what system() returns.
    virtual int Shell(const char* command) = 0;
    // Flushes all file-system buffers.
    virtual void Sync() = 0;

    // Monotonic clock.
    virtual timespec MonotonicNow() = 0;
    // The real time in which the monotonic clock advances by ms milliseconds: how long the
    // program may block to let that much of its time pass. 0 when the clock does not run by itself.
    virtual int64_t RealNanoseconds(int32_t ms) = 0;

    // Paths. Translate gives the path the operating system must be asked for; followFinal says
    // whether a symbolic link in the last component is followed (stat) or not (lstat, unlink).
    virtual std::string Translate(const std::string& path, bool followFinal) = 0;
    // Streams are opened and closed here so that a backend can tell which file systems are busy.
    virtual FILE* OpenStream(const char* path, const char* mode) = 0;
    virtual int CloseStream(FILE* stream) = 0;
    // Puts a stream's contents on the medium (the C library's buffer, then fsync): what a power
    // cut must not take back.
    virtual int SyncStream(FILE* stream) = 0;
    // Replaces `to` by `from` in one step; neither final link is followed.
    virtual int Rename(const char* from, const char* to) = 0;
    // Puts a directory's entries (names made, renamed or removed) on the medium.
    virtual int SyncDirectory(const char* path) = 0;
};

// The backend chosen by the entry point; it stays installed for the life of the process.
System& Current();
void Install(System* system);

}  // namespace platform
