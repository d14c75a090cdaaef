#include "platform/RootedPath.h"

#include <cerrno>
#include <deque>
#include <vector>

namespace platform {

namespace {

void Split(const std::string& path, std::deque<std::string>* into, bool atFront) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    if (atFront) {
        into->insert(into->begin(), parts.begin(), parts.end());
    } else {
        into->insert(into->end(), parts.begin(), parts.end());
    }
}

std::string Join(const std::vector<std::string>& parts) {
    if (parts.empty()) return "/";
    std::string out;
    for (const std::string& p : parts) {
        out += '/';
        out += p;
    }
    return out;
}

}  // namespace

bool RootedPath::Resolve(const std::string& path, bool followFinal, const LinkReader& readLink,
                         std::string* out) {
    // A trailing separator names the directory a link points to, as the kernel reads it.
    if (!path.empty() && path.back() == '/') followFinal = true;
    std::deque<std::string> pending;
    Split(path, &pending, false);
    std::vector<std::string> done;
    int links = 0;
    while (!pending.empty()) {
        std::string part = pending.front();
        pending.pop_front();
        if (part == ".") continue;
        if (part == "..") {
            if (!done.empty()) done.pop_back();
            continue;
        }
        done.push_back(part);
        const bool last = pending.empty();
        if (last && !followFinal) break;
        std::string target;
        if (!readLink(Join(done), &target)) continue;
        if (++links > kMaxLinks) {
            errno = ELOOP;
            return false;
        }
        done.pop_back();
        if (!target.empty() && target[0] == '/') done.clear();
        Split(target, &pending, true);
    }
    *out = Join(done);
    return true;
}

}  // namespace platform
