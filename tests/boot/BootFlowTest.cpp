// The whole boot manager through tovrask-sim: console lines, exit status, the files left on the
// simulated media and, where it matters, the screen.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "gui/engine/ScreenEngineLpc.h"
#include "gui/engine/data/BuiltinFont.h"
#include "tests/boot/DeviceRoot.h"
#include "tests/support/PngFile.h"
#include "tests/update/BundleFixture.h"
#include "tovrask/AccessCodes.h"

using testsupport::Exists;
using testsupport::PngFile;
using testsupport::ProcessResult;
using testsupport::ReadFile;

namespace {

// Keys that type a code into the password box: a step down on the end marker inserts "0", each
// further step moves on through "0123456789ABCDEF", ENTER goes to the next position. The keys are
// spaced as a hand would: the device keeps only 15 presses waiting.
std::string TypeCode(uint32_t code) {
    char hex[16];
    std::snprintf(hex, sizeof(hex), "%X", code);
    std::string keys;
    for (const char* c = hex; *c != '\0'; ++c) {
        const int digit = *c <= '9' ? *c - '0' : *c - 'A' + 10;
        for (int i = 0; i <= digit; ++i) keys += "DOWN wait:20 ";
        keys += "ENTER wait:20 ";
    }
    return keys + "ENTER";
}

// Waits for the "Boot options" menu (a little longer, so that its first picture is drawn).
const char* kMenu = "until:\"m_eState == sUpgrade\" wait:100 ";

// A line of text in the device's own font, in pen on paper, with its baseline origin at (x, y)
// of a screen; or, with boxCorner, with the top-left corner of its box there, as a label draws it.
struct Text {
    std::string text;
    int x, y;
    bool boxCorner;
    gui::Colour pen, paper;
};

// Which pixels of a screen of that size the text covers.
std::vector<bool> Covered(int width, int height, const Text& t) {
    std::vector<gui::Pixel> memory(static_cast<size_t>(width) * height);
    gui::ScreenEngineLpc engine(memory.data(), width, height, 0);
    std::unique_ptr<gui::Font> font = gui::LoadBuiltinFont();
    const gui::Rect box = gui::TextBounds(*font, t.text.c_str());
    engine.RegisterFont(0, std::move(font));
    engine.SelectFont(0);
    engine.SetPenColour(t.pen);
    const gui::Pixel paper = gui::ToPixel(t.paper);
    std::fill(engine.Canvas().buffer.begin(), engine.Canvas().buffer.end(), paper);
    engine.DrawText(t.boxCorner ? t.x - box.left : t.x, t.boxCorner ? t.y - box.top : t.y, t.text.c_str(), nullptr);
    std::vector<bool> covered;
    for (gui::Pixel p : engine.Canvas().buffer) covered.push_back(p != paper);
    return covered;
}

// Whether any of the frames the simulator wrote into dir shows the text and nothing else inside
// area: the pixels unlike the area's first one are exactly those the device's font covers.
bool AnyFrameShows(const std::string& dir, const gui::Rect& area, const Text& t) {
    PngFile frame;
    std::vector<bool> covered;
    for (int n = 1; frame.Load(dir + "/frame-" + std::to_string(10000 + n).substr(1) + ".png"); ++n) {
        if (covered.empty()) covered = Covered(frame.width, frame.height, t);
        bool same = true;
        for (int y = area.top; same && y <= area.bottom; ++y) {
            for (int x = area.left; same && x <= area.right; ++x) {
                const bool shown = frame.At(x, y) != frame.At(area.left, area.top);
                same = shown == covered[static_cast<size_t>(y) * frame.width + x];
            }
        }
        if (same) return true;
    }
    return false;
}

}  // namespace

class BootFlowTest : public ::testing::Test {
protected:
    BootFlowTest() { fixture::UseTargetSystem(); }

    // An update bundle on the stick, made from the given files (path, contents).
    void PutBundle(const std::string& name, const std::vector<std::pair<std::string, std::string>>& files,
                   bool corrupt = false) {
        device.InsertUsb();
        fixture::Bundle bundle(device.Usb(name));
        for (const auto& f : files) bundle.File(f.first, f.second, 0100644, true);
        // Corrupt: a wrong digest under a head that is itself sound.
        bundle.Finish([corrupt](bundle::Head& head) {
            if (!corrupt) return;
            head.digest[0] ^= 0xFF;
            head.checksum = head.ComputeChecksum();
        });
    }

