// Bundles made to reach outside the destination root. The root is a root file system: links on
// an entry's path are followed as they will be once it is the device's root, so nothing beside
// it may change, whatever the bundle holds and whatever the root already holds.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "tests/support/TempDir.h"
#include "tests/update/BundleFixture.h"
#include "update/BundleError.h"

using fixture::Bundle;
using fixture::Entry;
using fixture::Sandbox;
using fixture::StepRun;
using testsupport::Exists;
using testsupport::ReadFile;

namespace {

void Symlink(const std::string& target, const std::string& path) {
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0) << path;
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mode;
}

struct Case {
    const char* name;
    // What the root holds before the bundle comes.
    std::function<void(const Sandbox&)> prepare;
    std::function<void(Bundle&, const Sandbox&)> build;
    int result;
    // What must hold inside the root afterwards.
    std::function<void(const Sandbox&)> check;
};

void RunCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sandbox box;
        if (c.prepare)
            c.prepare(box);
        const auto outside = box.OutsideState();
        Bundle bundle = box.NewBundle();
        c.build(bundle, box);
        const StepRun run = box.Install(bundle.Finish());
        EXPECT_EQ(run.Last(), c.result) << run.out;
        EXPECT_EQ(box.OutsideState(), outside);
        EXPECT_EQ(ReadFile(box.Outside() + "/keep"), "precious");
        EXPECT_EQ(ModeOf(box.Outside() + "/keep"), 0100644u);
        if (c.check)
            c.check(box);
    }
}

const auto kNothing = [](const Sandbox&) {};

TEST(HostileBundleTest, EntryPathsStayInsideTheRoot) {
    RunCases({
        {"dot-dot", kNothing, [](Bundle& b, const Sandbox&) { b.File("../outside/keep", "x"); },
         kErrorCreate, kNothing},
        {"dot-dot deeper down", kNothing,
         [](Bundle& b, const Sandbox&) { b.File("a/b/../../../outside/keep", "x"); }, kErrorCreate,
         [](const Sandbox& s) { EXPECT_FALSE(Exists(s.InRoot("a"))); }},
        {"dot-dot on a directory", kNothing,
         [](Bundle& b, const Sandbox&) { b.Dir("../outside/sub", 040777); }, kErrorCreate,
         kNothing},
        {"dot-dot on a mode entry", kNothing,
         [](Bundle& b, const Sandbox&) {
             b.Object(Entry(bundle::kTypePath, "../outside/keep", 0100777));
         },
         kErrorCreate, kNothing},
        {"absolute path", kNothing,
         [](Bundle& b, const Sandbox& s) { b.File(s.Outside() + "/keep", "inside"); }, 101,
         [](const Sandbox& s) { EXPECT_EQ(ReadFile(s.Root() + s.Outside() + "/keep"), "inside"); }},
        {"absolute FIFO path", kNothing,
         [](Bundle& b, const Sandbox& s) {
             b.Object(Entry(bundle::kTypeFifo, s.Outside() + "/keep", 010644));
         },
         101, kNothing},
    });
}

