#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/time.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/update/BundleFixture.h"
#include "update/BundleError.h"

using fixture::Bundle;
using fixture::Entry;
using fixture::FileEntry;
using fixture::Sandbox;
using fixture::StepRun;
using testsupport::Exists;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

struct stat Lstat(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info;
}

std::string LinkTarget(const std::string& path) {
    char target[256];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof(target));
    return n > 0 ? std::string(target, static_cast<size_t>(n)) : std::string();
}

void SetOldTime(const std::string& path) {
    const timeval times[2] = {{1000, 0}, {1000, 0}};
    ::utimes(path.c_str(), times);
}

std::string Text(size_t n) {
    std::string text;
    for (size_t i = 0; text.size() < n; ++i)
        text += "line " + std::to_string(i % 97) + " of a log\n";
    text.resize(n);
    return text;
}

int64_t FileSize(const std::string& path) {
    return Lstat(path).st_size;
}

TEST(ExtractTest, LinesAndStatesOfAnExtraction) {
    Sandbox box;
    const std::string path = box.NewBundle()
                                 .Dir("data/logs")
                                 .File("data/logs/a.txt", "hello", 0100600)
                                 .Link("data/l", "logs/a.txt")
                                 .Finish();
    const StepRun run = box.Install(path);
    const int64_t size = FileSize(path);
    const std::string percent = std::to_string((64 + 512 + 512 + 4) * 100 / size);
    const std::string& r = box.Root();
    EXPECT_EQ(run.out,
              "Extract start.\n"
              "Creating path: " +
                  r +
                  "/data\n"
                  "Creating path: " +
                  r +
                  "/data/logs\n"
                  "Change file mode for data/logs to 16877\n"
                  "Extracting: data/logs/a.txt [0 kb] " +
                  percent +
                  "\n"
                  ".Change file mode for data/logs/a.txt to 33152\n"
                  "Create sym link to logs/a.txt - 0\n"
                  "Bundle extraction is complete.\n");
    EXPECT_EQ(run.states,
              (std::vector<int>{4, 11, 12, 13, 4, 6, 7, 8, 9, 12, 13, 4, 11, 12, 13, 101}));
    EXPECT_EQ(run.results.front(), 0);
    EXPECT_EQ(run.Last(), 101);
    for (size_t i = 0; i + 1 < run.results.size(); ++i) {
        EXPECT_GE(run.results[i], 0);
        EXPECT_LE(run.results[i], 100);
    }
    const std::map<std::string, std::string> expected = {
        {"data", "dir 0750"},
        {"data/logs", "dir 0755"},
        {"data/logs/a.txt", "file 0600 hello"},
        {"data/l", "link -> logs/a.txt"},
    };
    EXPECT_EQ(fixture::Snapshot(r), expected);
    EXPECT_EQ(box.reader.Extracted(), std::vector<std::string>{"data/logs/a.txt"});
}

TEST(ExtractTest, WasExtractedListsWrittenFilesUntilTheNextVerification) {
    Sandbox box;
    const std::string path = box.NewBundle().File("boot/zImage", "kernel").Finish();
    EXPECT_FALSE(box.reader.WasExtracted("boot/zImage"));
    EXPECT_EQ(box.Install(path).Last(), 101);
    EXPECT_TRUE(box.reader.WasExtracted("boot/zImage"));
    EXPECT_FALSE(box.reader.WasExtracted("boot/zImag"));
    EXPECT_FALSE(box.reader.WasExtracted("/boot/zImage"));
    box.reader.SetBundlePath(path);
    fixture::Steps(box.reader, &BundleReader::VerifyStep);
    EXPECT_FALSE(box.reader.WasExtracted("boot/zImage"));
}

TEST(ExtractTest, AnEmptyFileTakesOneStepInEachState) {
    Sandbox box;
    const StepRun run = box.Install(box.NewBundle().File("empty", "").Finish());
    EXPECT_EQ(run.states, (std::vector<int>{4, 6, 7, 8, 9, 12, 13, 101}));
    EXPECT_TRUE(Exists(box.InRoot("empty")));
    EXPECT_EQ(FileSize(box.InRoot("empty")), 0);
    EXPECT_TRUE(box.reader.WasExtracted("empty"));
}

