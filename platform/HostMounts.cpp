#include "platform/HostMounts.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/RootedPath.h"

namespace platform {

HostMounts::HostMounts(std::string root) : root_(std::move(root)) {
    while (root_.size() > 1 && root_.back() == '/') root_.pop_back();
}

bool HostMounts::Resolve(const std::string& devicePath, bool followFinal,
                         std::string* resolved) const {
    auto readLink = [this](const std::string& path, std::string* target) {
        const std::string host = ToHost(path, nullptr);
        char buffer[4096];
        const ssize_t n = ::readlink(host.c_str(), buffer, sizeof(buffer));
        if (n < 0) return false;
        target->assign(buffer, static_cast<size_t>(n));
        return true;
    };
    return RootedPath::Resolve(devicePath, followFinal, readLink, resolved);
}

std::string HostMounts::ToHost(const std::string& resolved, int* mountIndex) const {
    int best = -1;
    size_t bestLength = 0;
    for (size_t i = 0; i < bindings_.size(); ++i) {
        const std::string& point = bindings_[i].point;
        const bool under = resolved == point ||
                           (resolved.compare(0, point.size(), point) == 0 &&
                            resolved.size() > point.size() && resolved[point.size()] == '/');
        if (under && point.size() >= bestLength) {
            best = static_cast<int>(i);
            bestLength = point.size();
        }
    }
    if (mountIndex != nullptr) *mountIndex = best;
    if (best < 0) return resolved == "/" ? root_ : root_ + resolved;
    return bindings_[best].source + resolved.substr(bestLength);
}

std::string HostMounts::Translate(const std::string& devicePath, bool followFinal) const {
    std::lock_guard<std::mutex> hold(lock_);
    std::string resolved;
    if (!Resolve(devicePath, followFinal, &resolved)) {
        return root_ + "/.tovrask-sim-link-loop/" + devicePath;
    }
    return ToHost(resolved, nullptr);
}

int HostMounts::Mount(const std::string& device, const std::string& mountPoint) {
    std::lock_guard<std::mutex> hold(lock_);
    std::string deviceResolved, pointResolved;
    if (!Resolve(device, true, &deviceResolved) || !Resolve(mountPoint, true, &pointResolved)) {
        return -1;  // errno from the resolution
    }
    const std::string source = ToHost(deviceResolved, nullptr);
    struct stat info {};
    if (::stat(source.c_str(), &info) != 0) {
        errno = ENOENT;
        return -1;
    }
    if (!S_ISDIR(info.st_mode)) {
        errno = ENOTBLK;
        return -1;
    }
    const std::string target = ToHost(pointResolved, nullptr);
    if (::stat(target.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        errno = ENOENT;
        return -1;
    }
    for (const Binding& b : bindings_) {
        if (b.point == pointResolved || b.source == source) {
            errno = EBUSY;
            return -1;
        }
    }
    bindings_.push_back({pointResolved, source});
    return 0;
}

int HostMounts::Unmount(const std::string& mountPoint) {
    std::lock_guard<std::mutex> hold(lock_);
    std::string resolved;
    if (!Resolve(mountPoint, true, &resolved)) return -1;
    for (size_t i = 0; i < bindings_.size(); ++i) {
        if (bindings_[i].point != resolved) continue;
        for (const Binding& other : bindings_) {
            if (other.point.size() > resolved.size() &&
                other.point.compare(0, resolved.size() + 1, resolved + "/") == 0) {
                errno = EBUSY;  // something is mounted inside it
                return -1;
            }
        }
        for (const auto& open : openStreams_) {
            if (open.second == resolved) {
                errno = EBUSY;  // a file on it is still open
                return -1;
            }
        }
        bindings_.erase(bindings_.begin() + static_cast<long>(i));
        return 0;
    }
    errno = EINVAL;
    return -1;
}

void HostMounts::StreamOpened(FILE* stream, const std::string& devicePath) {
    std::lock_guard<std::mutex> hold(lock_);
    std::string resolved;
    int index = -1;
    if (Resolve(devicePath, true, &resolved)) ToHost(resolved, &index);
    openStreams_[stream] = index < 0 ? std::string() : bindings_[index].point;
}

void HostMounts::StreamClosed(FILE* stream) {
    std::lock_guard<std::mutex> hold(lock_);
    openStreams_.erase(stream);
}

}  // namespace platform
