#include "tools/zup/BundleLister.h"

#include <cstdio>
#include <cstring>

#include "file/FileC.h"
#include "platform/FileSystem.h"
#include "update/BundleFormat.h"

namespace zup {

namespace {

int Broken(const std::string& bundle, const char* why) {
    std::fflush(stdout);
    std::fprintf(stderr, "zup: %s: %s\n", bundle.c_str(), why);
    return 1;
}

// On standard error, so that standard output stays one line per entry.
void ShowSignature(const std::string& bundle) {
    const std::string sig = bundle + ".sig";
    struct stat info {};
    std::fflush(stdout);
    if (platform::Stat(sig, &info) == 0 && S_ISREG(info.st_mode)) {
        std::fprintf(stderr, "zup: %s: signature file %s (%lld bytes)\n", bundle.c_str(),
                     sig.c_str(), static_cast<long long>(info.st_size));
    } else {
        std::fprintf(stderr, "zup: %s: no signature file\n", bundle.c_str());
    }
}

}  // namespace

int List(const std::string& bundle) {
    file::FileC in;
    if (!in.Open(bundle, "r"))
        return Broken(bundle, "cannot open");
    const int64_t size = in.Size();
    uint8_t head[bundle::kHeadSize];
    if (in.Read(head, sizeof(head)) != static_cast<int>(sizeof(head)) ||
        std::memcmp(head, bundle::kMagic, sizeof(bundle::kMagic)) != 0) {
        return Broken(bundle, "not an update bundle");
    }
    for (;;) {
        uint8_t bytes[bundle::kEntryHeadSize];
        const int got = in.Read(bytes, sizeof(bytes));
        if (got == 0) {
            ShowSignature(bundle);
            return 0;
        }
        if (got != static_cast<int>(sizeof(bytes)))
            return Broken(bundle, "entry head cut short");
        const bundle::EntryHead entry = bundle::EntryHead::Decode(bytes);
        if (bundle::HasData(entry.type)) {
            uint8_t length[4];
            if (in.Read(length, 4) != 4)
                return Broken(bundle, "data length cut short");
            const int64_t end = in.Tell() + bundle::LoadLe32(length);
            if (end > size)
                return Broken(bundle, "data part cut short");
            in.Seek(end);
        }
        const char* compression = entry.compression == bundle::kStored  ? "none"
                                  : entry.compression == bundle::kLzo1x ? "lzo"
                                                                        : "?";
        const bool link = entry.type == bundle::kTypeSymlink;
        std::printf("%3u %06o %10u %-4s %s%s%s\n", entry.type, entry.mode, entry.size, compression,
                    entry.Path().c_str(), link ? " -> " : "", link ? entry.Target().c_str() : "");
    }
}

}  // namespace zup