TEST(ExtractTest, UnchangedFilesAreSkippedAndChangedOnesRewritten) {
    Sandbox box;
    const std::string packed = Text(30000);
    const struct {
        const char* path;
        std::string before;
        std::string after;
        bool lzo;
        bool rewritten;
    } files[] = {
        {"etc/same", "same", "same", false, false},
        {"etc/packed", packed, packed, true, false},
        {"etc/changed", "old!", "new!", false, true},
        {"etc/longer", "old", "longer", false, true},
    };
    testsupport::MakeDirs(box.InRoot("etc"));
    Bundle bundle = box.NewBundle();
    for (const auto& f : files) {
        WriteFile(box.InRoot(f.path), f.before);
        ::chmod(box.InRoot(f.path).c_str(), 0600);
        SetOldTime(box.InRoot(f.path));
        bundle.File(f.path, f.after, 0100644, f.lzo);
    }
    const StepRun run = box.Install(bundle.Finish());
    ASSERT_EQ(run.Last(), 101) << run.out;
    for (const auto& f : files) {
        SCOPED_TRACE(f.path);
        EXPECT_EQ(ReadFile(box.InRoot(f.path)), f.after);
        EXPECT_EQ(Lstat(box.InRoot(f.path)).st_mtime != 1000, f.rewritten);
        EXPECT_EQ(box.reader.WasExtracted(f.path), f.rewritten);
        // The mode is corrected either way.
        EXPECT_EQ(Lstat(box.InRoot(f.path)).st_mode & 07777, 0644u);
    }
    EXPECT_NE(run.out.find("Change file mode for etc/same to 33188\n"), std::string::npos);
    EXPECT_EQ(run.out.find("Extracting: etc/same"), std::string::npos);
    EXPECT_EQ(run.out.find("Extracting: etc/packed"), std::string::npos);
    // Entry head, compare, mode, next: the data is jumped over.
    EXPECT_EQ(std::vector<int>(run.states.begin() + 1, run.states.begin() + 5),
              (std::vector<int>{5, 12, 13, 4}));
}

TEST(ExtractTest, LzoAndLargeFiles) {
    Sandbox box;
    const std::string text = Text(50000);
    std::string binary;
    for (int i = 0; i < 20000; ++i)
        binary += static_cast<char>((i * 2654435761u) >> 24);
    const std::string path = box.NewBundle()
                                 .File("usr/share/text", text, 0100644, true)
                                 .Large("big", binary, 0100755)
                                 .Finish();
    // The text went in compressed.
    EXPECT_EQ(ReadFile(path)[64 + 21], '\x01');
    const StepRun run = box.Install(path);
    ASSERT_EQ(run.Last(), 101) << run.out;
    EXPECT_EQ(ReadFile(box.InRoot("usr/share/text")), text);
    EXPECT_EQ(ReadFile(box.InRoot("big")), binary);
    EXPECT_EQ(Lstat(box.InRoot("big")).st_mode, 0100755u);
    EXPECT_TRUE(box.reader.WasExtracted("usr/share/text"));
    // Large files are copied, not listed.
    EXPECT_FALSE(box.reader.WasExtracted("big"));
    const size_t at = run.out.find("Extracting: big [19 kb] ");
    ASSERT_NE(at, std::string::npos);
    const size_t next = run.out.find('\n', at) + 1;
    EXPECT_EQ(run.out.substr(next),
              "Change file mode for big to 33261\nBundle extraction is complete.\n");
}

namespace {
mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}
}  // namespace

