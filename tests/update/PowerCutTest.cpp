// Power cuts during an installation: the extraction is stopped after every possible number of
// steps, in a child process that then ends at once, losing what the C library had not yet
// written, as a cut does. Installing the same bundle again must always give the complete tree and
// leave alone what the bundle does not name.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

#include "tests/update/BundleFixture.h"

using fixture::Bundle;
using fixture::Sandbox;
using fixture::Snapshot;
using testsupport::MakeDirs;
using testsupport::WriteFile;

namespace {

// The root before the update: an older version of one file, a file the bundle does not name.
void PrepareRoot(const Sandbox& box) {
    MakeDirs(box.InRoot("etc"));
    MakeDirs(box.InRoot("var/log"));
    WriteFile(box.InRoot("etc/version"), "1.04\n");
    WriteFile(box.InRoot("var/log/messages"), "kept across updates\n");
}

std::string MakeBundle(const Sandbox& box) {
    std::string big;
    for (int i = 0; i < 6000; ++i) big += "line " + std::to_string(i) + " of the application\n";
    Bundle bundle = box.NewBundle();
    bundle.Dir("arvel")
        .File("arvel/arvel", big)                          // several 8 KiB write steps
        .File("arvel/settings", std::string(9000, 's'), 0100600, true)
        .Dir("boot")
        .File("boot/zImage", std::string(20000, 'k'))
        .Large("data/maps.bin", std::string(30000, 'm'))
        .Link("arvel/current", "arvel")
        .File("etc/version", "1.05\n");
    return bundle.Finish();
}

// Runs the update in a child that stops after `steps` extraction steps and ends without
// flushing anything; returns the child's step count reached (or -1).
int CutAfter(Sandbox& box, const std::string& bundle, int steps) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        box.reader.SetBundlePath(bundle);
        box.reader.SetDestinationRoot(box.Root());
        int r = 0;
        while ((r = box.reader.VerifyStep()) >= 0 && r != 101) {
        }
        for (int i = 0; i < steps && (r = box.reader.ExtractStep()) >= 0 && r != 101; ++i) {
        }
        ::_exit(r == 101 ? 101 : 0);  // no exit handlers, no stream flushed: the power is gone
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(PowerCut, RerunningTheUpdateAlwaysCompletesTheTree) {
    // The tree a clean installation gives.
    Sandbox clean;
    PrepareRoot(clean);
    const std::string cleanBundle = MakeBundle(clean);
    ASSERT_EQ(clean.Install(cleanBundle).Last(), 101);
    const std::map<std::string, std::string> expected = Snapshot(clean.Root());
    ASSERT_EQ(expected.count("var/log/messages"), 1u);

    int completedAt = -1;
    int partial = 0;  // cuts that left the tree unfinished
    for (int steps = 1; completedAt < 0 && steps < 400; ++steps) {
        SCOPED_TRACE("cut after " + std::to_string(steps) + " extraction steps");
        Sandbox box;
        PrepareRoot(box);
        const std::string bundle = MakeBundle(box);
        const std::map<std::string, std::string> outside = box.OutsideState();
        if (CutAfter(box, bundle, steps) == 101) completedAt = steps;
        // Every file holds its old or its new contents, never a part; absent counts as old.
        for (const char* file :
             {"arvel/arvel", "arvel/settings", "boot/zImage", "data/maps.bin", "etc/version"}) {
            const std::string path = box.InRoot(file);
            if (!testsupport::Exists(path)) continue;
            const std::string contents = testsupport::ReadFile(path);
            EXPECT_TRUE(contents == testsupport::ReadFile(clean.InRoot(file)) ||
                        (std::string(file) == "etc/version" && contents == "1.04\n"))
                << file;
        }
        partial += Snapshot(box.Root()) != expected;
        const fixture::StepRun rerun = box.Install(bundle);
        ASSERT_EQ(rerun.Last(), 101) << rerun.out;
        EXPECT_EQ(Snapshot(box.Root()), expected);
        EXPECT_EQ(box.OutsideState(), outside);
    }
    EXPECT_GT(completedAt, 20) << "the cuts covered every step of the extraction";
    // The last steps of an entry (its mode, the move to the next) may leave nothing visible to do.
    EXPECT_GT(partial, completedAt * 9 / 10) << "the cuts left unfinished trees behind";
}
