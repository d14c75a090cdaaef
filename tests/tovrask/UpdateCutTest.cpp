// An update cut by a power loss after every possible number of main-loop passes: the boot state
// machine itself installs a bundle on a simulated device, in a child process that ends at once
// after that many passes (losing what the C library had not written, as a cut does). At every
// cut the device must be bootable into "Boot options" with every file whole, and rerunning the
// update must give exactly what one uninterrupted update gives.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>
#include <map>
#include <memory>
#include <string>

#include "gui/WidgetManager.h"
#include "platform/HostSystem.h"
#include "tests/support/TempDir.h"
#include "tests/update/BundleFixture.h"
#include "tovrask/ApplicationEvents.h"
#include "tovrask/WidgetMain.h"

using testsupport::Exists;
using testsupport::MakeDirs;
using testsupport::ReadFile;
using testsupport::WriteFile;
using tovrask::WidgetMain;

namespace {

const char* const kNand = "dev/mtdblock4/";
const char* const kBoot = "dev/mmcblk0p1/";

// One start of the program over the device: its own backend and state machine, as after a boot.
class Boot {
public:
    // system: a backend of the test's own over the same root (default: the plain host backend).
    explicit Boot(const std::string& root, platform::System* system = nullptr)
        : previous_(&platform::Current()), host_(root, platform::HostFramebuffer::Config{}) {
        platform::Install(system != nullptr ? system : &host_);
        gui::WidgetManager::Instance().container = &events_;
        main_ = new WidgetMain(&info_, 800, 480);
        gui::WidgetManager::Instance().SetMainWidget(main_);
    }
    ~Boot() {
        gui::WidgetManager::Instance().focus = nullptr;
        gui::WidgetManager::Instance().mainWidget = nullptr;
        delete main_;
        gui::WidgetManager::Instance().container = nullptr;
        // The fixture's files are written with the real calls again.
        platform::Install(previous_);
    }

    WidgetMain& Main() { return *main_; }

    // From the first state to the menu, and on to the chosen bundle: what the keys would do.
    // False when the menu does not come (the device would start its application).
    bool ChooseUpdate() {
        main_->menuRequested = true;  // F1: the menu even where the marker was found
        for (int i = 0; i < 1000 && main_->m_eState != WidgetMain::sBootMenu; ++i) {
            if (main_->m_eState == WidgetMain::sExit)
                return false;
            main_->Step();
        }
        main_->OnEvent(Event(evMenuUpdate, 0));
        main_->Step();  // the prompt
        main_->Step();  // the stick is mounted and listed
        if (main_->m_eState != WidgetMain::sFileSelect)
            return false;
        main_->OnEvent(Event(evFileSelected, 0));
        return main_->m_eState == WidgetMain::sVerifyStart;
    }
    // Steps until the update's outcome is shown (or `limit` passes); returns the passes made.
    int Install(int limit = 100000) {
        int passes = 0;
        while (passes < limit && main_->m_eState != WidgetMain::sMessage) {
            main_->Step();
            ++passes;
        }
        return passes;
    }

private:
    platform::System* previous_;
    platform::HostSystem host_;
    EventContainer events_;
    PlatformInfo info_;
    WidgetMain* main_ = nullptr;
};

std::string Application(char fill) {
    std::string app;
    for (int i = 0; app.size() < 64 * 1024; ++i)
        app += fill + std::to_string(i) + " of the application\n";
    return app;
}

// A device as it was before the update, and the update on its stick.
struct Device {
    testsupport::TempDir dir;
    std::string Root() const { return dir.Path(); }
    std::string Nand(const std::string& rel) const { return dir / (kNand + rel); }
    std::string Boot(const std::string& rel) const { return dir / (kBoot + rel); }

