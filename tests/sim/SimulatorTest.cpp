#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

#include "tests/support/PngFile.h"
#include "tests/support/Subprocess.h"
#include "tests/support/TempDir.h"

using testsupport::Exists;
using testsupport::PngFile;
using testsupport::ProcessResult;
using testsupport::RunProgram;
using testsupport::TempDir;

namespace {

// A device that boots normally: the marker and an application on the NAND.
ProcessResult Sim(const TempDir& root, std::vector<std::string> args) {
    testsupport::MakeDirs(root / "dev/mtdblock4/arvel");
    testsupport::MakeDirs(root / "dev/mtdblock4/etc");
    testsupport::MakeDirs(root / "mnt/nand");
    testsupport::WriteFile(root / "dev/mtdblock4/arvel/arvel", std::string(1 << 20, 'a'));
    testsupport::WriteFile(root / "dev/mtdblock4/etc/skip-update", "1");
    args.insert(args.begin(), {"--root", root.Path(), "--timeout-ms", testsupport::kSimulatorHangMs});
    return RunProgram("tovrask-sim", args);
}

// Takes a variable out of the environment of the programs a test starts, for the test's length.
class UnsetVariable {
public:
    explicit UnsetVariable(const char* name) : name_(name) {
        const char* value = std::getenv(name);
        if (value != nullptr) saved_ = value;
        had_ = value != nullptr;
        ::unsetenv(name);
    }
    ~UnsetVariable() {
        if (had_) ::setenv(name_, saved_.c_str(), 1);
    }
    UnsetVariable(const UnsetVariable&) = delete;
    UnsetVariable& operator=(const UnsetVariable&) = delete;

private:
    const char* name_;
    std::string saved_;
    bool had_ = false;
};

}  // namespace

TEST(Simulator, EachFramebufferStepFailsWithItsStatusAndSystemText) {
    struct Case {
        const char* step;
        int status;
        const char* line;
    };
    const Case cases[] = {
        {"open", 1, "Error: cannot open framebuffer device: No such file or directory\n"},
        {"fixed", 2, "Error reading fixed information: Inappropriate ioctl for device\n"},
        {"variable", 3, "Error reading variable information: Inappropriate ioctl for device\n"},
        {"map", 4, "Error: failed to map framebuffer device to memory: Cannot allocate memory\n"},
    };
    TempDir root;
    for (const Case& c : cases) {
        const ProcessResult r = Sim(root, {"--fb-fail", c.step, "--screenshot", root / "shot.png"});
        EXPECT_EQ(r.status, c.status) << c.step;
        EXPECT_EQ(r.err.substr(0, std::string(c.line).size()), c.line) << c.step;
        EXPECT_EQ(r.out.find("Tovrask"), std::string::npos) << c.step;
        EXPECT_FALSE(Exists(root / "shot.png")) << "nothing was mapped, so nothing is captured";
    }
}

