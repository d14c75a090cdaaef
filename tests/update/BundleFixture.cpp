#include "tests/update/BundleFixture.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "platform/TargetSystem.h"
#include "tests/support/TempDir.h"
#include "update/Md5.h"

namespace fixture {

void UseTargetSystem() {
    static bool installed = false;
    if (!installed)
        platform::Install(new platform::TargetSystem());
    installed = true;
}

bool IsRoot() {
    return ::geteuid() == 0;
}

bundle::EntryHead Entry(uint8_t type, const std::string& path, uint16_t mode) {
    bundle::EntryHead head;
    head.type = type;
    head.mode = mode;
    head.SetPath(path);
    return head;
}

bundle::EntryHead FileEntry(const std::string& path, const std::string& contents, uint8_t type) {
    bundle::EntryHead head = Entry(type, path, 0100644);
    head.size = static_cast<uint32_t>(contents.size());
    Md5 md5;
    md5.Update(contents.data(), contents.size());
    md5.Final();
    std::memcpy(head.digest, md5.Digest(), Md5::kDigestSize);
    return head;
}

Bundle::Bundle(std::string path) : path_(std::move(path)) {
    UseTargetSystem();
    EXPECT_TRUE(writer_.Open(path_)) << path_;
}

Bundle& Bundle::File(const std::string& path, const std::string& contents, uint16_t mode,
                     bool lzo) {
    bundle::EntryHead head = Entry(bundle::kTypeFile, path, mode);
    EXPECT_TRUE(writer_.AddFile(head, contents, lzo));
    return *this;
}

Bundle& Bundle::Large(const std::string& path, const std::string& contents, uint16_t mode) {
    bundle::EntryHead head = FileEntry(path, contents, bundle::kTypeLargeFile);
    head.mode = mode;
    return Data(head, head.size, contents);
}

Bundle& Bundle::Dir(const std::string& path, uint16_t mode) {
    return Object(Entry(bundle::kTypeDirectory, path, mode));
}

Bundle& Bundle::Link(const std::string& path, const std::string& target) {
    bundle::EntryHead head = Entry(bundle::kTypeSymlink, path, 0120777);
    head.SetTarget(target);
    return Object(head);
}

Bundle& Bundle::Object(const bundle::EntryHead& head) {
    EXPECT_TRUE(writer_.AddObject(head));
    return *this;
}

Bundle& Bundle::Data(const bundle::EntryHead& head, uint32_t declaredLength,
                     const std::string& data) {
    EXPECT_TRUE(writer_.AddDataPart(head, declaredLength, data.data(), data.size()));
    return *this;
}

Bundle& Bundle::Bytes(const std::string& bytes) {
    EXPECT_TRUE(writer_.AddBytes(bytes.data(), bytes.size()));
    return *this;
}

std::string Bundle::Finish(const std::function<void(bundle::Head&)>& tamper) {
    EXPECT_TRUE(writer_.Finish(bundle::Head::Make(1, 100), tamper));
    return path_;
}

StepRun Steps(BundleReader& reader, int (BundleReader::*step)()) {
    StepRun run;
    testing::internal::CaptureStdout();
    for (int i = 0; i < 100000; ++i) {
        const int result = (reader.*step)();
        run.results.push_back(result);
        run.states.push_back(reader.State());
        if (result < 0 || result == 101)
            break;
    }
    run.out = testing::internal::GetCapturedStdout();
    return run;
}

StepRun Install(BundleReader& reader, const std::string& bundle, const std::string& root) {
    reader.SetBundlePath(bundle);
    reader.SetDestinationRoot(root);
    const StepRun verify = Steps(reader, &BundleReader::VerifyStep);
    EXPECT_EQ(verify.Last(), 101) << verify.out;
    return Steps(reader, &BundleReader::ExtractStep);
}

namespace {

void Walk(const std::string& top, const std::string& rel, std::map<std::string, std::string>* out) {
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& e :
         std::filesystem::directory_iterator(rel.empty() ? top : top + "/" + rel, ignored)) {
        names.push_back(e.path().filename().string());
    }
    for (const std::string& name : names) {
        const std::string path = rel.empty() ? name : rel + "/" + name;
        const std::string full = top + "/" + path;
        struct stat info {};
        if (::lstat(full.c_str(), &info) != 0)
            continue;
        char perms[16];
        std::snprintf(perms, sizeof(perms), " %04o", static_cast<unsigned>(info.st_mode & 07777));
        std::string what;
        if (S_ISDIR(info.st_mode)) {
            what = std::string("dir") + perms;
        } else if (S_ISREG(info.st_mode)) {
            what = std::string("file") + perms + " " + testsupport::ReadFile(full);
        } else if (S_ISLNK(info.st_mode)) {
            char target[4096];
            const ssize_t n = ::readlink(full.c_str(), target, sizeof(target));
            what = "link -> " + std::string(target, n > 0 ? static_cast<size_t>(n) : 0);
        } else if (S_ISFIFO(info.st_mode)) {
            what = std::string("fifo") + perms;
        } else {
            char device[64];
            std::snprintf(device, sizeof(device), "%s %u,%u",
                          S_ISCHR(info.st_mode) ? "char" : "block", major(info.st_rdev),
                          minor(info.st_rdev));
            what = device + std::string(perms);
        }
        (*out)[path] = what;
        if (S_ISDIR(info.st_mode))
            Walk(top, path, out);
    }
}

}  // namespace

std::map<std::string, std::string> Snapshot(const std::string& dir) {
    std::map<std::string, std::string> out;
    Walk(dir, "", &out);
    return out;
}

Sandbox::Sandbox() : root_(dir_ / "root") {
    UseTargetSystem();
    // The modes new files get decide which mode changes are printed.
    ::umask(022);
    testsupport::MakeDirs(root_);
    testsupport::MakeDirs(Outside() + "/sub");
    testsupport::WriteFile(Outside() + "/keep", "precious");
    ::chmod((Outside() + "/keep").c_str(), 0644);
}

std::map<std::string, std::string> Sandbox::OutsideState() const {
    std::map<std::string, std::string> all = Snapshot(dir_.Path());
    for (auto it = all.begin(); it != all.end();) {
        const bool inRoot = it->first == "root" || it->first.compare(0, 5, "root/") == 0;
        it = inRoot || it->first == "b.zup" ? all.erase(it) : std::next(it);
    }
    return all;
}

}  // namespace fixture
