#include "tools/zup/TreeBundler.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "file/FileC.h"
#include "platform/FileSystem.h"
#include "update/BundleFormat.h"
#include "update/BundleWriter.h"
#include "update/DeviceNumber.h"

namespace zup {

namespace {

// Longest path or link target a name field holds with its terminating zero.
constexpr size_t kLongestName = bundle::kNameField - 1;

struct Item {
    std::string path;  // relative to the root
    struct stat info;
    std::string target;  // links
};

bool Complain(const std::string& what, const std::string& why) {
    std::fprintf(stderr, "zup: %s: %s\n", what.c_str(), why.c_str());
    return false;
}

bool Collect(const std::string& root, std::string dir, std::vector<Item>* items) {
    const std::string full = dir.empty() ? root : root + "/" + dir;
    DIR* listing = platform::OpenDirectory(full);
    if (listing == nullptr)
        return Complain(full, std::strerror(errno));
    std::vector<std::string> names;
    while (dirent* e = ::readdir(listing)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
            names.push_back(e->d_name);
        }
    }
    ::closedir(listing);
    for (const std::string& name : names) {
        Item item;
        item.path = dir.empty() ? name : dir + "/" + name;
        const std::string path = root + "/" + item.path;
        if (platform::Lstat(path, &item.info) != 0)
            return Complain(path, std::strerror(errno));
        if (S_ISLNK(item.info.st_mode)) {
            char target[4096];
            const ssize_t n = platform::ReadLink(path, target, sizeof(target));
            if (n < 0)
                return Complain(path, std::strerror(errno));
            item.target.assign(target, static_cast<size_t>(n));
        }
        const bool isDir = S_ISDIR(item.info.st_mode);
        items->push_back(std::move(item));
        if (isDir && !Collect(root, items->back().path, items))
            return false;  // copied: items grows
    }
    return true;
}

// Whatever a bundle cannot carry is refused before anything is written.
bool Storable(const Item& item) {
    const mode_t type = item.info.st_mode & S_IFMT;
    if (item.path.size() > kLongestName)
        return Complain(item.path, "path longer than 239 bytes");
    if (type == S_IFSOCK)
        return Complain(item.path, "a socket cannot be stored");
    if (type == S_IFLNK && item.target.size() > kLongestName) {
        return Complain(item.path, "link target longer than 239 bytes");
    }
    if (type == S_IFREG && static_cast<uint64_t>(item.info.st_size) > UINT32_MAX) {
        return Complain(item.path, "file of 4 GiB or more");
    }
    if ((type == S_IFCHR || type == S_IFBLK) &&
        (DeviceMajor(item.info.st_rdev) > 0xFFFF || DeviceMinor(item.info.st_rdev) > 0xFFFF)) {
        return Complain(item.path, "device number does not fit in 16 bits");
    }
    if (type != S_IFDIR && type != S_IFREG && type != S_IFLNK && type != S_IFCHR &&
        type != S_IFBLK && type != S_IFIFO) {
        return Complain(item.path, "unknown kind of file");
    }
    return true;
}

void ReadWhole(file::FileC& in, std::string* contents) {
    char chunk[bundle::kChunkSize];
    int n = 0;
    do {
        n = in.Read(chunk, sizeof(chunk));
        contents->append(chunk, static_cast<size_t>(n));
    } while (n == static_cast<int>(sizeof(chunk)));
}

bool AddItem(BundleWriter& writer, const Options& options, const std::string& root,
             const Item& item) {
    bundle::EntryHead head;
    head.SetPath(item.path);
    head.mode = static_cast<uint16_t>(item.info.st_mode);
    const std::string path = root + "/" + item.path;
    switch (item.info.st_mode & S_IFMT) {
        case S_IFDIR:
            head.type = bundle::kTypeDirectory;
            return writer.AddObject(head);
        case S_IFLNK:
            head.type = bundle::kTypeSymlink;
            head.SetTarget(item.target);
            return writer.AddObject(head);
        case S_IFCHR:
        case S_IFBLK:
            head.type =
                S_ISCHR(item.info.st_mode) ? bundle::kTypeCharDevice : bundle::kTypeBlockDevice;
            head.major = static_cast<uint16_t>(DeviceMajor(item.info.st_rdev));
            head.minor = static_cast<uint16_t>(DeviceMinor(item.info.st_rdev));
            return writer.AddObject(head);
        case S_IFIFO:
            head.type = bundle::kTypeFifo;
            return writer.AddObject(head);
        default:
            break;
    }
    file::FileC in;
    if (!in.Open(path, "r"))
        return Complain(path, std::strerror(errno));
    const uint32_t size = static_cast<uint32_t>(item.info.st_size);
    if (size >= options.largeThreshold) {
        head.type = bundle::kTypeLargeFile;
        head.size = size;
        if (!writer.AddStream(head, in))
            return Complain(path, "read or write failed");
        return true;
    }
    // Regular files are held whole, here as on the device.
    head.type = bundle::kTypeFile;
    try {
        std::string contents;
        ReadWhole(in, &contents);
        // A short read is an error or a file that changed under us: never a shorter file.
        if (contents.size() != size)
            return Complain(path, "could not be read whole (changed while read?)");
        if (!writer.AddFile(head, contents, options.lzo))
            return Complain(path, "write failed");
    } catch (const std::bad_alloc&) {
        return Complain(path, "too big to hold in memory; lower --large-threshold");
    }
    return true;
}

}  // namespace

int CreateBundle(const Options& options) {
    struct stat rootInfo {};
    if (platform::Stat(options.rootDir, &rootInfo) != 0 || !S_ISDIR(rootInfo.st_mode)) {
        Complain(options.rootDir, "not a directory");
        return 1;
    }
    std::vector<Item> items;
    if (!Collect(options.rootDir, "", &items))
        return 1;
    // Bytewise order puts parents before children, and one tree always gives the same bundle.
    std::sort(items.begin(), items.end(),
              [](const Item& a, const Item& b) { return a.path < b.path; });

    // The bundle may be written inside the tree it holds: it is never an entry of itself (an
    // existing one keeps its inode when it is rewritten).
    struct stat outInfo {};
    const bool outExists = platform::Stat(options.output, &outInfo) == 0;
    const auto isOutput = [&](const Item& item) {
        return outExists && item.info.st_dev == outInfo.st_dev &&
               item.info.st_ino == outInfo.st_ino;
    };
    size_t entries = 0;
    for (const Item& item : items) {
        if (isOutput(item))
            continue;
        if (!Storable(item))
            return 1;
        ++entries;
    }
    // A bundle without entries verifies but can never be extracted.
    if (entries == 0) {
        Complain(options.rootDir, "nothing to bundle: the tree is empty");
        return 1;
    }
    BundleWriter writer;
    if (!writer.Open(options.output)) {
        Complain(options.output, std::strerror(errno));
        return 1;
    }
    bool ok = true;
    for (size_t i = 0; ok && i < items.size(); ++i) {
        if (!isOutput(items[i]))
            ok = AddItem(writer, options, options.rootDir, items[i]);
    }
    if (ok && !writer.Finish(bundle::Head::Make(options.bundleType, options.contentVersion))) {
        ok = Complain(options.output, "write failed");
    }
    if (!ok) {
        writer.Abandon();
        platform::Unlink(options.output);
        return 1;
    }
    return 0;
}

}  // namespace zup
