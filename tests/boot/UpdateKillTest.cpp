// A real update in tovrask-sim killed (SIGKILL) at a dozen points, as a power cut would end it:
// the next boot must show "Boot options", and running the update again must leave the NAND and
// the boot partition exactly as one uninterrupted update does.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "tests/boot/DeviceRoot.h"
#include "tests/update/BundleFixture.h"

using testsupport::ProcessResult;

namespace {

const char* const kMenu = "until:\"m_eState == sUpgrade\" wait:100 ";
const char* const kChoose = "DOWN ENTER until:\"Mounted /mnt/usb/\" wait:100 ENTER ";

// An application of several MiB that compresses poorly, as machine code does.
std::string Application() {
    std::string app;
    uint32_t x = 2015;
    app.reserve(3u << 20);
    while (app.size() < (3u << 20)) {
        x = x * 1664525u + 1013904223u;
        app += static_cast<char>(x >> 24);
    }
    return app;
}

void Prepare(const DeviceRoot& device) {
    // The menu shows by itself: no marker on the NAND.
    device.InstallApplication(100000, false);
    device.WriteNand("etc/zup_version", "1.04\n");
    testsupport::WriteFile(device.Boot("zImage"), "old kernel");
    testsupport::WriteFile(device.Boot("igep.pub"), "old public key\n");
    testsupport::WriteFile(device.Boot("igep.pri"), "private key\n");
    testsupport::WriteFile(device.Boot("igep.ini"), "old public key\nprivate key\n");
    device.InsertUsb();
    static const std::string app = Application();
    fixture::Bundle bundle(device.Usb("release.zup"));
    bundle.File("boot/zImage", std::string(300000, 'k'), 0100644, true)
        .File("arvel/arvel", app, 0100755)
        .File("boot/igep.pub", "new public key\n")
        .File("etc/zup_version", "1.05\n")
        .File("etc/skip-update", "1");
    bundle.Finish();
}

// What the update leaves on the media. "/var/reboot" is the reboot's business, not the update's.
std::map<std::string, std::string> Media(const DeviceRoot& device) {
    std::map<std::string, std::string> media;
    for (const auto& e : fixture::Snapshot(device / "dev/mtdblock4"))
        media["nand/" + e.first] = e.second;
    for (const auto& e : fixture::Snapshot(device / "dev/mmcblk0p1"))
        media["boot/" + e.first] = e.second;
    media.erase("nand/var/reboot");
    return media;
}

// The update from the menu to its end, and the boot after it: the program ends by itself after a
// success; a failure brings the menu back, and the run stops there.
ProcessResult Update(const DeviceRoot& device) {
    return device.Run(std::string(kMenu) + kChoose + kMenu + "stop");
}

bool Succeeded(const ProcessResult& r) {
    const size_t done = r.out.find("Bundle extraction is complete.\n");
    return done != std::string::npos && r.out.find("Load complete", done) != std::string::npos &&
           (r.status == 0 || r.status == 1);
}

// Kill once `text` has been printed `count` times and then `ms` more milliseconds have passed.
struct Cut {
    const char* text;
    int count;
    int ms;
};

size_t Count(const std::string& out, const std::string& text) {
    size_t n = 0;
    for (size_t at = out.find(text); at != std::string::npos; at = out.find(text, at + 1))
        ++n;
    return n;
}

}  // namespace

struct CutGroup {
    const char* name;
    std::vector<Cut> cuts;
};

// Three groups, each a test of its own: an emulated build runs each within its time.
class UpdateKillTest : public ::testing::TestWithParam<CutGroup> {};

TEST_P(UpdateKillTest, AKilledUpdateShowsTheMenuAndARerunConverges) {
    fixture::UseTargetSystem();
    DeviceRoot clean;
    Prepare(clean);
    const ProcessResult whole = Update(clean);
    ASSERT_TRUE(Succeeded(whole)) << whole.out << whole.err;
    ASSERT_EQ(whole.status, 1) << whole.out;  // a new kernel: "Rebooting..."
    const std::map<std::string, std::string> expected = Media(clean);
    ASSERT_EQ(testsupport::ReadFile(clean.Nand("etc/skip-update")), "1");

    for (const Cut& c : GetParam().cuts) {
        SCOPED_TRACE(std::string("killed ") + std::to_string(c.ms) + " ms after " + c.text);
        DeviceRoot device;
        Prepare(device);
        bool seen = false;
        std::chrono::steady_clock::time_point at;
        const ProcessResult killed =
            device.RunCutWhen(std::string(kMenu) + kChoose, [&](const std::string& out) {
                if (!seen && Count(out, c.text) >= static_cast<size_t>(c.count)) {
                    seen = true;
                    at = std::chrono::steady_clock::now();
                }
                return seen &&
                       std::chrono::steady_clock::now() - at >= std::chrono::milliseconds(c.ms);
            });
        // The marker is the update's last write.
        const bool complete = testsupport::Exists(device.Nand("etc/skip-update"));
        // Only a completed update may have ended by itself first (with its reboot).
        ASSERT_TRUE(killed.status == 128 + 9 || (complete && killed.status == 1))
            << killed.out << killed.err;
        if (complete) {
            const ProcessResult boot = device.Run("");
            EXPECT_EQ(boot.status, 0) << boot.out;
            EXPECT_NE(boot.out.find("Switching to main application.\n"), std::string::npos)
                << boot.out;
            EXPECT_EQ(Media(device), expected);
            continue;
        }

        // The next boot shows "Boot options", and the same update runs again.
        const ProcessResult rerun = Update(device);
        EXPECT_EQ(rerun.out.find("Init: "), rerun.out.find("Init: Skip file not found.\n"))
            << rerun.out;
        ASSERT_TRUE(Succeeded(rerun)) << rerun.out << rerun.err;
        EXPECT_EQ(Media(device), expected);
        // A kernel written by the rerun reboots; one the cut left in place was booted by the cut.
        const bool kernel = rerun.out.find("Extracting: boot/zImage") != std::string::npos;
        EXPECT_EQ(rerun.status, kernel ? 1 : 0) << rerun.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, UpdateKillTest,
    ::testing::Values(CutGroup{"Start",
                               {{"Verify success.\n", 1, 0},
                                {"Mounted /mnt/nand/boot/\n", 1, 0},
                                {"Extracting: boot/zImage", 1, 0},
                                {"Extracting: arvel/arvel", 1, 0}}},
                      CutGroup{"Application",
                               {{"Extracting: arvel/arvel", 1, 30},
                                {"Extracting: arvel/arvel", 1, 100},
                                {"Extracting: arvel/arvel", 1, 250},
                                {"Extracting: boot/igep.pub", 1, 0}}},
                      CutGroup{"End",
                               {{"Extracting: etc/skip-update", 1, 0},
                                {"Bundle extraction is complete.\n", 1, 0},
                                {"Mounted /mnt/nand/boot/\n", 2, 0},
                                {"igep.pub has changed.\n", 1, 0},
                                {"Unmounting /mnt/nand/boot/ ... Ok.\n", 2, 0}}}),
    [](const ::testing::TestParamInfo<CutGroup>& info) { return std::string(info.param.name); });