TEST(ExtractTest, LinksAreKeptOnlyWithTheWholeSameTarget) {
    Sandbox box;
    const struct {
        const char* path;
        const char* before;  // null: a regular file is there
        const char* target;
        const char* after;
    } links[] = {
        {"same", "t1", "t1", "t1"},
        {"other", "old", "new", "new"},
        {"prefix", "abc", "abcdef", "abcdef"},
        {"longer", "abcdef", "abc", "abc"},
        {"fresh", "", "/etc/passwd", "/etc/passwd"},
        {"file", nullptr, "x", ""},
    };
    Bundle bundle = box.NewBundle();
    for (const auto& l : links) {
        if (l.before == nullptr) {
            WriteFile(box.InRoot(l.path), "regular");
        } else if (*l.before != '\0') {
            ASSERT_EQ(::symlink(l.before, box.InRoot(l.path).c_str()), 0);
        }
        bundle.Link(l.path, l.target);
    }
    const StepRun run = box.Install(bundle.Finish());
    ASSERT_EQ(run.Last(), 101) << run.out;
    for (const auto& l : links) {
        SCOPED_TRACE(l.path);
        EXPECT_EQ(LinkTarget(box.InRoot(l.path)), l.after);
        const bool made =
            std::string(l.after) != "" && std::string(l.before ? l.before : "") != l.after;
        EXPECT_EQ(run.out.find("Create sym link to " + std::string(l.target) + " - 0\n") !=
                      std::string::npos,
                  made);
    }
    // Something that is not a link is left as it is, and does not take the link's mode.
    EXPECT_EQ(ReadFile(box.InRoot("file")), "regular");
    struct stat info {};
    ASSERT_EQ(::stat(box.InRoot("file").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u & ~CurrentUmask());
}

TEST(ExtractTest, FifosAreMadeAgainEveryTime) {
    Sandbox box;
    ASSERT_EQ(::mkfifo(box.InRoot("pipe").c_str(), 0600), 0);
    // The second name keeps the old inode alive, so a new FIFO cannot get its number.
    ASSERT_EQ(::link(box.InRoot("pipe").c_str(), box.InRoot("old-pipe").c_str()), 0);
    WriteFile(box.InRoot("was-file"), "x");
    const StepRun run = box.Install(box.NewBundle()
                                        .Object(Entry(bundle::kTypeFifo, "pipe", 010640))
                                        .Object(Entry(bundle::kTypeFifo, "was-file", 010600))
                                        .Object(Entry(bundle::kTypeFifo, "dir/new", 010644))
                                        .Finish());
    ASSERT_EQ(run.Last(), 101) << run.out;
    EXPECT_EQ(Lstat(box.InRoot("pipe")).st_mode, 010640u);
    EXPECT_NE(Lstat(box.InRoot("pipe")).st_ino, Lstat(box.InRoot("old-pipe")).st_ino);
    EXPECT_EQ(Lstat(box.InRoot("was-file")).st_mode, 010600u);
    EXPECT_EQ(Lstat(box.InRoot("dir/new")).st_mode, 010644u);
}

TEST(ExtractTest, DeviceNodesKeepTheirNumberOrAreMadeAgain) {
    if (!fixture::IsRoot())
        GTEST_SKIP() << "making device nodes needs root";
    Sandbox box;
    ASSERT_EQ(::mknod(box.InRoot("null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    ASSERT_EQ(::mknod(box.InRoot("tty").c_str(), S_IFCHR | 0620, makedev(1, 5)), 0);
    const ino_t nullInode = Lstat(box.InRoot("null")).st_ino;
    const auto node = [](uint8_t type, const char* path, uint16_t mode, uint16_t major,
                         uint16_t minor) {
        bundle::EntryHead head = Entry(type, path, mode);
        head.major = major;
        head.minor = minor;
        return head;
    };
    const StepRun run =
        box.Install(box.NewBundle()
                        .Object(node(bundle::kTypeCharDevice, "null", 020666, 1, 3))
                        .Object(node(bundle::kTypeCharDevice, "tty", 020620, 4, 1))
                        .Object(node(bundle::kTypeBlockDevice, "dev/loop0", 060660, 7, 0))
                        .Object(node(bundle::kTypeBlockDevice, "dev/big", 060600, 259, 300))
                        .Finish());
    ASSERT_EQ(run.Last(), 101) << run.out;
    EXPECT_EQ(Lstat(box.InRoot("null")).st_ino, nullInode);
    EXPECT_EQ(run.out.find("Removing special file null."), std::string::npos);
    EXPECT_NE(run.out.find("Removing special file tty.\n"), std::string::npos);
    const std::map<std::string, std::string> expected = {
        {"null", "char 1,3 0666"},       {"tty", "char 4,1 0620"},          {"dev", "dir 0750"},
        {"dev/loop0", "block 7,0 0660"}, {"dev/big", "block 259,300 0600"},
    };
    EXPECT_EQ(fixture::Snapshot(box.Root()), expected);
}

TEST(ExtractTest, ModeEntriesMakeTheirPathAndSetModes) {
    Sandbox box;
    testsupport::MakeDirs(box.InRoot("var/run"));
    WriteFile(box.InRoot("var/run/pid"), "1");
    const StepRun run = box.Install(box.NewBundle()
                                        .Object(Entry(bundle::kTypePath, "var/run", 040700))
                                        .Object(Entry(bundle::kTypePath, "var/run/pid", 0100400))
                                        .Object(Entry(bundle::kTypePath, "new/path/end", 040755))
                                        .Dir("sticky", 041777)
                                        .File("bin/tool", "#!/bin/sh\n", 0100755)
                                        .Finish());
    ASSERT_EQ(run.Last(), 101) << run.out;
    const std::map<std::string, std::string> expected = {
        {"var", "dir 0755"},
        {"var/run", "dir 0700"},
        {"var/run/pid", "file 0400 1"},
        // A mode entry makes the directories before its last name, not the last name itself.
        {"new", "dir 0750"},
        {"new/path", "dir 0750"},
        {"sticky", "dir 1777"},
        {"bin", "dir 0750"},
        {"bin/tool", "file 0755 #!/bin/sh\n"},
    };
    EXPECT_EQ(fixture::Snapshot(box.Root()), expected);
    EXPECT_NE(run.out.find("Change file mode for var/run/pid to 33024\n"), std::string::npos);
}

// Every extraction error a bundle can cause, each leaving the outside untouched.
TEST(ExtractTest, ErrorsABundleCanCause) {
    const std::string abc = "abc";
    const std::string packed = BundleWriter::LzoData(Text(1000));
    const auto compressed = [](bundle::EntryHead head) {
        head.compression = bundle::kLzo1x;
        return head;
    };
    const auto withPrefix = [](std::string data, uint32_t size) {
        bundle::StoreBe32(reinterpret_cast<uint8_t*>(&data[0]), size);
        return data;
    };
    struct Case {
        const char* name;
        std::function<void(Bundle&)> build;
        int code;
        const char* absent;  // a path that must not have been made
    };
    const Case cases[] = {
        {"entry head cut short", [](Bundle& b) { b.Bytes(std::string(100, 'x')); },
         kErrorEntryHeadRead, nullptr},
        {"path without its zero", [](Bundle& b) { b.Dir(std::string(240, 'p')); },
         kErrorEntryHeadRead, nullptr},
        {"link target without its zero", [](Bundle& b) { b.Link("l", std::string(240, 't')); },
         kErrorEntryHeadRead, "l"},
        {"data length beyond the bundle",
         [&](Bundle& b) { b.Data(FileEntry("f", abc), 1000, abc); }, kErrorExtractRead, "f"},
        {"data length of 4 GiB", [&](Bundle& b) { b.Data(FileEntry("f", abc), 0xFFFFFFFF, abc); },
         kErrorExtractRead, "f"},
        {"data length cut short", [&](Bundle& b) { b.Object(FileEntry("f", abc)).Bytes("\x03"); },
         kErrorExtractRead, "f"},
        {"large file beyond the bundle",
         [](Bundle& b) {
             const std::string big(20000, 'b');
             b.Data(FileEntry("big", big, bundle::kTypeLargeFile), 20000, big.substr(0, 100));
         },
         kErrorExtractRead, "big"},
        {"unchanged file whose data length passes the end",
         [&](Bundle& b) { b.File("same", "same").Data(FileEntry("same", "same"), 99, "same"); },
         kErrorExtractRead, nullptr},
        {"parent is a file", [](Bundle& b) { b.File("f", "x").File("f/g", "y"); }, kErrorCreate,
         "f/g"},
        {"dot-dot in the path", [](Bundle& b) { b.File("a/../b", "x"); }, kErrorCreate, "b"},
        {"file at the root itself", [](Bundle& b) { b.File("", "x"); }, kErrorCreate, nullptr},
        {"FIFO at the root itself",
         [](Bundle& b) { b.Object(Entry(bundle::kTypeFifo, "/", 010644)); }, kErrorCreate, nullptr},
        {"unknown compression",
         [&](Bundle& b) {
             bundle::EntryHead head = FileEntry("f", abc);
             head.compression = 2;
             b.Data(head, 3, abc);
         },
         kErrorCompression, "f"},
        {"corrupt LZO stream",
         [&](Bundle& b) {
             b.Data(compressed(FileEntry("f", Text(1000))),
                    withPrefix(std::string(40, '\xEE'), 1000));
         },
         kErrorLzo, "f"},
        {"size prefix differs from the file size",
         [&](Bundle& b) {
             b.Data(compressed(FileEntry("f", Text(1000))), withPrefix(packed, 1001));
         },
         kErrorSizeMismatch, "f"},
        {"compressed data shorter than its size prefix",
         [&](Bundle& b) { b.Data(compressed(FileEntry("f", "")), std::string(2, '\0')); },
         kErrorSizeMismatch, "f"},
        {"stream gives fewer bytes than the size",
         [&](Bundle& b) {
             b.Data(compressed(FileEntry("f", Text(2000))), withPrefix(packed, 2000));
         },
         kErrorSizeMismatch, "f"},
        {"size no stream of this length can give",
         [&](Bundle& b) {
             bundle::EntryHead head = compressed(FileEntry("f", abc));
             head.size = 0xFFFFFFF0;
             b.Data(head, withPrefix(packed.substr(0, 20), 0xFFFFFFF0));
         },
         kErrorSizeMismatch, "f"},
        {"digest of the contents differs",
         [&](Bundle& b) {
             bundle::EntryHead head = FileEntry("f", abc);
             head.digest[0] ^= 1;
             b.Data(head, 3, abc);
         },
         kErrorFileDigest, "f"},
        {"large file marked compressed",
         [](Bundle& b) {
             bundle::EntryHead head = FileEntry("big", "data", bundle::kTypeLargeFile);
             head.compression = bundle::kLzo1x;
             b.Data(head, 4, "data");
         },
         kErrorLargeCompressed, "big"},
        {"large file length differs from its size",
         [](Bundle& b) { b.Data(FileEntry("big", "data", bundle::kTypeLargeFile), 3, "dat"); },
         kErrorLargeSize, "big"},
        {"large file whose length also runs past the end",
         [](Bundle& b) { b.Data(FileEntry("big", "data", bundle::kTypeLargeFile), 100000, "data"); },
         kErrorLargeSize, "big"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sandbox box;
        const auto outside = box.OutsideState();
        Bundle bundle = box.NewBundle();
        c.build(bundle);
        const StepRun run = box.Install(bundle.Finish());
        EXPECT_EQ(run.Last(), c.code);
        const std::string line = std::string(BundleReader::ErrorText(c.code)) + "\n";
        ASSERT_GE(run.out.size(), line.size());
        EXPECT_EQ(run.out.substr(run.out.size() - line.size()), line);
        EXPECT_EQ(box.reader.State(), -1);
        EXPECT_EQ(box.reader.Error(), c.code);
        if (c.absent != nullptr) {
            EXPECT_FALSE(Exists(box.InRoot(c.absent)));
        }
        EXPECT_EQ(box.OutsideState(), outside);
        EXPECT_TRUE(Exists(box.Root()));
        EXPECT_EQ(fixture::Steps(box.reader, &BundleReader::ExtractStep).Last(),
                  kErrorExtractState);
    }
}

TEST(ExtractTest, ExtractingOutsideItsStatesFails) {
    Sandbox box;
    const std::string path = box.NewBundle().File("a", "a").Finish();
    box.reader.SetBundlePath(path);
    box.reader.SetDestinationRoot(box.Root());
    StepRun run = fixture::Steps(box.reader, &BundleReader::ExtractStep);
    EXPECT_EQ(run.results, std::vector<int>{kErrorExtractState});
    EXPECT_EQ(run.out, "Invalid state in extract.\n");
    EXPECT_EQ(box.Install(path).Last(), 101);
    run = fixture::Steps(box.reader, &BundleReader::ExtractStep);
    EXPECT_EQ(run.results, std::vector<int>{kErrorExtractState});
}

}  // namespace

// A directory entry sets the mode of a directory only: whatever else stands at its name keeps
// its own, and a link is followed only to a directory.
TEST(ExtractTest, ADirectoryEntryChangesOnlyADirectory) {
    Sandbox box;
    WriteFile(box.InRoot("file"), "contents");
    ::chmod(box.InRoot("file").c_str(), 0644);
    ASSERT_EQ(::mkfifo(box.InRoot("fifo").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("file", box.InRoot("to-file").c_str()), 0);
    testsupport::MakeDirs(box.InRoot("dir"));
    ::chmod(box.InRoot("dir").c_str(), 0755);
    ASSERT_EQ(::symlink("dir", box.InRoot("to-dir").c_str()), 0);
    Bundle bundle = box.NewBundle();
    for (const char* name : {"file", "fifo", "to-file", "to-dir"})
        bundle.Dir(name, 040700);
    const StepRun run = box.Install(bundle.Finish());
    ASSERT_EQ(run.Last(), 101) << run.out;
    const std::map<std::string, std::string> expected = {
        {"file", "file 0644 contents"}, {"fifo", "fifo 0644"},     {"to-file", "link -> file"},
        {"dir", "dir 0700"},            {"to-dir", "link -> dir"},
    };
    EXPECT_EQ(fixture::Snapshot(box.Root()), expected);
}

// A file's name never ends in a folder's: such an entry is not written at its parent's name.
TEST(ExtractTest, AFileNamedLikeAFolderCannotBeCreated) {
    for (const char* path : {"etc/foo/", "etc/foo/.", "etc/foo//"}) {
        SCOPED_TRACE(path);
        Sandbox box;
        testsupport::MakeDirs(box.InRoot("etc"));
        WriteFile(box.InRoot("etc/foo"), "new");  // equal to the entry: still not "unchanged"
        const StepRun run = box.Install(box.NewBundle().File(path, "new", 0100600).Finish());
        EXPECT_EQ(run.Last(), kErrorCreate) << run.out;
        EXPECT_NE(run.out.find("Failed to create destination file.\n"), std::string::npos);
        const std::map<std::string, std::string> expected = {{"etc", "dir 0755"},
                                                             {"etc/foo", "file 0644 new"}};
        EXPECT_EQ(fixture::Snapshot(box.Root()), expected);
    }
}

namespace {

// A held-back name (the boot manager's marker) must not be reached through a link, be it one the
// bundle makes or one already in the root, nor may an entry name the installation's own names:
// the entry is refused (a file fails the extraction, an object is left out), and nothing appears
// at those names.
TEST(ExtractTest, AHeldBackNameIsNotReachedThroughALink) {
    struct Case {
        const char* name;
        std::function<void(Sandbox&, Bundle&)> make;
        int last;
    };
    const Case cases[] = {
        {"file through a link the bundle makes",
         [](Sandbox&, Bundle& b) { b.Link("cfg", "etc").File("cfg/skip-update", "1"); }, -37},
        {"file through a link in the root",
         [](Sandbox& box, Bundle& b) {
             ASSERT_EQ(::symlink("etc", box.InRoot("cfg").c_str()), 0);
             b.File("cfg/skip-update", "1");
         },
         -37},
        {"link through a link", [](Sandbox&, Bundle& b) { b.Link("cfg", "etc").Link("cfg/skip-update", "x"); },
         101},
        // The names the marker is held at are the installation's: a bundle cannot make them.
        {"the held name itself", [](Sandbox&, Bundle& b) { b.File("etc/skip-update.bundle", "1"); }, -37},
        {"a reserved name", [](Sandbox&, Bundle& b) { b.File("etc/skip-update.held", "1"); }, -37},
        // Files are written beside their name as .NAME.zup-new: such an entry would be lost.
        {"a temporary name", [](Sandbox&, Bundle& b) { b.File("etc/.a.zup-new", "1").File("etc/a", "2"); },
         -37},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sandbox box;
        ::mkdir(box.InRoot("etc").c_str(), 0755);
        box.reader.HoldBack("etc/skip-update", "etc/skip-update.bundle", {"etc/skip-update.held"});
        Bundle bundle = box.NewBundle();
        c.make(box, bundle);
        const StepRun run = box.Install(bundle.Finish());
        EXPECT_EQ(run.Last(), c.last) << run.out;
        struct stat info {};
        for (const char* name : {"etc/skip-update", "etc/skip-update.bundle", "etc/skip-update.held"})
            EXPECT_NE(::lstat(box.InRoot(name).c_str(), &info), 0) << name << "\n" << run.out;
    }
    // Named as it is, it goes to its held-back name.
    Sandbox box;
    box.reader.HoldBack("etc/skip-update", "etc/skip-update.bundle");
    const StepRun run = box.Install(box.NewBundle().Dir("etc").File("etc/skip-update", "1").Finish());
    EXPECT_EQ(run.Last(), 101) << run.out;
    EXPECT_FALSE(Exists(box.InRoot("etc/skip-update")));
    EXPECT_EQ(ReadFile(box.InRoot("etc/skip-update.bundle")), "1");
}

}  // namespace