TEST(HostileBundleTest, LinksOnThePathAreFollowedInsideTheRoot) {
    RunCases({
        {"absolute link made by the bundle", kNothing,
         [](Bundle& b, const Sandbox& s) {
             b.Link("evil", s.Outside()).File("evil/keep", "pwned");
         },
         // Its target does not exist inside the root.
         kErrorCreate, kNothing},
        {"absolute link whose target the root holds too",
         [](const Sandbox& s) { testsupport::MakeDirs(s.Root() + s.Outside()); },
         [](Bundle& b, const Sandbox& s) {
             b.Link("evil", s.Outside()).File("evil/keep", "pwned");
         },
         101,
         [](const Sandbox& s) { EXPECT_EQ(ReadFile(s.Root() + s.Outside() + "/keep"), "pwned"); }},
        {"relative link climbing out", kNothing,
         [](Bundle& b, const Sandbox&) {
             b.Link("up", "../../../../../../../..").File("up/outside/keep", "pwned");
         },
         101, [](const Sandbox& s) { EXPECT_EQ(ReadFile(s.InRoot("outside/keep")), "pwned"); }},
        // Inside the root the link leads to a folder that is not there; as on the device, it is
        // not made through the link, and a file cannot be written there.
        {"relative link already in the root",
         [](const Sandbox& s) { Symlink("../outside", s.InRoot("pre")); },
         [](Bundle& b, const Sandbox&) { b.Dir("pre/sub", 040777).File("pre/keep", "pwned"); },
         kErrorCreate, [](const Sandbox& s) { EXPECT_FALSE(Exists(s.InRoot("outside"))); }},
        {"relative link already in the root, its target there too",
         [](const Sandbox& s) {
             Symlink("../outside", s.InRoot("pre"));
             testsupport::MakeDirs(s.InRoot("outside"));
         },
         [](Bundle& b, const Sandbox&) { b.File("pre/keep", "pwned").Dir("pre/sub", 040777); }, 101,
         [](const Sandbox& s) {
             EXPECT_EQ(ReadFile(s.InRoot("outside/keep")), "pwned");
             EXPECT_EQ(ModeOf(s.InRoot("outside/sub")), 040777u);
         }},
        {"absolute link already in the root",
         [](const Sandbox& s) { Symlink(s.Outside(), s.InRoot("pre")); },
         [](Bundle& b, const Sandbox&) {
             b.Object(Entry(bundle::kTypeFifo, "pre/keep", 010644))
                 .Link("pre/sub", "x")
                 .Object(Entry(bundle::kTypePath, "pre/sub", 040777));
         },
         101, kNothing},
        {"directory entry on a link",
         [](const Sandbox& s) {
             Symlink("../outside", s.InRoot("d"));
             testsupport::MakeDirs(s.InRoot("outside"));
         },
         [](Bundle& b, const Sandbox&) { b.Dir("d", 040777); }, 101,
         [](const Sandbox& s) { EXPECT_EQ(ModeOf(s.InRoot("outside")), 040777u); }},
        {"directory entry on a dangling link",
         [](const Sandbox& s) { Symlink("../outside", s.InRoot("d")); },
         [](Bundle& b, const Sandbox&) {
             b.Dir("d", 040777)
                 .Dir("d/sub")
                 .Link("d/l", "x")
                 .Object(Entry(bundle::kTypeFifo, "d/p", 010644))
                 .File("after", "installed");
         },
         101,
         [](const Sandbox& s) {
             EXPECT_FALSE(Exists(s.InRoot("outside")));
             EXPECT_EQ(ReadFile(s.InRoot("after")), "installed");
         }},
        {"link chain through two links",
         [](const Sandbox& s) {
             Symlink("/b", s.InRoot("a"));
             Symlink("../../outside", s.InRoot("b"));
         },
         [](Bundle& b, const Sandbox&) { b.Dir("outside").File("a/keep", "pwned"); }, 101,
         [](const Sandbox& s) { EXPECT_EQ(ReadFile(s.InRoot("outside/keep")), "pwned"); }},
        {"links in a loop", kNothing,
         [](Bundle& b, const Sandbox&) { b.Link("a", "b").Link("b", "a").File("a/x", "y"); },
         kErrorCreate, kNothing},
        // A stale loop where the bundle ships a file must not stop every update: the link is
        // replaced by the file.
        {"file over links in a loop",
         [](const Sandbox& s) {
             Symlink("f", s.InRoot("f"));
             Symlink("h", s.InRoot("g"));
             Symlink("g", s.InRoot("h"));
             Symlink("big", s.InRoot("big"));
         },
         [](Bundle& b, const Sandbox&) { b.File("f", "one").File("g", "two").Large("big", "three"); }, 101,
         [](const Sandbox& s) {
             EXPECT_EQ(ReadFile(s.InRoot("f")), "one");
             EXPECT_EQ(ReadFile(s.InRoot("g")), "two");
             EXPECT_EQ(ReadFile(s.InRoot("big")), "three");
             EXPECT_EQ(ModeOf(s.InRoot("h")) & S_IFMT, static_cast<mode_t>(S_IFLNK));
         }},
        // Objects that cannot be made under a loop are left out, and the rest is installed.
        {"objects under links in a loop",
         [](const Sandbox& s) { Symlink("loop", s.InRoot("loop")); },
         [](Bundle& b, const Sandbox&) {
             b.Dir("loop/sub", 040755)
                 .Link("loop/l", "x")
                 .Object(Entry(bundle::kTypeFifo, "loop/p", 010644))
                 .Object(Entry(bundle::kTypePath, "loop/m", 0100777))
                 .File("after", "installed");
         },
         101, [](const Sandbox& s) { EXPECT_EQ(ReadFile(s.InRoot("after")), "installed"); }},
    });
}