    DeviceRoot device;
};

TEST_F(BootFlowTest, ANormalBootMeasuresTheApplicationAndStartsIt) {
    device.InstallApplication(5000000);
    const ProcessResult r = device.Run("");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(InOrder(r.out, {"Device Type 2.\n", "CPU Type 1.\n", "Tovrask\n", "H=22, A=17, D=5.\n",
                                "Created possible block devices.\n", "Entering the main loop ...\n",
                                "Mounted /mnt/nand/\n", "Init: App file found, size is 4 MB.\n",
                                "Load complete in "}))
        << r.out;
    EXPECT_NE(r.out.find("kB/s. 5000000\n"), std::string::npos);
    // The key thread's texts may come at any time; the main thread's last line is this one.
    EXPECT_EQ(MainThreadLines(r.out).back(), "Switching to main application.") << r.out;
    EXPECT_EQ(r.out.find("m_eState"), std::string::npos) << "no menu";
}

TEST_F(BootFlowTest, F1DuringTheLoadShowsTheMenuAfterIt) {
    device.InstallApplication(0);
    ASSERT_EQ(::truncate(device.Nand("arvel/arvel").c_str(), 256 << 20), 0);  // long enough to catch
    const ProcessResult r = device.Run(std::string("F1 ") + kMenu + "ENTER");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(InOrder(r.out, {"Load complete in ", "kB/s. 268435456\n", "m_eState == sUpgrade\n",
                                "Switching to main application.\n"}))
        << r.out;
}

TEST_F(BootFlowTest, WithoutTheMarkerTheMenuOffersWhatThereIs) {
    // With the application the first row is "Start Normally": it writes the marker and starts.
    device.InstallApplication(1000, false);
    ProcessResult r = device.Run(std::string(kMenu) + "ENTER");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(InOrder(r.out, {"Init: Skip file not found.\n", "m_eState == sUpgrade\n",
                                "Switching to main application.\n"}))
        << r.out;
    EXPECT_EQ(ReadFile(device.Nand("etc/skip-update")), "1");

    // Without it the first row is "Update".
    DeviceRoot bare;
    r = bare.Run(std::string(kMenu) + "ENTER until:\"Mount /mnt/usb/ failed.\" ESC F7 " + kMenu + "ESC wait:300 stop");
    EXPECT_EQ(r.status, 124) << "the menu offers no way to start";
    EXPECT_NE(r.err.find("stopped by the key script"), std::string::npos) << r.err;
    EXPECT_TRUE(InOrder(r.out, {"Init: Skip file not found.\n", "m_eState == sUpgrade\n", "Mount /mnt/usb/ failed.\n"}));
    EXPECT_FALSE(Exists(bare.Nand("etc/skip-update")));
}

TEST_F(BootFlowTest, AnUpdateWithAKernelEndsInAReboot) {
    device.InstallApplication(1000, false);
    device.WriteNand("etc/zup_version", "1.04\n");
    ASSERT_TRUE(testsupport::WriteFile(device.Boot("zImage"), "old kernel"));
    PutBundle("release.zup", {{"boot/zImage", "new kernel"}, {"arvel/arvel", std::string(3000, 'b')},
                              {"etc/skip-update", "1"}, {"etc/zup_version", "1.05\n"}});
    // Boot options: DOWN to "Update"; the file list: ENTER on the only file.
    const ProcessResult r = device.Run(std::string(kMenu) + "DOWN ENTER until:\"Mounted /mnt/usb/\" wait:100 ENTER",
                                       10, {"--screenshot", device / "end.png"});
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(InOrder(r.out, {"Mounted /mnt/usb/\n", "File selected.\n",
                                "Bundle file (re)opened", "ZUP Verify start - 4 files, bundle type 1.\n",
                                "Verify success.\n", "Mounted /mnt/nand/boot/\n", "Extract start.\n",
                                "Extracting: boot/zImage", "Bundle extraction is complete.\n",
                                "Unmounting /mnt/nand/boot/ ... Ok.\n", "Unmounting /mnt/usb/ ... Ok.\n",
                                "Unmounting /mnt/nand/ ... Ok.\n", "Mounted /mnt/nand/\n",
                                "Init: App file found", "Load complete", "Rebooting...\n"}))
        << r.out;
    EXPECT_EQ(ReadFile(device.Boot("zImage")), "new kernel");
    EXPECT_EQ(ReadFile(device.Nand("arvel/arvel")), std::string(3000, 'b'));
    EXPECT_TRUE(Exists(device.Nand("var/reboot")));
    EXPECT_EQ(ReadFile(device.Nand("var/reboot")), "");
    EXPECT_FALSE(Exists(device / "dev/event2")) << "the simulator cleans up its key device";
}