    explicit Device(bool markerBefore, bool bundleMarker) {
        for (const char* d : {"dev/mtdblock4/etc", "dev/mtdblock4/arvel", "dev/mtdblock4/boot",
                              "dev/mmcblk0p1", "dev/sda1", "mnt/nand", "mnt/usb", "mnt/maps"}) {
            MakeDirs(dir / d);
        }
        WriteFile(Nand("arvel/arvel"), Application('a'));
        WriteFile(Nand("etc/zup_version"), "1.04\n");
        ::symlink("arvel.old", Nand("arvel/current").c_str());
        if (markerBefore)
            WriteFile(Nand("etc/skip-update"), "1");
        WriteFile(Boot("zImage"), "old kernel");
        WriteFile(Boot("igep.pub"), "old public key\n");
        WriteFile(Boot("igep.pri"), "old private key\n");
        WriteFile(Boot("igep.ini"), "old public key\nold private key\n");

        fixture::Bundle bundle(dir / "dev/sda1/release.zup");
        bundle.File("boot/zImage", std::string(20000, 'k'), 0100644, true)
            .File("boot/igep.pub", "new public key\n")
            .File("boot/igep.pri", "new private key\n")
            .File("arvel/arvel", Application('b'), 0100755, true)
            .Large("arvel/maps.bin", std::string(20000, 'm'))
            .Link("arvel/current", "arvel")
            .Object(fixture::Entry(bundle::kTypeFifo, "var/events", 010600))
            .File("etc/zup_version", "1.05\n");
        if (bundleMarker)
            bundle.File("etc/skip-update", "1");
        bundle.Finish();
        files = {{Nand("arvel/arvel"), {Application('a'), Application('b')}},
                 {Nand("arvel/maps.bin"), {"", std::string(20000, 'm')}},
                 {Nand("etc/zup_version"), {"1.04\n", "1.05\n"}},
                 {Boot("zImage"), {"old kernel", std::string(20000, 'k')}},
                 {Boot("igep.pub"), {"old public key\n", "new public key\n"}},
                 {Boot("igep.pri"), {"old private key\n", "new private key\n"}},
                 {Boot("igep.ini"),
                  {"old public key\nold private key\n", "new public key\nnew private key\n"}}};
    }

    // Every regular file the update touches, with its old and new contents ("" for absent).
    std::map<std::string, std::pair<std::string, std::string>> files;
};

// Runs the update in a child that stops after `passes` passes and ends without flushing
// anything; returns true when the update had finished by then.
bool CutAfter(const Device& device, int passes) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        Boot boot(device.Root());
        if (!boot.ChooseUpdate())
            ::_exit(2);
        boot.Install(passes);
        const bool finished = boot.Main().m_eState == WidgetMain::sMessage;
        ::_exit(finished ? 1 : 0);  // no exit handlers, no stream flushed: the power is gone
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << "the update could not be chosen";
    return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}

// The whole update on a started program; what it printed.
std::string RunUpdate(const Device& device, bool* success) {
    testing::internal::CaptureStdout();
    Boot boot(device.Root());
    const bool chosen = boot.ChooseUpdate();
    if (chosen)
        boot.Install();
    const std::string out = testing::internal::GetCapturedStdout();
    const tovrask::Dialog* shown = boot.Main().dialog;
    *success = chosen && shown != nullptr && shown->title == "Info";  // "Update success."
    return out;
}

struct Variant {
    const char* name;
    bool markerBefore;  // F1 pressed at the boot: the marker was there
    bool bundleMarker;
};

}  // namespace

class UpdateCutTest : public ::testing::TestWithParam<Variant> {};