TEST(HostileBundleTest, FortyLinksAreFollowedAndNoMore) {
    const auto chain = [](int length) {
        return [length](Bundle& b, const Sandbox&) {
            b.Dir("d");
            for (int i = 1; i <= length; ++i) {
                b.Link("l" + std::to_string(i), i == 1 ? "d" : "l" + std::to_string(i - 1));
            }
            b.File("l" + std::to_string(length) + "/x", "end");
        };
    };
    RunCases({
        {"forty", kNothing, chain(40), 101,
         [](const Sandbox& s) { EXPECT_EQ(ReadFile(s.InRoot("d/x")), "end"); }},
        {"forty-one", kNothing, chain(41), kErrorCreate,
         [](const Sandbox& s) { EXPECT_FALSE(Exists(s.InRoot("d/x"))); }},
    });
}

TEST(HostileBundleTest, TheLastNameIsNeverWrittenThrough) {
    RunCases({
        // A link at a file's path is replaced; the file it pointed to is not read to compare.
        {"file over links leading out",
         [](const Sandbox& s) {
             Symlink("../outside/keep", s.InRoot("rel"));
             Symlink(s.Outside() + "/keep", s.InRoot("abs"));
         },
         [](Bundle& b, const Sandbox&) { b.File("rel", "precious").File("abs", "precious"); }, 101,
         [](const Sandbox& s) {
             EXPECT_EQ(ModeOf(s.InRoot("rel")) & S_IFMT, static_cast<mode_t>(S_IFREG));
             EXPECT_EQ(ModeOf(s.InRoot("abs")) & S_IFMT, static_cast<mode_t>(S_IFREG));
         }},
        {"large file over a link leading out",
         [](const Sandbox& s) { Symlink(s.Outside() + "/keep", s.InRoot("big")); },
         [](Bundle& b, const Sandbox&) { b.Large("big", "pwned"); }, 101,
         [](const Sandbox& s) { EXPECT_EQ(ReadFile(s.InRoot("big")), "pwned"); }},
        // A link has no mode of its own, and changing one would follow it.
        {"mode entries on links",
         [](const Sandbox& s) {
             Symlink(s.Outside() + "/keep", s.InRoot("m1"));
             Symlink("../outside/keep", s.InRoot("m2"));
             testsupport::WriteFile(s.InRoot("inside"), "x");
             ::chmod(s.InRoot("inside").c_str(), 0644);
             Symlink("inside", s.InRoot("m3"));
         },
         [](Bundle& b, const Sandbox&) {
             b.Object(Entry(bundle::kTypePath, "m1", 0100777))
                 .Object(Entry(bundle::kTypePath, "m2", 0100777))
                 .Object(Entry(bundle::kTypePath, "m3", 0100777));
             bundle::EntryHead link = Entry(bundle::kTypeSymlink, "m4", 0120700);
             link.SetTarget("inside");
             b.Object(link);
         },
         101, [](const Sandbox& s) { EXPECT_EQ(ModeOf(s.InRoot("inside")), 0100644u); }},
        // Opening a FIFO to compare it would wait for a writer for ever.
        {"file over a FIFO", kNothing,
         [](Bundle& b, const Sandbox&) {
             b.Object(Entry(bundle::kTypeFifo, "p", 010644)).File("p", "data");
         },
         101, [](const Sandbox& s) { EXPECT_EQ(ReadFile(s.InRoot("p")), "data"); }},
        {"links with absolute targets are made as they are", kNothing,
         [](Bundle& b, const Sandbox& s) { b.Link("etc/keep", s.Outside() + "/keep"); }, 101,
         [](const Sandbox& s) {
             char target[256] = {};
             ASSERT_GT(::readlink(s.InRoot("etc/keep").c_str(), target, sizeof(target) - 1), 0);
             EXPECT_EQ(std::string(target), s.Outside() + "/keep");
         }},
        {"nothing replaces the root itself", kNothing,
         [](Bundle& b, const Sandbox&) { b.Link(".", "/elsewhere"); }, kErrorCreate,
         [](const Sandbox& s) {
             EXPECT_EQ(ModeOf(s.Root()) & S_IFMT, static_cast<mode_t>(S_IFDIR));
         }},
    });
}

}  // namespace