TEST_F(BootFlowTest, AnUpdateWithoutAKernelStartsTheApplication) {
    device.InstallApplication(1000, false);
    PutBundle("app.zup", {{"arvel/arvel", "new application"}, {"etc/skip-update", "1"}});
    const ProcessResult r = device.Run(std::string(kMenu) + "DOWN ENTER until:\"Mounted /mnt/usb/\" wait:100 ENTER");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(InOrder(r.out, {"Verify success.\n", "Bundle extraction is complete.\n", "Load complete",
                                "Switching to main application.\n"}));
    EXPECT_FALSE(Exists(device.Nand("var/reboot")));
    EXPECT_EQ(ReadFile(device.Nand("arvel/arvel")), "new application");
}

TEST_F(BootFlowTest, MediaProblemsAreShownAndTheMenuComesBack) {
    device.InstallApplication(1000, false);
    // No stick: every pass tries again; after more than 5 s the warning, then the menu again.
    ProcessResult r = device.Run(std::string(kMenu) + "DOWN ENTER " + kMenu + "ENTER");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(InOrder(r.out, {"Mount /mnt/usb/ failed.\n", "Mount /mnt/usb/ failed.\n", "m_eState == sUpgrade\n",
                                "Switching to main application.\n"}));
    // The waiting passes come about 10 ms of the program's clock apart: some hundreds of tries
    // in the 5 s, never thousands (a machine under load only makes fewer).
    size_t tries = 0;
    for (size_t at = r.out.find("Mount /mnt/usb/ failed."); at != std::string::npos;
         at = r.out.find("Mount /mnt/usb/ failed.", at + 1)) {
        ++tries;
    }
    EXPECT_LE(tries, 5000u / 10 + 20) << "a try for every 10 ms at most, and a few while the screen is drawn";

    // A stick without update files: "a.zup" is too short a name, "x.ZUP" has the wrong case.
    DeviceRoot other;
    other.InstallApplication(1000, false);
    other.WriteUsb("a.zup", "x");
    other.WriteUsb("x.ZUP", "x");
    other.WriteUsb("notes.txt", "x");
    r = other.Run(std::string(kMenu) + "DOWN ENTER " + kMenu + "ENTER");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(InOrder(r.out, {"Mounted /mnt/usb/\n", "Unmounting /mnt/usb/ ... Ok.\n", "m_eState == sUpgrade\n"}))
        << r.out;
    EXPECT_EQ(r.out.find("File selected."), std::string::npos);
}

TEST_F(BootFlowTest, TheScreenShowsTheProgramAndTheInstalledVersion) {
    // The version file's first line keeps 31 characters; the line on the screen 34.
    device.InstallApplication(1000, false);
    device.WriteNand("etc/zup_version", "v2015.01.14-rc3-arvel-ii-display\n1.00\n");
    // Once a dialog has chosen the font, every pass of the wait for the stick draws the lines.
    const ProcessResult r =
        device.Run(std::string(kMenu) + "DOWN ENTER " + kMenu + "ENTER", 10, {"--frames", device / "frames"});
    EXPECT_EQ(r.status, 0) << r.out;
    const struct {
        gui::Rect area;
        Text line;
    } lines[] = {
        {gui::Rect(0, 0, 800, 26), {"Tovrask v1.0, Jan 14 2015", 10, 20, false, 0x808080, 0x000000}},
        {gui::Rect(0, 26, 800, 26), {"Installed: v2015.01.14-rc3-arvel-i", 10, 45, false, 0x808080, 0x000000}},
    };
    for (const auto& l : lines) EXPECT_TRUE(AnyFrameShows(device / "frames", l.area, l.line)) << l.line.text;
}