TEST(Simulator, StartUpLinesAndTheBootScreen) {
    TempDir root;
    const ProcessResult r = Sim(root, {"--screenshot", root / "boot.png", "--frames", root / "frames/new"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string startUp =
        "The framebuffer device was opened successfully.\n"
        "Memory size: 768000, linesize: 1600\n"
        "800x480, 16bpp\n"
        "The framebuffer device was mapped to memory successfully.\n";
    EXPECT_EQ(r.out.substr(0, startUp.size()), startUp);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("Tovrask\nH=22, A=17, D=5.\nGlyph count 256.\n"), std::string::npos);
    PngFile screen;
    ASSERT_TRUE(screen.Load(root / "boot.png"));
    EXPECT_EQ(screen.width, 800);
    EXPECT_EQ(screen.height, 480);
    EXPECT_EQ(screen.At(0, 0), 0u);  // the background is black
    // The emblem at (243, 113), 314 x 158.
    bool emblem = false;
    for (int y = 113; y < 113 + 158; ++y) {
        for (int x = 243; x < 243 + 314; ++x) emblem = emblem || screen.At(x, y) != 0;
    }
    EXPECT_TRUE(emblem);
    EXPECT_TRUE(Exists(root / "frames/new/frame-0001.png"));
}

TEST(Simulator, PaddedRowsAndOtherDepthsShowTheSamePicture) {
    // No NAND: the menu comes and stays on the screen until the script stops the run.
    TempDir root;
    auto run = [&](std::vector<std::string> more) {
        std::vector<std::string> args = {"--root", root.Path(), "--timeout-ms", testsupport::kSimulatorHangMs, "--keys",
                                         "until:\"m_eState == sUpgrade\" wait:300 stop"};
        args.insert(args.end(), more.begin(), more.end());
        return RunProgram("tovrask-sim", args);
    };
    ASSERT_EQ(run({"--screenshot", root / "plain.png"}).status, 124);
    const ProcessResult padded =
        run({"--line-length", "1700", "--bpp", "32", "--screenshot", root / "padded.png"});
    ASSERT_EQ(padded.status, 124) << padded.err;
    EXPECT_NE(padded.out.find("Memory size: 816000, linesize: 1700\n800x480, 32bpp\n"), std::string::npos);
    PngFile plain, wide;
    ASSERT_TRUE(plain.Load(root / "plain.png"));
    ASSERT_TRUE(wide.Load(root / "padded.png"));
    EXPECT_EQ(wide.width, 800);
    EXPECT_TRUE(plain.rgb == wide.rgb);
}

TEST(Simulator, StatsCountTheBytesTheFlushesWrote) {
    // A normal boot draws its screen once, whole, and flushes it once; without --stats nothing
    // more is said.
    TempDir root;
    ProcessResult r = Sim(root, {"--stats"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "tovrask-sim: flushed 768000 bytes in 1 flushes\n");
    r = Sim(root, {});
    EXPECT_EQ(r.err, "");
}

TEST(Simulator, UsageErrorsExitWith64) {
    TempDir root;
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--root", root / "missing"},
        {"--root", root.Path(), "--colour", "red"},
        {"--root", root.Path(), "--size", "800"},
        {"--root", root.Path(), "--fb-fail", "sometimes"},
        {"--root", root.Path(), "--clock-rate", "0"},
        {"--root", root.Path(), "--line-length", "100"},
        {"--root", root.Path(), "--line-length", "1601"},
        {"--root", root.Path(), "--scale", "2"},
        {"--root", root.Path(), "--window", "--scale", "5"},
    };
    for (const auto& args : bad) {
        const ProcessResult r = RunProgram("tovrask-sim", args);
        EXPECT_EQ(r.status, 64) << (args.empty() ? "" : args.back());
        EXPECT_EQ(r.err.rfind("tovrask-sim: ", 0), 0u) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST(Simulator, WindowWithNoDisplayOrNoSdlExitsWith64) {
    // With SDL2 the window needs a display; a build without SDL2 (the device's architecture,
    // ThreadSanitizer) has no window at all. Either way the run ends before the program starts,
    // with one line saying why.
    TempDir root;
    UnsetVariable display("DISPLAY"), wayland("WAYLAND_DISPLAY"), driver("SDL_VIDEODRIVER");
    const ProcessResult r =
        RunProgram("tovrask-sim", {"--root", root.Path(), "--window", "--timeout-ms", testsupport::kSimulatorHangMs});
    EXPECT_EQ(r.status, 64);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("tovrask-sim: --window", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_FALSE(Exists(root / "dev")) << "the key device made for the run is left behind";
}

TEST(DeviceProgram, WithoutAFramebufferExitsWith1) {
    struct stat info {};
    if (::stat("/dev/fb0", &info) == 0) GTEST_SKIP() << "this machine has a framebuffer";
    const ProcessResult r = RunProgram("tovrask", {});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Error: cannot open framebuffer device: No such file or directory\n");
    EXPECT_EQ(r.out, "");
}
