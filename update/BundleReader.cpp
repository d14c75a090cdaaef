#include "update/BundleReader.h"

#include <lzo/lzo1x.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

#include "platform/FileSystem.h"
#include "platform/RootedPath.h"
#include "update/BundleError.h"
#include "update/DeviceNumber.h"
#include "update/HeadChecksum.h"

using bundle::kChunkSize;

namespace {

enum State {
    sNew = 0,
    sVerifying = 1,
    sVerifyDone = 2,
    sVerified = 3,
    sEntryHead = 4,
    sCompare = 5,
    sDataLength = 6,
    sReadData = 7,
    sUnpack = 8,
    sWrite = 9,
    sCopyLarge = 10,
    sObject = 11,
    sMode = 12,
    sNextEntry = 13,
    sComplete = 101,
    sFailed = -1,
};

// Mode of the directories made on an entry's path.
constexpr mode_t kPathMode = 0750;
// Longest link target the kernel stores.
constexpr size_t kLinkMax = 4096;

// The names of a relative path, without empty and "." ones.
std::vector<std::string> Components(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start) {
            std::string part = path.substr(start, end - start);
            if (part != ".")
                parts.push_back(std::move(part));
        }
        start = end + 1;
    }
    return parts;
}

std::string Join(const std::string& dir, const std::string& name) {
    return dir == "/" ? "/" + name : dir + "/" + name;
}

// A path that names a folder ("a/b/", "a/b/.") is no name for a file: it would be written at the
// folder's own name.
bool NamesFolder(const std::string& path) {
    const size_t n = path.size();
    return (n >= 1 && path[n - 1] == '/') || (n >= 2 && path.compare(n - 2, 2, "/.") == 0) ||
           path == ".";
}

bool EndsWith(const std::string& name, const std::string& suffix) {
    return name.size() >= suffix.size() &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool StartsWith(const std::vector<std::string>& parts, const std::vector<std::string>& prefix) {
    return !prefix.empty() && parts.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), parts.begin());
}

uint32_t ChunkOf(size_t total, uint32_t done) {
    const size_t left = total - done;
    return left < kChunkSize ? static_cast<uint32_t>(left) : kChunkSize;
}