TEST_F(BootFlowTest, ACorruptBundleIsRefusedAndNothingIsWritten) {
    device.InstallApplication(1000, false);
    PutBundle("bad.zup", {{"arvel/arvel", "tampered"}}, true);
    const ProcessResult r =
        device.Run(std::string(kMenu) + "DOWN ENTER until:\"Mounted /mnt/usb/\" wait:100 ENTER " + kMenu + "ENTER");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(InOrder(r.out, {"Invalid MD5 of the bundle file.\n", "Verify error -43.\n",
                                "Unmounting /mnt/usb/ ... Ok.\n", "Unmounting /mnt/nand/ ... Ok.\n",
                                "m_eState == sUpgrade\n"}))
        << r.out;
    EXPECT_EQ(ReadFile(device.Nand("arvel/arvel")), std::string(1000, 'a'));
}

TEST_F(BootFlowTest, AnExtractionErrorKeepsWhatWasInstalled) {
    device.InstallApplication(1000, false);
    device.InsertUsb();
    fixture::Bundle bundle(device.Usb("broken.zup"));
    bundle.File("etc/ok", "fine");
    bundle.Data(fixture::FileEntry("etc/broken", "contents"), "other bytes");  // digest mismatch
    bundle.Finish();
    const ProcessResult r = device.Run(std::string(kMenu) + "DOWN ENTER until:\"Mounted /mnt/usb/\" wait:100 ENTER " +
                                       kMenu + "ENTER");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(InOrder(r.out, {"Verify success.\n", "Invalid MD5 of extracted file.\n", "Extract error -33.\n",
                                "Unmounting /mnt/nand/boot/ ... Ok.\n", "Unmounting /mnt/usb/ ... Ok.\n",
                                "Unmounting /mnt/nand/ ... Ok.\n", "m_eState == sUpgrade\n"}));
    EXPECT_EQ(ReadFile(device.Nand("etc/ok")), "fine") << "what was installed stays";
    EXPECT_FALSE(Exists(device.Nand("etc/broken")));
}

TEST_F(BootFlowTest, EscInTheFileListGoesBackToTheMenu) {
    device.InstallApplication(1000, false);
    PutBundle("a1.zup", {{"x", "1"}});
    PutBundle("b1.zup", {{"x", "2"}});
    const ProcessResult r =
        device.Run(std::string(kMenu) + "DOWN ENTER until:\"Mounted /mnt/usb/\" wait:100 ESC " + kMenu + "ENTER");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(InOrder(r.out, {"Mounted /mnt/usb/\n", "m_eState == sUpgrade\n", "Unmounting /mnt/usb/ ... Ok.\n",
                                "Switching to main application.\n"}));
    EXPECT_FALSE(Exists(device.Nand("x")));
}

TEST_F(BootFlowTest, SystemResetErasesTheNandWithTheResetCode) {
    struct Case {
        int status;
        const char* message;
    };
    for (const Case& c : {Case{0, "Format success."}, Case{1, "Format FAILED."}}) {
        DeviceRoot dev;
        dev.InstallApplication(1000, false);
        dev.Stub("flash_eraseall", c.status);
        const ProcessResult r = dev.Run(std::string(kMenu) + "DOWN DOWN ENTER wait:500 " +
                                            TypeCode(access_codes::kReset) + " " + kMenu + "ENTER",
                                        10, {"--frames", dev / "frames"});
        EXPECT_EQ(r.status, 0) << r.out;
        char pass[32];
        std::snprintf(pass, sizeof(pass), "Pass 0x%x.\n", access_codes::kReset);
        EXPECT_TRUE(InOrder(r.out, {"Password entered.\n", pass, "Unmounting /mnt/nand/ ... Ok.\n",
                                    "Filesystem format: flash_eraseall /dev/mtd4\n", "m_eState == sUpgrade\n"}))
            << r.out;
        EXPECT_EQ(dev.Calls(), "flash_eraseall " + (dev / "dev/mtd4") + "\n");
        // The message's line, black on white in the dialog (its box's corner at 269, 235).
        EXPECT_TRUE(AnyFrameShows(dev / "frames", gui::Rect(269, 235, 262, 22),
                                  {c.message, 269, 235, true, 0x000000, 0xFFFFFF}))
            << c.message;
    }
}

