#pragma once

#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

// The simulated device's file-system namespace: the root folder, the media bound onto mount
// points under it, and the streams open on each medium. A block device ROOT/dev/NAME is present
// when it is a directory holding the medium's files; mounting binds it at the mount point.
// Symbolic links are followed as on the device: inside the root. The key thread translates its
// device's path while the main loop mounts, so every public call holds one lock.
class HostMounts {
public:
    explicit HostMounts(std::string root);

    const std::string& Root() const { return root_; }

    // Device path -> host path; on failure (a loop of links) returns a path that does not exist.
    std::string Translate(const std::string& devicePath, bool followFinal) const;

    // As the system calls: 0, or -1 with errno (ENOENT, ENOTBLK, EBUSY, EINVAL).
    int Mount(const std::string& device, const std::string& mountPoint);
    int Unmount(const std::string& mountPoint);

    void StreamOpened(FILE* stream, const std::string& devicePath);
    void StreamClosed(FILE* stream);

private:
    struct Binding {
        std::string point;   // resolved device path, no trailing separator
        std::string source;  // host directory of the medium
    };

    bool Resolve(const std::string& devicePath, bool followFinal, std::string* resolved) const;
    // Host path of a resolved device path; mountIndex gets the binding used, or -1.
    std::string ToHost(const std::string& resolved, int* mountIndex) const;

    std::string root_;
    std::vector<Binding> bindings_;
    std::map<FILE*, std::string> openStreams_;  // stream -> mount point it lies on ("" = root)
    mutable std::mutex lock_;                    // guards bindings_ and openStreams_
};

}  // namespace platform
