// Arbitrary bytes through the bundle reader's verification and extraction into a temporary root.
// The head's digest and checksum are fixed up so that extraction is reached. Beside the root lies
// a file no bundle may touch; finding it changed, or a reader that never finishes, is a crash.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/TargetSystem.h"
#include "update/BundleFormat.h"
#include "update/BundleReader.h"

namespace {

std::string top;

std::string Root() {
    return top + "/root";
}
std::string Bundle() {
    return top + "/b.zup";
}
std::string Keep() {
    return top + "/outside/keep";
}

void Write(const std::string& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Entries may have taken the write permission of their folders away.
void Clean() {
    namespace fs = std::filesystem;
    std::error_code ignored;
    fs::permissions(Root(), fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto it = fs::recursive_directory_iterator(Root(), ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
    }
    fs::remove_all(Root(), ignored);
}

void Run(int (BundleReader::*step)(), BundleReader& reader) {
    int result = 0;
    for (long i = 0; result >= 0 && result != 101; ++i) {
        if (i > 10000000)
            __builtin_trap();
        result = (reader.*step)();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::Install(new platform::TargetSystem());
    // The reader's lines would only slow the run down.
    if (std::freopen("/dev/null", "w", stdout) == nullptr)
        return 1;
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/tovrask-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        return 1;
    top = pattern;
    std::atexit([] {
        std::error_code ignored;
        Clean();
        std::filesystem::remove_all(top, ignored);
    });
    std::filesystem::create_directories(top + "/outside");
    Write(Keep(), "precious", 8);
    ::chmod(Keep().c_str(), 0644);
    return 0;
}

// The first byte chooses how the rest is read: even, as the body behind a valid head; odd, as a
// whole bundle, head included.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    std::vector<uint8_t> bytes;
    if ((data[0] & 1) == 0) {
        bytes.resize(bundle::kHeadSize);
        bundle::Head::Make(1, 100).Encode(bytes.data());
    }
    bytes.insert(bytes.end(), data + 1, data + size);
    bundle::Seal(bytes.data(), bytes.size());
    Write(Bundle(), bytes.data(), bytes.size());
    std::filesystem::create_directories(Root());

    BundleReader reader(0);
    reader.SetDestinationRoot(Root());
    reader.SetBundlePath(Bundle());
    Run(&BundleReader::VerifyStep, reader);
    Run(&BundleReader::ExtractStep, reader);

    struct stat info {};
    if (Read(Keep()) != "precious" || ::lstat(Keep().c_str(), &info) != 0 ||
        info.st_mode != (S_IFREG | 0644)) {
        __builtin_trap();
    }
    size_t names = 0;
    for (const auto& e : std::filesystem::directory_iterator(top)) {
        (void)e;
        ++names;
    }
    if (names != 3)
        __builtin_trap();  // root, b.zup, outside: nothing new beside the root
    Clean();
    return 0;
}