TEST_F(BootFlowTest, WrongAndServiceCodes) {
    struct Case {
        uint32_t code;
        const char* waits;  // the dialog stays and waits after this text; nullptr: the menu comes back
        std::vector<std::string> lines;
        std::string calls;  // relative to the root
    };
    const Case cases[] = {
        {0x123, nullptr, {"Pass 0x123.\n", "m_eState == sUpgrade\n", "Switching to main application.\n"}, ""},
        {access_codes::kShell, "sh called.", {"Password entered.\n", "sh called.\n"}, "sh \n"},
        {access_codes::kRepartition, "repartion called.", {"Password entered.\n", "repartion called.\n"},
         "repartion \n"},
        {access_codes::kAccepted1, "Password entered.", {"Password entered.\n"}, ""},
        {access_codes::kCleanup, nullptr,
         {"Mounted /mnt/maps/\n", "Deleting mass storage: rm -rf /mnt/maps//*\n", "m_eState == sUpgrade\n",
          "Switching to main application.\n"},
         "rm -rf @/dev/mmcblk0p2/map1.dat\n"},  // the shell expanded the pattern
    };
    for (const Case& c : cases) {
        DeviceRoot dev;
        dev.InstallApplication(1000, false);
        dev.WriteMaps("map1.dat", "m");
        for (const char* stub : {"rm", "sh", "repartion"}) dev.Stub(stub, 0);
        const std::string then =
            c.waits == nullptr ? std::string(kMenu) + "ENTER" : "until:\"" + std::string(c.waits) + "\" wait:300 stop";
        const ProcessResult r = dev.Run(std::string(kMenu) + "DOWN DOWN ENTER wait:500 " + TypeCode(c.code) + " " + then);
        EXPECT_EQ(r.status, c.waits == nullptr ? 0 : 124) << r.out;
        EXPECT_TRUE(InOrder(r.out, c.lines)) << r.out;
        if (c.waits != nullptr) {
            EXPECT_NE(r.err.find("stopped by the key script"), std::string::npos) << r.err;
            EXPECT_EQ(r.out.find("m_eState == sUpgrade\n", r.out.find("Password entered.")), std::string::npos)
                << "the dialog stays";
        }
        std::string calls = c.calls;
        if (calls.find('@') != std::string::npos) calls.replace(calls.find('@'), 1, dev.Path());
        EXPECT_EQ(dev.Calls(), calls);
    }
}

TEST_F(BootFlowTest, AnIgepBoardUsesItsOwnNandDevice) {
    DeviceRoot igep(true);
    igep.InstallApplication(1000, false);
    igep.Stub("flash_eraseall", 0);
    const ProcessResult r = igep.Run(std::string(kMenu) + "DOWN DOWN ENTER wait:500 " +
                                     TypeCode(access_codes::kReset) + " " + kMenu + "ENTER");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(InOrder(r.out, {"CPU Type 2.\n", "Mounted /mnt/nand/\n", "Filesystem format: flash_eraseall /dev/mtd2\n"}));
    EXPECT_EQ(igep.Calls(), "flash_eraseall " + (igep / "dev/mtd2") + "\n");
}

TEST_F(BootFlowTest, ANewPublicKeyRewritesTheBootConfiguration) {
    device.InstallApplication(1000, false);
    ASSERT_TRUE(testsupport::WriteFile(device.Boot("igep.pri"), "private key\n"));
    ASSERT_TRUE(testsupport::WriteFile(device.Boot("igep.ini"), "old configuration, longer than the new one\n"));
    PutBundle("keys.zup", {{"boot/igep.pub", "public key\n"}, {"etc/skip-update", "1"}});
    const ProcessResult r = device.Run(std::string(kMenu) + "DOWN ENTER until:\"Mounted /mnt/usb/\" wait:100 ENTER");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(InOrder(r.out, {"Bundle extraction is complete.\n", "Mounted /mnt/nand/boot/\n", "igep.pub has changed.\n",
                                "Unmounting /mnt/nand/boot/ ... Ok.\n"}));
    EXPECT_EQ(ReadFile(device.Boot("igep.ini")), "public key\nprivate key\n");
}