TEST_P(UpdateCutTest, EveryCutBootsTheMenuAndARerunConverges) {
    const Variant v = GetParam();
    Device clean(v.markerBefore, v.bundleMarker);
    bool success = false;
    const std::string out = RunUpdate(clean, &success);
    ASSERT_TRUE(success) << out;
    const std::map<std::string, std::string> expected = fixture::Snapshot(clean.Root());
    ASSERT_EQ(ReadFile(clean.Nand("etc/skip-update")), "1");

    int finishedAt = -1;
    for (int passes = 1; finishedAt < 0 && passes < 2000; ++passes) {
        SCOPED_TRACE("cut after " + std::to_string(passes) + " passes");
        Device device(v.markerBefore, v.bundleMarker);
        const std::map<std::string, std::string> before = fixture::Snapshot(device.Root());
        if (CutAfter(device, passes))
            finishedAt = passes;
        const std::map<std::string, std::string> now = fixture::Snapshot(device.Root());
        if (finishedAt < 0 && now != before) {
            // Something was written: the update has begun, and only its end may bring the marker.
            EXPECT_FALSE(Exists(device.Nand("etc/skip-update")));
            for (const auto& f : device.files) {
                const std::string contents = Exists(f.first) ? ReadFile(f.first) : "";
                EXPECT_TRUE(contents == f.second.first || contents == f.second.second) << f.first;
            }
            const auto link = now.find(std::string(kNand) + "arvel/current");
            if (link != now.end()) {
                EXPECT_TRUE(link->second == "link -> arvel.old" || link->second == "link -> arvel")
                    << link->second;
            }
            testing::internal::CaptureStdout();
            {
                Boot next(device.Root());
                next.Main().Step();
                EXPECT_EQ(next.Main().m_eState, WidgetMain::sUpgrade)
                    << "the next start shows the menu";
            }
            testing::internal::GetCapturedStdout();
        }
        const std::string rerun = RunUpdate(device, &success);
        ASSERT_TRUE(success) << rerun;
        EXPECT_EQ(fixture::Snapshot(device.Root()), expected);
    }
    EXPECT_GT(finishedAt, 40) << "the cuts covered every pass of the update";
}

INSTANTIATE_TEST_SUITE_P(Markers, UpdateCutTest,
                         ::testing::Values(Variant{"BundleMarker", false, true},
                                           Variant{"HeldMarker", true, false}),
                         [](const ::testing::TestParamInfo<Variant>& info) {
                             return std::string(info.param.name);
                         });

