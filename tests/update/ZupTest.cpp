// zup end to end: the program of this build (through the emulator in a cross build) on trees
// and bundles made by the test.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tests/support/Subprocess.h"
#include "tests/support/TempDir.h"
#include "tests/update/BundleFixture.h"

using testsupport::Exists;
using testsupport::MakeDirs;
using testsupport::ProcessResult;
using testsupport::ReadFile;
using testsupport::RunProgram;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

ProcessResult Zup(const std::vector<std::string>& args) {
    return RunProgram("zup", args);
}

void Put(const std::string& path, const std::string& contents, mode_t mode) {
    const size_t slash = path.rfind('/');
    MakeDirs(path.substr(0, slash));
    ASSERT_TRUE(WriteFile(path, contents)) << path;
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
}

void Symlink(const std::string& target, const std::string& path) {
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0) << path;
}

std::string Noise(size_t n) {
    std::string bytes;
    uint32_t x = 12345;
    for (size_t i = 0; i < n; ++i) {
        x = x * 1103515245u + 12345u;
        bytes += static_cast<char>(x >> 24);
    }
    return bytes;
}

TEST(ZupTest, ExtractGivesBackTheTreeThatWasBundled) {
    TempDir dir;
    const std::string tree = dir / "tree";
    Put(tree + "/etc/hostname", "arvel\n", 0644);
    Put(tree + "/etc/shadow", "root:*:0:0\n", 0600);
    Put(tree + "/etc/odd name \xc3\xbc", "odd\n", 0644);
    std::string script;
    for (int i = 0; i < 400; ++i)
        script += "echo line " + std::to_string(i % 10) + "\n";
    Put(tree + "/bin/tool", script, 0755);
    Put(tree + "/bin/su", "setuid\n", 04755);
    Put(tree + "/usr/lib/blob", Noise(30000), 0644);
    Put(tree + "/usr/share/big", Noise(40000), 0640);
    Put(tree + "/var/log/empty", "", 0644);
    MakeDirs(tree + "/var/empty");
    ::chmod((tree + "/var/empty").c_str(), 0700);
    MakeDirs(tree + "/opt/ro");
    ::chmod((tree + "/opt/ro").c_str(), 0555);
    Symlink("tool", tree + "/bin/sh");
    Symlink("/usr/share/zoneinfo/UTC", tree + "/etc/localtime");
    Symlink("usr/lib", tree + "/lib");
    MakeDirs(tree + "/run");
    ASSERT_EQ(::mkfifo((tree + "/run/fifo").c_str(), 0640), 0);
    ::chmod((tree + "/run/fifo").c_str(), 0640);
    if (fixture::IsRoot()) {
        MakeDirs(tree + "/dev");
        ASSERT_EQ(::mknod((tree + "/dev/null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
        ASSERT_EQ(::mknod((tree + "/dev/sda1").c_str(), S_IFBLK | 0660, makedev(8, 1)), 0);
        ASSERT_EQ(::mknod((tree + "/dev/big").c_str(), S_IFCHR | 0600, makedev(300, 70000)), 0);
        ::chmod((tree + "/dev/null").c_str(), 0666);
    }

    const ProcessResult create =
        Zup({"create", "-o", dir / "b.zup", "--large-threshold", "32768", tree});
    // 70000 does not fit in a 16-bit minor.
    if (fixture::IsRoot()) {
        EXPECT_EQ(create.status, 1);
        EXPECT_NE(create.err.find("dev/big: device number does not fit in 16 bits"),
                  std::string::npos)
            << create.err;
        EXPECT_FALSE(Exists(dir / "b.zup"));
        ASSERT_EQ(::unlink((tree + "/dev/big").c_str()), 0);
    }
    const ProcessResult made =
        Zup({"create", "-o", dir / "b.zup", "--large-threshold", "32768", tree});
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.err, "");

    const ProcessResult list = Zup({"list", dir / "b.zup"});
    ASSERT_EQ(list.status, 0) << list.err;
    ASSERT_EQ(script.size(), 4800u);
    EXPECT_NE(list.out.find("  0 100755       4800 lzo  bin/tool\n"), std::string::npos)
        << list.out;
    EXPECT_NE(list.out.find("  0 100644      30000 none usr/lib/blob\n"), std::string::npos);
    EXPECT_NE(list.out.find("  7 100640      40000 none usr/share/big\n"), std::string::npos);
    EXPECT_NE(list.out.find("  2 120777          0 none lib -> usr/lib\n"), std::string::npos);
    EXPECT_NE(list.out.find("  6 010640          0 none run/fifo\n"), std::string::npos);

    MakeDirs(dir / "out");
    const ProcessResult extract = Zup({"extract", dir / "b.zup", dir / "out"});
    ASSERT_EQ(extract.status, 0) << extract.out << extract.err;
    EXPECT_NE(extract.out.find("Verify success.\nExtract start.\n"), std::string::npos);
    EXPECT_NE(extract.out.find("Bundle extraction is complete.\n"), std::string::npos);
    EXPECT_EQ(fixture::Snapshot(dir / "out"), fixture::Snapshot(tree));

    // Extracting again finds everything in place.
    const ProcessResult again = Zup({"extract", dir / "b.zup", dir / "out"});
    ASSERT_EQ(again.status, 0) << again.out << again.err;
    EXPECT_EQ(again.out.find("Extracting: etc/hostname"), std::string::npos) << again.out;
    EXPECT_EQ(fixture::Snapshot(dir / "out"), fixture::Snapshot(tree));
}

// A tree made with cp -al shares its files with the tree it came from: extracting into it
// changes nothing in the other, not even a mode.
TEST(ZupTest, ExtractLeavesFilesHardLinkedFromOutsideAlone) {
    TempDir dir;
    Put(dir / "tree/bin/tool", "tool\n", 0755);
    Put(dir / "tree/etc/conf", "new\n", 0600);
    const ProcessResult made = Zup({"create", "-o", dir / "b.zup", dir / "tree"});
    ASSERT_EQ(made.status, 0) << made.err;
    Put(dir / "old/bin/tool", "tool\n", 0644);  // the same contents, another mode
    Put(dir / "old/etc/conf", "old\n", 0644);
    MakeDirs(dir / "out/bin");
    MakeDirs(dir / "out/etc");
    for (const char* name : {"bin/tool", "etc/conf"}) {
        ASSERT_EQ(::link((dir / "old/" + name).c_str(), (dir / "out/" + name).c_str()), 0);
    }
    const ProcessResult extract = Zup({"extract", dir / "b.zup", dir / "out"});
    ASSERT_EQ(extract.status, 0) << extract.out << extract.err;
    EXPECT_NE(extract.out.find("Change file mode for bin/tool to 33261\n"), std::string::npos)
        << extract.out;
    const std::map<std::string, std::string> old = {{"bin", "dir 0755"},
                                                    {"bin/tool", "file 0644 tool\n"},
                                                    {"etc", "dir 0755"},
                                                    {"etc/conf", "file 0644 old\n"}};
    EXPECT_EQ(fixture::Snapshot(dir / "old"), old);
    EXPECT_EQ(fixture::Snapshot(dir / "out"), fixture::Snapshot(dir / "tree"));

    // A device node kept for its number is shared the same way (making one needs root).
    if (!fixture::IsRoot())
        return;
    MakeDirs(dir / "tree2/dev");
    ASSERT_EQ(::mknod((dir / "tree2/dev/null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    ::chmod((dir / "tree2/dev/null").c_str(), 0666);
    ASSERT_EQ(Zup({"create", "-o", dir / "c.zup", dir / "tree2"}).status, 0);
    MakeDirs(dir / "old/dev");
    MakeDirs(dir / "out/dev");
    ASSERT_EQ(::mknod((dir / "old/dev/null").c_str(), S_IFCHR | 0600, makedev(1, 3)), 0);
    ::chmod((dir / "old/dev/null").c_str(), 0600);
    ASSERT_EQ(::link((dir / "old/dev/null").c_str(), (dir / "out/dev/null").c_str()), 0);
    const ProcessResult node = Zup({"extract", dir / "c.zup", dir / "out"});
    ASSERT_EQ(node.status, 0) << node.out << node.err;
    struct stat info {};
    ASSERT_EQ(::lstat((dir / "old/dev/null").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    ASSERT_EQ(::lstat((dir / "out/dev/null").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0666u);
    EXPECT_EQ(info.st_rdev, makedev(1, 3));
}

TEST(ZupTest, ListShowsOneLinePerEntryInPathOrder) {
    TempDir dir;
    Put(dir / "tree/a/f", "hello", 0644);
    Put(dir / "tree/a-b", "x", 0600);
    ::chmod((dir / "tree/a").c_str(), 0755);
    Symlink("f", dir / "tree/a/l");
    ASSERT_EQ(Zup({"create", "-o", dir / "b.zup", dir / "tree"}).status, 0);
    const ProcessResult list = Zup({"list", dir / "b.zup"});
    EXPECT_EQ(list.status, 0);
    // Bytewise: '-' sorts before '/'.
    EXPECT_EQ(list.out,
              "  5 040755          0 none a\n"
              "  0 100600          1 none a-b\n"
              "  0 100644          5 none a/f\n"
              "  2 120777          0 none a/l -> f\n");

    ASSERT_TRUE(WriteFile(dir / "cut.zup", ReadFile(dir / "b.zup").substr(0, 64 + 600)));
    const ProcessResult cut = Zup({"list", dir / "cut.zup"});
    EXPECT_EQ(cut.status, 1);
    EXPECT_NE(cut.err.find("cut short"), std::string::npos) << cut.err;
    ASSERT_TRUE(WriteFile(dir / "not.zup",
                          "plain text that is long enough to hold a head, surely!!"
                          "............"));
    EXPECT_EQ(Zup({"list", dir / "not.zup"}).status, 1);
}

TEST(ZupTest, CreateIsDeterministicAndFillsTheHead) {
    TempDir dir;
    Put(dir / "tree/x", "same", 0644);
    Put(dir / "tree/y/z", std::string(5000, 'z'), 0644);
    const std::vector<std::string> args = {
        "create", "-o", "", "--type", "7", "--content-version", "250", dir / "tree"};
    std::vector<std::string> first = args, second = args;
    first[2] = dir / "1.zup";
    second[2] = dir / "2.zup";
    ASSERT_EQ(Zup(first).status, 0);
    ASSERT_EQ(Zup(second).status, 0);
    const std::string bytes = ReadFile(dir / "1.zup");
    EXPECT_EQ(bytes, ReadFile(dir / "2.zup"));
    const bundle::Head head = bundle::Head::Decode(reinterpret_cast<const uint8_t*>(bytes.data()));
    EXPECT_EQ(head.type, 7);
    EXPECT_EQ(head.contentVersion, 250);
    EXPECT_EQ(head.fileCount, 3u);
    const ProcessResult verify = Zup({"verify", dir / "1.zup"});
    EXPECT_EQ(verify.status, 0);
    EXPECT_EQ(verify.out, "Bundle file (re)opened, filesize " +
                              std::to_string(bytes.size() / 1024) +
                              " kB\nZUP Verify start - 3 files, bundle type 7.\nVerify success.\n");
    EXPECT_EQ(verify.err, "");

    // Stored as they are on request.
    ASSERT_EQ(Zup({"create", "-o", dir / "none.zup", "--compress", "none", dir / "tree"}).status,
              0);
    EXPECT_EQ(Zup({"list", dir / "none.zup"}).out.find("lzo"), std::string::npos);
    EXPECT_NE(Zup({"list", dir / "1.zup"}).out.find("lzo  y/z"), std::string::npos);
}

TEST(ZupTest, TheBundleIsNeverAnEntryOfItself) {
    TempDir dir;
    Put(dir / "tree/a", "a", 0644);
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(Zup({"create", "-o", dir / "tree/self.zup", dir / "tree"}).status, 0);
        const ProcessResult list = Zup({"list", dir / "tree/self.zup"});
        EXPECT_EQ(list.out, "  0 100644          1 none a\n") << "round " << round;
    }
}

TEST(ZupTest, CreateRefusesWhatABundleCannotHold) {
    TempDir dir;
    ASSERT_TRUE(WriteFile(dir / "out.zup", "old"));
    Put(dir / "long/" + std::string(200, 'd') + "/" + std::string(39, 'f'), "x", 0644);
    ProcessResult r = Zup({"create", "-o", dir / "out.zup", dir / "long"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("path longer than 239 bytes"), std::string::npos) << r.err;

    MakeDirs(dir / "sock");
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir / "sock/control";
    ASSERT_LT(socketPath.size(), sizeof(address.sun_path));
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    r = Zup({"create", "-o", dir / "out.zup", dir / "sock"});
    ::close(s);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("control: a socket cannot be stored"), std::string::npos) << r.err;
    // Refused before anything was written.
    EXPECT_EQ(ReadFile(dir / "out.zup"), "old");

    // An empty tree (or one holding only the bundle itself) gives a bundle that could never be
    // extracted.
    MakeDirs(dir / "empty");
    r = Zup({"create", "-o", dir / "out.zup", dir / "empty"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("the tree is empty"), std::string::npos) << r.err;
    ASSERT_TRUE(WriteFile(dir / "empty/self.zup", "old"));
    EXPECT_EQ(Zup({"create", "-o", dir / "empty/self.zup", dir / "empty"}).status, 1);
    EXPECT_EQ(ReadFile(dir / "empty/self.zup"), "old");
    EXPECT_EQ(ReadFile(dir / "out.zup"), "old");

    r = Zup({"create", "-o", dir / "out.zup", dir / "missing"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("not a directory"), std::string::npos);
    r = Zup({"create", "-o", dir / "no/such/folder/out.zup", dir / "sock"});
    EXPECT_EQ(r.status, 1);
}

TEST(ZupTest, VerifyAndExtractFailWithTheReadersLines) {
    TempDir dir;
    Put(dir / "tree/a", "contents", 0644);
    ASSERT_EQ(Zup({"create", "-o", dir / "b.zup", dir / "tree"}).status, 0);
    std::string bytes = ReadFile(dir / "b.zup");
    bytes[bytes.size() - 1] ^= 1;
    ASSERT_TRUE(WriteFile(dir / "bad.zup", bytes));

    ProcessResult r = Zup({"verify", dir / "bad.zup"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Invalid MD5 of the bundle file.\n"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("zup: "), std::string::npos);

    MakeDirs(dir / "out");
    r = Zup({"extract", dir / "bad.zup", dir / "out"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.find("Extract start."), std::string::npos);
    EXPECT_FALSE(Exists(dir / "out/a"));

    r = Zup({"extract", dir / "b.zup", dir / "missing"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("not a directory"), std::string::npos);

    // A bundle that fails during extraction.
    fixture::UseTargetSystem();
    fixture::Bundle(dir / "evil.zup").File("../escape", "x").Finish();
    r = Zup({"extract", dir / "evil.zup", dir / "out"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Failed to create destination file.\n"), std::string::npos) << r.out;
    EXPECT_FALSE(Exists(dir / "escape"));
}

TEST(ZupTest, ExtractTakesARelativeDestinationFromTheCurrentFolder) {
    TempDir dir;
    Put(dir / "tree/d/a", "a", 0644);
    ASSERT_EQ(Zup({"create", "-o", dir / "b.zup", dir / "tree"}).status, 0);
    MakeDirs(dir / "out");
    const std::string emulator = TOVRASK_TEST_EMULATOR;
    const ProcessResult r =
        testsupport::RunCommand({"sh", "-c",
                                 "cd '" + dir.Path() + "' && exec " + emulator + " '" +
                                     testsupport::ProgramPath("zup") + "' extract b.zup out"});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Creating path: " + dir / "out/d\n"), std::string::npos) << r.out;
    EXPECT_EQ(ReadFile(dir / "out/d/a"), "a");
}

// Runs zup with a lower resource limit, which the child inherits; the test program gets its own
// back at once. A file-size limit plays a full disk for an unprivileged process.
ProcessResult ZupLimited(int resource, rlim_t limit, const std::vector<std::string>& args) {
    rlimit own{};
    ::getrlimit(resource, &own);
    const rlimit lower = {limit, own.rlim_max};
    // Ignored signals stay ignored in the child: a write past the limit then fails with EFBIG.
    const sighandler_t handler = ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(resource, &lower);
    ProcessResult result = Zup(args);
    ::setrlimit(resource, &own);
    ::signal(SIGXFSZ, handler);
    return result;
}

// A full disk often shows only when the C library writes out its buffer, at close.
TEST(ZupTest, AFullDiskFailsTheEntry) {
    const struct {
        const char* name;
        bool large;
        size_t size;
    } cases[] = {
        {"file within the stream buffer", false, 3000},
        {"file beyond the stream buffer", false, 20000},
        {"large file within the stream buffer", true, 3000},
        {"large file beyond the stream buffer", true, 20000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fixture::Sandbox box;
        fixture::Bundle bundle = box.NewBundle();
        if (c.large) {
            bundle.Large("f", std::string(c.size, 'z'));
        } else {
            bundle.File("f", std::string(c.size, 'z'));
        }
        const std::string path = bundle.Finish();
        const ProcessResult r = ZupLimited(RLIMIT_FSIZE, 1000, {"extract", path, box.Root()});
        EXPECT_EQ(r.status, 1) << r.out << r.err;
        const std::string line = "Write failed during extract.\n";
        ASSERT_GE(r.out.size(), line.size()) << r.err;
        EXPECT_EQ(r.out.substr(r.out.size() - line.size()), line);
        EXPECT_TRUE(fixture::Snapshot(box.Root()).empty()) << "no part of the file is kept";
    }
}

// A size taken from a bundle may be more than the device can hold: the entry fails with a code
// and the process goes on. An address-space limit plays the small device (where an emulator or
// AddressSanitizer need the address space themselves, the test cannot run).
TEST(ZupTest, AFileTooBigForMemoryFailsWithACode) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer needs its address space";
#endif
    if (std::string(TOVRASK_TEST_EMULATOR) != "")
        GTEST_SKIP() << "the emulator needs its address space";
    fixture::Sandbox box;
    const uint32_t size = 256u << 20;
    bundle::EntryHead head = fixture::FileEntry("huge", "");
    head.size = size;
    head.compression = bundle::kLzo1x;
    std::string data(4 + (1u << 20), '\0');
    bundle::StoreBe32(reinterpret_cast<uint8_t*>(&data[0]), size);
    const std::string path = box.NewBundle().Data(head, data).Finish();
    const ProcessResult r = ZupLimited(RLIMIT_AS, 128u << 20, {"extract", path, box.Root()});
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_NE(r.out.find("Error during LZO decompression.\n"), std::string::npos) << r.out;
}

TEST(ZupTest, UsageErrorsAndHelp) {
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"frob"},
        {"create"},
        {"create", "tree"},
        {"create", "-o", "x.zup"},
        {"create", "-o", "x.zup", "a", "b"},
        {"create", "-o", "x.zup", "--type", "0", "tree"},
        {"create", "-o", "x.zup", "--type", "65536", "tree"},
        {"create", "-o", "x.zup", "--content-version", "1x", "tree"},
        {"create", "-o", "x.zup", "--compress", "gzip", "tree"},
        {"create", "-o", "x.zup", "--large-threshold", "-1", "tree"},
        {"create", "-o", "x.zup", "--large-threshold"},
        {"create", "-o", "x.zup", "--frob", "tree"},
        {"list"},
        {"list", "--all", "x.zup"},
        {"verify", "a.zup", "b.zup"},
        {"extract", "a.zup"},
    };
    for (const auto& args : wrong) {
        const ProcessResult r = Zup(args);
        std::string line;
        for (const std::string& a : args)
            line += a + " ";
        EXPECT_EQ(r.status, 2) << line;
        EXPECT_NE(r.err.find("usage: zup create"), std::string::npos) << line;
        EXPECT_EQ(r.out, "") << line;
    }
    const ProcessResult help = Zup({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("zup - ", 0), 0u);
    for (const char* word : {"create", "list", "verify", "extract", "--large-threshold"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
}

}  // namespace