TEST_F(BootFlowTest, AKernelInstalledEarlierInTheRunStillReboots) {
    // The kernel is installed, then the same bundle again: this time every file is unchanged
    // and nothing is listed as written. Starting normally afterwards must still reboot.
    device.InstallApplication(1000, false);
    PutBundle("kernel.zup", {{"boot/zImage", "new kernel"}});
    const std::string update = "DOWN ENTER until:\"Mounted /mnt/usb/\" wait:100 ENTER ";
    const ProcessResult r = device.Run(std::string(kMenu) + update + kMenu + update + kMenu + "ENTER");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(InOrder(r.out, {"Extracting: boot/zImage", "m_eState == sUpgrade\n",
                                "Bundle extraction is complete.\n", "m_eState == sUpgrade\n", "Rebooting...\n"}))
        << r.out;
    const std::string second = r.out.substr(r.out.find("m_eState == sUpgrade\n", r.out.find("Extracting: boot/zImage")));
    EXPECT_EQ(second.find("Extracting: boot/zImage"), std::string::npos) << "unchanged the second time";
}

// Without its boot partition an update would put the kernel into the NAND's own folder beneath
// the mount point, and boot the old one: it does not start at all.
TEST_F(BootFlowTest, AnUpdateWithoutTheBootPartitionDoesNotStart) {
    device.InstallApplication(1000, false);
    device.WriteNand("boot/zImage", "hidden kernel");
    PutBundle("release.zup", {{"boot/zImage", "new kernel"}, {"arvel/arvel", "new application"},
                              {"etc/skip-update", "1"}});
    ASSERT_EQ(::rename(device.Boot("").c_str(), (device / "sd-card").c_str()), 0);
    const ProcessResult r = device.Run(std::string(kMenu) + "DOWN ENTER until:\"Mounted /mnt/usb/\" wait:100 ENTER " +
                                       kMenu + "stop");
    EXPECT_EQ(r.status, 124) << r.out;
    EXPECT_TRUE(InOrder(r.out, {"Verify success.\n", "Mount /mnt/nand/boot/ failed.\n", "Unmounting /mnt/usb/ ... Ok.\n",
                                "Unmounting /mnt/nand/ ... Ok.\n", "Init: Skip file not found.\n",
                                "m_eState == sUpgrade\n"}))
        << r.out;
    EXPECT_EQ(r.out.find("Extract start."), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("Update success."), std::string::npos);
    EXPECT_EQ(ReadFile(device.Nand("boot/zImage")), "hidden kernel");
    EXPECT_EQ(ReadFile(device.Nand("arvel/arvel")), std::string(1000, 'a'));
    EXPECT_FALSE(Exists(device.Nand("etc/skip-update")));
    EXPECT_FALSE(Exists(device.Nand("etc/skip-update.held")));
    ASSERT_EQ(::rename((device / "sd-card").c_str(), device.Boot("").c_str()), 0);
    EXPECT_FALSE(Exists(device.Boot("zImage"))) << "the SD card is untouched";
}

TEST_F(BootFlowTest, AnUpdateThatDoesNotFitIsNeverASuccess) {
    device.InstallApplication(1000, false);
    PutBundle("big.zup", {{"etc/small", "fits"}, {"arvel/arvel", std::string(200000, 'x') + "end"}});
    // 64 blocks: 32 KiB a file at the most.
    const ProcessResult r =
        device.RunWithFileLimit(64, std::string(kMenu) + "DOWN ENTER until:\"Mounted /mnt/usb/\" wait:100 ENTER " +
                                        kMenu + "ENTER");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(InOrder(r.out, {"Verify success.\n", "Extracting: arvel/arvel", "Write failed during extract.\n",
                                "Extract error -39.\n", "Unmounting /mnt/nand/ ... Ok.\n", "m_eState == sUpgrade\n"}))
        << r.out;
    EXPECT_EQ(r.out.find("Bundle extraction is complete."), std::string::npos);
    EXPECT_EQ(r.out.find("Rebooting"), std::string::npos);
    EXPECT_EQ(ReadFile(device.Nand("etc/small")), "fits") << "what fitted stays";
    EXPECT_EQ(ReadFile(device.Nand("arvel/arvel")), std::string(1000, 'a')) << "the old application stays whole";
    EXPECT_FALSE(Exists(device.Nand("arvel/.arvel.zup-new")));
}