// The boot keys need the boot partition as well: when it cannot be mounted any more, the update
// has failed, with the marker kept away and no reboot, however much was installed.
TEST(InstallationMediaTest, ABootPartitionLostBeforeTheBootKeysFailsTheUpdate) {
    Device device(false, true);
    testing::internal::CaptureStdout();
    bool failed = false;
    {
        Boot boot(device.Root());
        ASSERT_TRUE(boot.ChooseUpdate());
        for (int i = 0; i < 1000 && boot.Main().m_eState != WidgetMain::sInstallDone; ++i) {
            boot.Main().Step();
        }
        ASSERT_EQ(boot.Main().m_eState, WidgetMain::sInstallDone);
        ASSERT_EQ(::rename(device.Boot("").c_str(), (device.dir / "sd-card").c_str()), 0);
        boot.Main().Step();
        failed = boot.Main().m_eState == WidgetMain::sMessage && boot.Main().dialog != nullptr &&
                 boot.Main().dialog->title == "Warning" && !boot.Main().rebootRequested;
    }
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(failed) << out;
    EXPECT_NE(out.find("Mount /mnt/nand/boot/ failed.\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("igep.pub has changed."), std::string::npos) << out;
    EXPECT_FALSE(Exists(device.Nand("etc/skip-update")));
}

// Without the boot partition the update does not start: nothing is written, the bundle is closed
// so that the stick can be unmounted, and the warning leads back to the menu.
TEST(InstallationMediaTest, WithoutTheBootPartitionNothingIsInstalled) {
    // With and without the NAND's boot folder: a folder made for the mount goes again.
    for (const bool bootFolder : {true, false}) {
        SCOPED_TRACE(bootFolder ? "with the boot folder" : "without the boot folder");
        Device device(true, false);
        ASSERT_EQ(::rename(device.Boot("").c_str(), (device.dir / "sd-card").c_str()), 0);
        if (!bootFolder) {
            ASSERT_EQ(::rmdir((device.Root() + "/dev/mtdblock4/boot").c_str()), 0);
        }
        const std::map<std::string, std::string> before = fixture::Snapshot(device.Root());
        testing::internal::CaptureStdout();
        bool warned = false;
        {
            Boot boot(device.Root());
            ASSERT_TRUE(boot.ChooseUpdate());
            boot.Install();
            warned = boot.Main().dialog != nullptr && boot.Main().dialog->title == "Warning";
        }
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_TRUE(warned) << out;
        const size_t failed = out.find("Mount /mnt/nand/boot/ failed.\n");
        const size_t usb = out.find("Unmounting /mnt/usb/ ... Ok.\n", failed);
        ASSERT_NE(failed, std::string::npos) << out;
        EXPECT_NE(usb, std::string::npos) << "the stick is not busy: " << out;
        EXPECT_NE(out.find("Unmounting /mnt/nand/ ... Ok.\n", usb), std::string::npos) << out;
        EXPECT_EQ(out.find("Extract start."), std::string::npos);
        EXPECT_EQ(fixture::Snapshot(device.Root()), before) << "the marker too is where it was";
    }
}

namespace {

// The host backend, recording the calls that make an update durable, in order.
class RecordingHost : public platform::HostSystem {
public:
    using HostSystem::HostSystem;
    void Sync() override {
        calls.push_back("sync");
        HostSystem::Sync();
    }
    int SyncStream(FILE* stream) override {
        calls.push_back("fsync");
        return HostSystem::SyncStream(stream);
    }
    int Rename(const char* from, const char* to) override {
        calls.push_back("rename " + std::string(from) + " " + to);
        return HostSystem::Rename(from, to);
    }
    int SyncDirectory(const char* path) override {
        calls.push_back("syncdir " + std::string(path));
        return HostSystem::SyncDirectory(path);
    }
    std::vector<std::string> calls;
};

}  // namespace

// The end of an update: the new boot configuration is flushed before it is renamed into place,
// everything is synced, and only then does the marker come back, as the last rename.
TEST(InstallationOrderTest, TheBootConfigurationThenASyncThenTheMarkerLast) {
    Device device(true, true);
    RecordingHost recorder(device.Root(), platform::HostFramebuffer::Config{});
    testing::internal::CaptureStdout();
    {
        Boot boot(device.Root(), &recorder);
        ASSERT_TRUE(boot.ChooseUpdate());
        boot.Install();
    }
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_EQ(ReadFile(device.Nand("etc/skip-update")), "1") << out;
    const std::vector<std::string>& calls = recorder.calls;
    const auto at = [&](const std::string& call) {
        return std::find(calls.begin(), calls.end(), call) - calls.begin();
    };
    const long n = static_cast<long>(calls.size());
    const long ini = at("rename /mnt/nand/boot/.igep.ini.zup-new /mnt/nand/boot/igep.ini");
    const long marker = at("rename /mnt/nand//etc/skip-update.bundle /mnt/nand//etc/skip-update");
    const long aside = at("rename /mnt/nand//etc/skip-update /mnt/nand//etc/skip-update.held");
    ASSERT_LT(ini, n) << out;
    ASSERT_LT(marker, n) << testing::PrintToString(calls);
    ASSERT_LT(aside, n) << out;
    EXPECT_EQ(calls[static_cast<size_t>(ini - 1)], "fsync");
    const long sync = std::find(calls.begin() + ini, calls.end(), "sync") - calls.begin();
    EXPECT_LT(sync, marker) << "synced before the marker";
    EXPECT_EQ(calls[static_cast<size_t>(marker + 1)], "syncdir /mnt/nand//etc");
    for (long i = marker + 1; i < n; ++i)
        EXPECT_NE(calls[static_cast<size_t>(i)].rfind("rename", 0), 0u) << "after the marker: " << calls[i];
    // The marker was set aside, and the folder synced, before the first file was written.
    EXPECT_EQ(calls[static_cast<size_t>(aside + 1)], "syncdir /mnt/nand//etc");
    EXPECT_LT(aside, at("fsync"));
}
