#pragma once

#include <functional>
#include <string>

namespace platform {

// Resolves a path the way a process chrooted into a tree would: symbolic links met on the way are
// followed inside the tree (an absolute target starts again at the tree's top), ".." never climbs
// above the top, and at most 40 links are followed. Used where a tree on disk stands for a root
// file system: the simulated device, and an update installed onto the NAND.
class RootedPath {
public:
    // Given a resolved path inside the tree ("/a/b", never holding links before its last
    // component), says whether its last component is a symbolic link and, if so, its target.
    using LinkReader = std::function<bool(const std::string& path, std::string* target)>;

    static constexpr int kMaxLinks = 40;

    // path is taken from the tree's top whether or not it starts with "/". On success out is the
    // resolved path, "/" or "/a/b" with no "." or ".." and no empty components. The last
    // component's link is followed only if followFinal. Fails (false, errno ELOOP) after too many
    // links.
    static bool Resolve(const std::string& path, bool followFinal, const LinkReader& readLink,
                        std::string* out);
};

}  // namespace platform