// A size taken from a bundle may be more than the device can hold: fail, never end the process.
bool Resize(std::vector<uint8_t>* bytes, size_t size) {
    try {
        bytes->resize(size);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

}  // namespace

BundleReader::BundleReader(uint32_t reserve)
    : bundleFile(new file::FileC()), destFile(new file::FileC()) {
    lzo_init();
    const size_t capacity = std::max<size_t>(reserve, kChunkSize);
    try {
        buffer.reserve(capacity);
        output.reserve(capacity);
    } catch (const std::bad_alloc&) {
        // They grow file by file instead.
    }
}

BundleReader::~BundleReader() = default;

void BundleReader::SetDestinationRoot(const std::string& path) {
    destRoot = path;
    if (!destRoot.empty() && destRoot.back() != '/')
        destRoot += '/';
}

void BundleReader::SetBundlePath(const std::string& path) {
    bundlePath = path;
    state = sNew;
    error = 0;
}

const char* BundleReader::ErrorText(int code) {
    return BundleErrorText(code);
}

bool BundleReader::WasExtracted(const std::string& path) const {
    return std::find(extracted.begin(), extracted.end(), path) != extracted.end();
}

bool BundleReader::HasInPlace(const std::string& path) const {
    return std::find(inPlace.begin(), inPlace.end(), path) != inPlace.end();
}

void BundleReader::HoldBack(const std::string& path, const std::string& held,
                            const std::vector<std::string>& reserved) {
    heldPath = Components(path);
    heldAs = Components(held);
    reservedPaths.clear();
    for (const std::string& name : reserved) reservedPaths.push_back(Components(name));
}

int BundleReader::Progress() {
    if (!bundleOpen || bundleSize == 0)
        return 0;
    const int64_t here = bundleFile->Tell();
    if (here <= 0)
        return 0;
    // 101 means done: a bundle that grew while open must not look finished.
    const uint64_t percent = static_cast<uint64_t>(here) * 100 / bundleSize;
    return percent > 100 ? 100 : static_cast<int>(percent);
}

void BundleReader::CloseBundle() {
    if (!bundleOpen)
        return;
    bundleFile->Close();
    bundleOpen = false;
}

int BundleReader::Fail(int code) {
    const char* text = ErrorText(code);
    if (text != nullptr)
        std::printf("%s\n", text);
    destFile->Close();
    // A file not yet complete is never left behind, not even beside its final name.
    newFile.Abandon();
    CloseBundle();
    state = sFailed;
    error = code;
    return code;
}

bool BundleReader::OpenHead() {
    if (bundleOpen)
        CloseBundle();
    if (!bundleFile->Open(bundlePath, "r")) {
        std::printf("Open failed %s\n", bundlePath.c_str());
        bundleOpen = false;
        std::memset(head, 0, sizeof(head));
        Fail(kErrorOpen);
        return false;
    }
    bundleOpen = true;
    const int64_t size = bundleFile->Size();
    bundleSize = size < 0 ? 0 : static_cast<uint64_t>(size);
    std::printf("Bundle file (re)opened, filesize %d kB\n", static_cast<int>(bundleSize / 1024));
    bundleFile->Seek(0);
    if (bundleFile->Read(head, bundle::kHeadSize) != static_cast<int>(bundle::kHeadSize)) {
        Fail(kErrorHeadRead);
        return false;
    }
    int code = 0;
    if (std::memcmp(head, bundle::kMagic, sizeof(bundle::kMagic)) != 0) {
        code = kErrorMagic;
    } else if (bundle::LoadLe16(head + 32) == 0) {
        code = kErrorType;
    } else if (bundle::LoadLe32(head + 8) != bundle::kVersion) {
        code = kErrorVersion;
    } else if (bundle::LoadLe32(head + 60) != HeadChecksum(head, bundle::kChecksummedSize)) {
        code = kErrorChecksum;
    }
    if (code != 0) {
        Fail(code);
        return false;
    }
    return true;
}

int BundleReader::VerifyStep() {
    switch (state) {
        case sNew: {
            extracted.clear();
            // The head check has printed its own line; the step reports the state error.
            if (!OpenHead())
                return Fail(kErrorVerifyState);
            bundleFile->Seek(bundle::kHeadSize);
            state = sVerifying;
            buffer.resize(kChunkSize);
            md5.Init();
            signature.Begin();
            signature.Update(head, bundle::kHeadSize);
            const bundle::Head h = bundle::Head::Decode(head);
            std::printf("ZUP Verify start - %d files, bundle type %d.\n",
                        static_cast<int>(h.fileCount), static_cast<int>(h.type));
            return 0;
        }
        case sVerifying: {
            const int n = bundleFile->Read(buffer.data(), kChunkSize);
            if (n < 0)
                return Fail(kErrorVerifyRead);
            md5.Update(buffer.data(), static_cast<size_t>(n));
            signature.Update(buffer.data(), static_cast<size_t>(n));
            if (n < static_cast<int>(kChunkSize))
                state = sVerifyDone;
            return Progress();
        }
        case sVerifyDone:
            md5.Final();
            if (!md5.Matches(head + 12))
                return Fail(kErrorDigest);
            if (signature.Required()) {
                const SignatureStatus status = signature.Check(bundlePath);
                if (status != SignatureStatus::kValid) {
                    std::printf("Signature error: %s\n", SignatureStatusText(status));
                    return Fail(kErrorSignature);
                }
            }
            std::printf("Verify success.\n");
            state = sVerified;
            return 101;
        default:
            return Fail(kErrorVerifyState);
    }
}

int BundleReader::ExtractStep() {
    switch (state) {
        case sVerified:
            return StepStart();
        case sEntryHead:
            return StepEntryHead();
        case sCompare:
            return StepCompare();
        case sDataLength:
            return StepDataLength();
        case sReadData:
            return StepReadData();
        case sUnpack:
            return StepUnpack();
        case sWrite:
            return StepWrite();
        case sCopyLarge:
            return StepCopyLarge();
        case sObject:
            return StepObject();
        case sMode:
            return StepMode();
        case sNextEntry:
            return StepNext();
        default:
            return Fail(kErrorExtractState);
    }
}

int BundleReader::StepStart() {
    bundleFile->Seek(bundle::kHeadSize);
    state = sEntryHead;
    inPlace.clear();
    std::printf("Extract start.\n");
    return 0;
}

int BundleReader::StepEntryHead() {
    if (bundleFile->Read(entry, bundle::kEntryHeadSize) !=
        static_cast<int>(bundle::kEntryHeadSize)) {
        return Fail(kErrorEntryHeadRead);
    }
    current = bundle::EntryHead::Decode(entry);
    // A name without its zero inside its field is no name at all.
    if (!current.PathTerminated() ||
        (current.type == bundle::kTypeSymlink && !current.TargetTerminated())) {
        return Fail(kErrorEntryHeadRead);
    }
    relativePath = current.Path();
    parts = Components(relativePath);
    heldBack = !heldPath.empty() && StartsWith(parts, heldPath);
    if (heldBack) {
        parts.erase(parts.begin(), parts.begin() + static_cast<long>(heldPath.size()));
        parts.insert(parts.begin(), heldAs.begin(), heldAs.end());
    }
    // Files are written beside their name under this suffix: an entry of that name would be lost.
    if (!parts.empty() && EndsWith(parts.back(), file::ReplacingFile::kSuffix))
        return Fail(kErrorCreate);
    if (std::find(parts.begin(), parts.end(), "..") != parts.end())
        return Fail(kErrorCreate);
    // Only a directory or a mode entry may name the root itself; anything else would replace it.
    if (parts.empty() && current.type != bundle::kTypePath &&
        current.type != bundle::kTypeDirectory) {
        return Fail(kErrorCreate);
    }
    if (!bundle::HasData(current.type)) {
        state = sObject;
        return Progress();
    }
    const int code = ResolveEntry(false, false, &fullPath);
    if (code != 0)
        return Fail(code);
    // What the name leads to is compared. A name whose links go round in a loop (or too far)
    // leads nowhere: there is nothing to compare, and the link itself is replaced when written.
    std::string existing;
    const bool leads = ResolveEntry(false, true, &existing) == 0;
    // Only a regular file is compared: opening a FIFO or a device node could block or read
    // hardware.
    struct stat info {};
    if (leads && !NamesFolder(relativePath) && platform::Lstat(existing, &info) == 0 &&
        S_ISREG(info.st_mode) && destFile->Open(existing, "r") &&
        destFile->Size() == static_cast<int64_t>(current.size)) {
        md5.Init();
        counter = 0;
        buffer.resize(kChunkSize);
        state = sCompare;
        return Progress();
    }
    destFile->Close();
    state = sDataLength;
    return Progress();
}

int BundleReader::StepCompare() {
    const uint32_t n = ChunkOf(current.size, counter);
    if (destFile->Read(buffer.data(), static_cast<int>(n)) != static_cast<int>(n)) {
        return Fail(kErrorDestinationRead);
    }
    md5.Update(buffer.data(), n);
    counter += n;
    if (counter == current.size) {
        destFile->Close();
        md5.Final();
        if (md5.Matches(current.digest)) {
            // Unchanged: jump over its data.
            uint32_t length = 0;
            if (!ReadDataLength(&length) || !DataFits(length))
                return Fail(kErrorExtractRead);
            bundleFile->Seek(bundleFile->Tell() + length);
            inPlace.push_back(relativePath);
            // What a cut left beside it while it was being written goes now.
            const std::string temp = file::ReplacingFile::TemporaryPath(fullPath);
            struct stat info {};
            if (platform::Lstat(temp, &info) == 0 && S_ISREG(info.st_mode))
                platform::Unlink(temp);
            state = sMode;
        } else {
            state = sDataLength;
        }
    }
    return Progress();
}

bool BundleReader::ReadDataLength(uint32_t* length) {
    uint8_t bytes[4];
    if (bundleFile->Read(bytes, 4) != 4)
        return false;
    *length = bundle::LoadLe32(bytes);
    return true;
}

bool BundleReader::DataFits(uint32_t length) const {
    const int64_t here = bundleFile->Tell();
    return here >= 0 && static_cast<uint64_t>(here) + length <= bundleSize;
}

int BundleReader::StepDataLength() {
    counter = 0;
    uint32_t length = 0;
    if (!ReadDataLength(&length))
        return Fail(kErrorExtractRead);
    // A large file's own checks come first; data running past the end is found after them.
    if (current.type == bundle::kTypeLargeFile) {
        if (current.compression != bundle::kStored)
            return Fail(kErrorLargeCompressed);
        if (length != current.size)
            return Fail(kErrorLargeSize);
    }
    if (!DataFits(length))
        return Fail(kErrorExtractRead);
    if (current.type == bundle::kTypeLargeFile) {
        buffer.resize(kChunkSize);
        state = sCopyLarge;
    } else {
        if (!Resize(&buffer, length))
            return Fail(kErrorExtractRead);
        state = sReadData;
    }
    std::printf("Extracting: %s [%d kb] %d\n", relativePath.c_str(),
                static_cast<int>(current.size / 1024), Progress());
    return Progress();
}

int BundleReader::StepReadData() {
    const uint32_t n = ChunkOf(buffer.size(), counter);
    if (bundleFile->Read(buffer.data() + counter, static_cast<int>(n)) != static_cast<int>(n)) {
        return Fail(kErrorExtractRead);
    }
    counter += n;
    if (counter == buffer.size())
        state = sUnpack;
    return Progress();
}

int BundleReader::StepUnpack() {
    if (current.compression == bundle::kStored) {
        // The stored bytes are the contents; no second copy of a whole file is needed.
        output.swap(buffer);
    } else if (current.compression == bundle::kLzo1x) {
        const int code = Decompress();
        if (code != 0)
            return Fail(code);
    } else {
        return Fail(kErrorCompression);
    }
    md5.Init();
    md5.Update(output.data(), output.size());
    md5.Final();
    if (!md5.Matches(current.digest))
        return Fail(kErrorFileDigest);
    if (!OpenForWriting())
        return Fail(kErrorCreate);
    counter = 0;
    state = sWrite;
    return Progress();
}

int BundleReader::Decompress() {
    if (buffer.size() < 4)
        return kErrorSizeMismatch;
    const uint32_t size = bundle::LoadBe32(buffer.data());
    if (size != current.size)
        return kErrorSizeMismatch;
    const size_t packed = buffer.size() - 4;
    // LZO1X makes at most 255 bytes of one compressed byte: a larger size cannot come out, and
    // is refused before its buffer is allocated.
    if (static_cast<uint64_t>(size) > static_cast<uint64_t>(packed) * 256) {
        return kErrorSizeMismatch;
    }
    if (!Resize(&output, size))
        return kErrorLzo;
    lzo_uint produced = size;
    const int result =
        lzo1x_decompress_safe(buffer.data() + 4, packed, output.data(), &produced, nullptr);
    if (result != LZO_E_OK)
        return kErrorLzo;
    if (produced != size)
        return kErrorSizeMismatch;
    return 0;
}

bool BundleReader::OpenForWriting() {
    if (NamesFolder(relativePath) || CreatePath() != 0)
        return false;
    // A file replaces a link, a node or an empty folder at its name; a non-empty folder stays.
    // An old file stays readable at its name until the new one is renamed over it.
    struct stat info {};
    if (platform::Lstat(fullPath, &info) == 0 && !S_ISREG(info.st_mode)) {
        platform::Remove(fullPath);
        if (platform::Lstat(fullPath, &info) == 0)
            return false;
    }
    return newFile.Open(fullPath);
}

int BundleReader::CommitWritten() {
    if (!newFile.Commit())
        return Fail(kErrorWrite);
    state = sMode;
    return 0;
}

int BundleReader::StepWrite() {
    const uint32_t n = ChunkOf(output.size(), counter);
    if (newFile.Write(output.data() + counter, static_cast<int>(n)) != static_cast<int>(n)) {
        return Fail(kErrorWrite);
    }
    counter += n;
    std::printf(".");
    if (counter == output.size()) {
        if (CommitWritten() != 0)
            return error;
        extracted.push_back(relativePath);
        inPlace.push_back(relativePath);
    }
    return Progress();
}

int BundleReader::StepCopyLarge() {
    if (!newFile.IsOpen() && !OpenForWriting())
        return Fail(kErrorCreate);
    const uint32_t n = ChunkOf(current.size, counter);
    if (bundleFile->Read(buffer.data(), static_cast<int>(n)) != static_cast<int>(n)) {
        return Fail(kErrorExtractRead);
    }
    if (newFile.Write(buffer.data(), static_cast<int>(n)) != static_cast<int>(n)) {
        return Fail(kErrorWrite);
    }
    counter += n;
    if (counter == current.size) {
        if (CommitWritten() != 0)
            return error;
        inPlace.push_back(relativePath);
    }
    return Progress();
}

int BundleReader::StepObject() {
    // An object that cannot be made (its directory is a link going round in a loop, say) is
    // left out, and the extraction goes on, as with any other object that fails to be made.
    if (CreatePath() != 0) {
        state = sNextEntry;
        return Progress();
    }
    struct stat info {};
    const bool exists = platform::Lstat(fullPath, &info) == 0;
    switch (current.type) {
        case bundle::kTypeSymlink: {
            const std::string target = current.Target();
            bool make = true;
            if (exists) {
                char link[kLinkMax];
                const ssize_t n = platform::ReadLink(fullPath, link, sizeof(link));
                if (n <= 0) {
                    make = false;  // not a link: left as it is
                } else if (static_cast<size_t>(n) == target.size() &&
                           std::memcmp(link, target.data(), target.size()) == 0) {
                    make = false;
                } else {
                    platform::Remove(fullPath);
                }
            }
            if (make) {
                const int result = platform::MakeSymlink(target, fullPath);
                std::printf("Create sym link to %s - %d\n", target.c_str(), result);
            }
            break;
        }
        case bundle::kTypeCharDevice:
        case bundle::kTypeBlockDevice: {
            const dev_t device = static_cast<dev_t>(MakeDeviceNumber(current.major, current.minor));
            if (exists && info.st_rdev == device)
                break;
            if (exists) {
                std::printf("Removing special file %s.\n", relativePath.c_str());
                platform::Remove(fullPath);
            }
            platform::MakeNode(fullPath, current.mode, device);
            break;
        }
        case bundle::kTypeFifo:
            if (exists)
                platform::Remove(fullPath);
            platform::MakeNode(fullPath, current.mode, 0);
            break;
        default:
            break;
    }
    state = sMode;
    return Progress();
}

int BundleReader::StepMode() {
    // A link has no mode of its own, and a mode change would follow it. A link entry's mode word
    // is a link's: it is never given to whatever else stands at its path (a file left there
    // would become writable by everyone).
    //
    // A directory entry changes only a directory (or, through a link, the directory it leads
    // to): a file, a FIFO or a node standing at its name keeps its mode.
    struct stat info {};
    if (current.type != bundle::kTypeSymlink && platform::Lstat(fullPath, &info) == 0 &&
        !S_ISLNK(info.st_mode) && info.st_mode != static_cast<mode_t>(current.mode) &&
        (current.type != bundle::kTypeDirectory || S_ISDIR(info.st_mode))) {
        std::printf("Change file mode for %s to %d\n", relativePath.c_str(),
                    static_cast<int>(current.mode));
        // A directory's link count is its subdirectories, not names shared with others.
        const bool shared = copyLinkedFiles && !S_ISDIR(info.st_mode) && info.st_nlink > 1;
        if (!shared || ChangeModeOnCopy(info))
            platform::ChangeMode(fullPath, current.mode);
    }
    state = sNextEntry;
    return Progress();
}

bool BundleReader::ChangeModeOnCopy(const struct stat& info) {
    if (!S_ISREG(info.st_mode)) {
        // A node or a FIFO: made again beside its name, with its number, and renamed over it.
        const std::string temp = file::ReplacingFile::TemporaryPath(fullPath);
        platform::Remove(temp);
        if (platform::MakeNode(temp, info.st_mode, info.st_rdev) == 0 &&
            platform::Rename(temp, fullPath) == 0) {
            return true;
        }
        platform::Remove(temp);
        return false;
    }
    // The whole file at once: only the workstation's tool asks for this.
    file::FileC original;
    if (!original.Open(fullPath, "r") || !newFile.Open(fullPath))
        return false;
    std::vector<uint8_t> chunk(kChunkSize);
    int64_t copied = 0;
    int n = 0;
    while ((n = original.Read(chunk.data(), static_cast<int>(chunk.size()))) > 0) {
        if (newFile.Write(chunk.data(), n) != n)
            break;
        copied += n;
    }
    // A read that stopped early would put a shortened file in place.
    if (copied != static_cast<int64_t>(info.st_size)) {
        newFile.Abandon();
        return false;
    }
    return newFile.Commit();
}

int BundleReader::StepNext() {
    state = sEntryHead;
    if (bundleFile->Tell() == static_cast<int64_t>(bundleSize)) {
        CloseBundle();
        std::printf("Bundle extraction is complete.\n");
        state = sComplete;
        return 101;
    }
    return Progress();
}

std::string BundleReader::FullPath(const std::string& resolved) const {
    return resolved == "/" ? destRoot : destRoot + resolved.substr(1);
}

int BundleReader::ResolveEntry(bool create, bool followFinal, std::string* full) {
    const platform::RootedPath::LinkReader readLink = [this](const std::string& path,
                                                             std::string* target) {
        char link[kLinkMax];
        const ssize_t n = platform::ReadLink(FullPath(path), link, sizeof(link));
        if (n <= 0)
            return false;
        target->assign(link, static_cast<size_t>(n));
        return true;
    };
    // A directory entry is itself the last directory to make, as a link to one is followed.
    const size_t dirs =
        current.type == bundle::kTypeDirectory || parts.empty() ? parts.size() : parts.size() - 1;
    std::string dir = "/";
    for (size_t i = 0; i < dirs; ++i) {
        std::string next;
        if (!platform::RootedPath::Resolve(Join(dir, parts[i]), true, readLink, &next)) {
            return kErrorCreate;
        }
        if (create) {
            const std::string path = FullPath(next);
            struct stat info {};
            if (platform::Lstat(path, &info) != 0) {
                // A link whose target is missing is not followed to make that target: on the
                // device nothing can be made through it.
                if (platform::Lstat(FullPath(Join(dir, parts[i])), &info) == 0 &&
                    S_ISLNK(info.st_mode)) {
                    return kErrorCreate;
                }
                std::printf("Creating path: %s\n", path.c_str());
                platform::MakeDirectory(path, kPathMode);
            }
        }
        dir = next;
    }
    std::string resolved = dir;
    if (dirs < parts.size()) {
        resolved = Join(dir, parts.back());
        std::string followed;
        if (followFinal) {
            if (!platform::RootedPath::Resolve(resolved, true, readLink, &followed)) {
                return kErrorCreate;
            }
            resolved = followed;
        }
    }
    // A held-back name reached through a link would take effect at once, and the names it is held
    // at belong to the installation: an entry that reaches any of them otherwise is refused.
    const auto reaches = [&resolved](const std::vector<std::string>& names) {
        std::string path;
        for (const std::string& name : names) path += "/" + name;
        return !names.empty() &&
               (resolved == path || resolved.compare(0, path.size() + 1, path + "/") == 0);
    };
    if (reaches(heldPath) || (!heldBack && reaches(heldAs)))
        return kErrorCreate;
    for (const std::vector<std::string>& reserved : reservedPaths) {
        if (reaches(reserved))
            return kErrorCreate;
    }
    *full = FullPath(resolved);
    return 0;
}
