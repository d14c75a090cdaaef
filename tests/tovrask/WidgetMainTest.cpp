// The boot state machine driven directly, with the clock set by hand.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "gui/MenuItem.h"
#include "gui/WidgetManager.h"
#include "gui/WidgetStatic.h"
#include "platform/HostSystem.h"
#include "tests/support/TempDir.h"
#include "tovrask/AccessCodes.h"
#include "tovrask/ApplicationEvents.h"
#include "tovrask/DialogUpgrade.h"
#include "tovrask/WidgetMain.h"
#include "update/BundleWriter.h"

using testsupport::Exists;
using testsupport::MakeDirs;
using testsupport::TempDir;
using testsupport::WriteFile;
using tovrask::WidgetMain;

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

class WidgetMainTest : public ::testing::Test {
protected:
    WidgetMainTest() : host(root.Path(), platform::HostFramebuffer::Config{}) {
        platform::Install(&host);
        SetClock(100, 0);
        for (const char* d : {"dev/mtdblock4/arvel", "dev/mtdblock4/etc", "mnt/nand", "mnt/usb"}) {
            MakeDirs(root / d);
        }
        gui::WidgetManager::Instance().container = &events;
        testing::internal::CaptureStdout();
        main = new WidgetMain(&info, 800, 480);
        gui::WidgetManager::Instance().SetMainWidget(main);
        testing::internal::GetCapturedStdout();
    }
    ~WidgetMainTest() override {
        gui::WidgetManager::Instance().focus = nullptr;
        gui::WidgetManager::Instance().mainWidget = nullptr;
        delete main;
        gui::WidgetManager::Instance().container = nullptr;
    }

    void SetClock(long seconds, long ms) { host.Clock().Set({seconds, ms * 1000000}); }
    std::string Step() {
        testing::internal::CaptureStdout();
        main->Step();
        return testing::internal::GetCapturedStdout();
    }
    std::string Deliver(const Event& e, bool* handled = nullptr) {
        testing::internal::CaptureStdout();
        const bool h = main->OnEvent(e);
        if (handled != nullptr) *handled = h;
        return testing::internal::GetCapturedStdout();
    }
    // Mounts or unmounts entry `index` as an earlier state would have, its lines unseen.
    void Quietly(int index, bool mount) {
        testing::internal::CaptureStdout();
        if (mount) {
            main->mounts[static_cast<size_t>(index)]->Mount();
        } else {
            main->mounts[static_cast<size_t>(index)]->Unmount();
        }
        testing::internal::GetCapturedStdout();
    }
    // The stick's "b1.zup" chosen in the file list and verified: what the passes printed, up to
    // the installation's start or a message.
    std::string ChooseAndVerify(bool nandMounted) {
        Quietly(kMountNand, nandMounted);
        Quietly(kMountUsb, true);
        main->m_eState = WidgetMain::sFileSelect;
        main->updateFiles = {"b1.zup"};
        Deliver(Event(evFileSelected, 0));
        std::string out;
        for (int i = 0; i < 10 && main->m_eState != WidgetMain::sInstallStart &&
                        main->m_eState != WidgetMain::sMessage;
             ++i) {
            out += Step();
        }
        return out;
    }

    // The dialog shown, as "Title: line / line".
    std::string Shown() const {
        if (main->dialog == nullptr) return "(none)";
        std::string text = main->dialog->title + ":";
        const char* separator = " ";
        for (const gui::Widget* w : main->dialog->children) {
            if (const auto* label = dynamic_cast<const gui::WidgetStatic*>(w)) {
                text += separator + label->text;
                separator = " / ";
            }
        }
        return text;
    }
    // The rows of the "Boot options" menu shown.
    std::vector<std::string> MenuRows() const {
        std::vector<std::string> rows;
        if (const auto* menu = dynamic_cast<const tovrask::DialogUpgrade*>(main->dialog)) {
            for (const gui::AbstractMenuItem* item : menu->choiceMenu->items) {
                rows.push_back(static_cast<const gui::MenuItem*>(item)->label);
            }
        }
        return rows;
    }
    // A service command in the device's sbin that only exits with status.
    void Command(const std::string& name, int status) {
        MakeDirs(root / "sbin");
        WriteFile(root / ("sbin/" + name), "#!/bin/sh\nexit " + std::to_string(status) + "\n");
        ::chmod((root / ("sbin/" + name)).c_str(), 0755);
    }

    TempDir root;
    platform::HostSystem host;
    EventContainer events;
    PlatformInfo info;
    WidgetMain* main;
};

TEST_F(WidgetMainTest, ALoadTooQuickToMeasureShowsNoSpeed) {
    WriteFile(root / "dev/mtdblock4/etc/skip-update", "1");
    WriteFile(root / "dev/mtdblock4/arvel/arvel", std::string(1000, 'a'));
    EXPECT_NE(Step().find("Init: App file found, size is 0 MB.\n"), std::string::npos);
    EXPECT_EQ(main->m_eState, WidgetMain::sLoadApp);
    EXPECT_EQ(Step(), "Load complete in 0ms, avarage speed 0 kB/s. 1000\n");  // the clock stood still
    EXPECT_EQ(main->m_eState, WidgetMain::sExit);

    // With time passing, bytes per millisecond.
    main->m_eState = WidgetMain::sInit;
    Step();
    SetClock(100, 4);
    EXPECT_EQ(Step(), "Load complete in 4ms, avarage speed 250 kB/s. 1000\n");
}

TEST_F(WidgetMainTest, MessagesStayForMoreThanThreeAndAHalfSeconds) {
    main->m_eState = WidgetMain::sPasswordInvalid;
    Step();
    EXPECT_EQ(main->m_eState, WidgetMain::sMessage);
    ASSERT_NE(main->dialog, nullptr);
    SetClock(103, 500);
    Step();
    EXPECT_EQ(main->m_eState, WidgetMain::sMessage) << "3500 ms is not more than 3500";
    SetClock(103, 501);
    Step();
    EXPECT_EQ(main->m_eState, WidgetMain::sInit);
    EXPECT_EQ(main->dialog, nullptr);
}

TEST_F(WidgetMainTest, AFileIndexOutsideTheListIsIgnored) {
    main->m_eState = WidgetMain::sFileSelect;
    main->updateFiles = {"a1.zup", "b1.zup"};
    for (int64_t index : {-1LL, 2LL, 1LL << 40}) {
        bool handled = true;
        Deliver(Event(evFileSelected, index), &handled);
        EXPECT_FALSE(handled);
        EXPECT_EQ(main->m_eState, WidgetMain::sFileSelect) << index;
    }
    Deliver(Event(evFileSelected, 1));
    EXPECT_EQ(main->m_eState, WidgetMain::sVerifyStart);
    EXPECT_EQ(main->bundlePathText, "b1.zup");
}

// A CA file on the NAND, whatever it holds, makes the reader ask for a signature; the warning
// then tells a refused signature from a damaged bundle.
TEST_F(WidgetMainTest, ARefusedSignatureHasItsOwnWarning) {
    MakeDirs(root / "dev/sda1");
    BundleWriter writer;
    ASSERT_TRUE(writer.Open("/dev/sda1/b1.zup"));
    ASSERT_TRUE(writer.Finish(bundle::Head::Make(1, 100)));
    std::string out = ChooseAndVerify(true);
    EXPECT_EQ(main->m_eState, WidgetMain::sInstallStart) << out;
    EXPECT_EQ(out.find("Signature"), std::string::npos);

    WriteFile(root / "dev/mtdblock4/etc/zup-ca.pem", "");
    out = ChooseAndVerify(true);
    EXPECT_EQ(main->m_eState, WidgetMain::sMessage);
    EXPECT_EQ(Shown(), "Warning: Update file signature / ERROR.");
    EXPECT_NE(out.find("Signature error: no usable CA.\nInvalid signature of the bundle file.\n"
                       "Verify error -51.\n"),
              std::string::npos)
        << out;
    EXPECT_TRUE(EndsWith(out, "Unmounting /mnt/usb/ ... Ok.\nUnmounting /mnt/nand/ ... Ok.\n")) << out;
}

TEST_F(WidgetMainTest, ACaOnANandUnseenAtVerificationStillRefusesTheBundle) {
    // The NAND did not mount at start-up, so the bundle was verified without its CA; the
    // installation mounts it, finds the CA and writes nothing.
    MakeDirs(root / "dev/sda1");
    BundleWriter writer;
    ASSERT_TRUE(writer.Open("/dev/sda1/b1.zup"));
    ASSERT_TRUE(writer.AddFile([] {
        bundle::EntryHead head;
        head.SetPath("arvel/arvel");
        head.type = bundle::kTypeFile;
        head.mode = 0100755;
        return head;
    }(), "unsigned application", false));
    ASSERT_TRUE(writer.Finish(bundle::Head::Make(1, 100)));
    WriteFile(root / "dev/mtdblock4/etc/zup-ca.pem", "");
    MakeDirs(root / "dev/mmcblk0p1");
    MakeDirs(root / "dev/mtdblock4/boot");
    std::string out = ChooseAndVerify(false);
    ASSERT_EQ(main->m_eState, WidgetMain::sInstallStart) << out;
    EXPECT_EQ(out.find("Signature"), std::string::npos) << out;
    out += Step();
    EXPECT_EQ(main->m_eState, WidgetMain::sMessage) << out;
    EXPECT_EQ(Shown(), "Warning: Extract error.") << out;
    EXPECT_NE(out.find("Mounted /mnt/nand/\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("Mounted /mnt/nand/boot/"), std::string::npos) << "nothing begun: " << out;
    EXPECT_FALSE(Exists(root / "dev/mtdblock4/arvel/arvel"));
}

TEST_F(WidgetMainTest, StartNormallyWithoutANandStaysInTheMenu) {
    main->m_eState = WidgetMain::sBootMenu;
    main->appPresent = true;
    ::rename((root / "dev/mtdblock4").c_str(), (root / "dev/gone").c_str());
    bool handled = false;
    EXPECT_EQ(Deliver(Event(evMenuStart), &handled), "Mount /mnt/nand/ failed.\n");
    EXPECT_TRUE(handled);
    EXPECT_EQ(main->m_eState, WidgetMain::sBootMenu);

    main->appPresent = false;  // nothing to start: the event goes on
    EXPECT_EQ(Deliver(Event(evMenuStart), &handled), "");
    EXPECT_FALSE(handled);
}

TEST_F(WidgetMainTest, KeysOutsideTheDialogs) {
    main->m_eState = WidgetMain::sResetPassword;
    bool handled = false;
    EXPECT_EQ(Deliver(Event(evEnter), &handled), "Enter\n");
    EXPECT_TRUE(handled);
    Deliver(Event(evCancel), &handled);
    EXPECT_TRUE(handled) << "ESC is swallowed";
    Deliver(Event(evKeyF1), &handled);
    EXPECT_TRUE(main->menuRequested);
    // A code with anything in its upper half matches none.
    Deliver(Event(evPassword, int64_t(1) << 32 | 0x7C3E9));
    EXPECT_EQ(main->m_eState, WidgetMain::sPasswordInvalid);
}

TEST_F(WidgetMainTest, WithoutNandOrFirmwareTheMenuCannotStart) {
    struct Case {
        const char* name;
        bool nand, marker, application;
        std::string line;  // how the first pass ends
        bool start;        // "Start Normally" is offered
    };
    const Case cases[] = {
        {"no NAND", false, true, true, "Mount /mnt/nand/ failed.\nInit: Could not mount NAND.\n", false},
        {"marker without application", true, true, false, "Init: Firmware not found.\n", false},
        {"application without marker", true, false, true, "Init: Skip file not found.\n", true},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(root / "dev/mtdblock4");
        if (c.nand) {
            MakeDirs(root / "dev/mtdblock4/etc");
            MakeDirs(root / "dev/mtdblock4/arvel");
        }
        if (c.marker) WriteFile(root / "dev/mtdblock4/etc/skip-update", "1");
        if (c.application) WriteFile(root / "dev/mtdblock4/arvel/arvel", "app");
        main->m_eState = WidgetMain::sInit;
        main->appPresent = !c.start;  // left from an earlier pass
        const std::string out = Step();
        EXPECT_TRUE(EndsWith(out, c.line)) << c.name << ":\n" << out;
        EXPECT_EQ(main->m_eState, WidgetMain::sUpgrade) << c.name;
        EXPECT_EQ(main->appPresent, c.start) << c.name;
        Step();
        EXPECT_EQ(main->m_eState, WidgetMain::sBootMenu) << c.name;
        std::vector<std::string> rows = {"Update", "System Reset"};
        if (c.start) rows.insert(rows.begin(), "Start Normally");
        EXPECT_EQ(MenuRows(), rows) << c.name;
        main->appFile.Close();
        Quietly(kMountNand, false);
    }
}

TEST_F(WidgetMainTest, TheInstallingDialogShowsTheContentVersion) {
    struct Case {
        std::string file;
        uint16_t version;
        std::string installing;  // what the dialog says: at most 24 characters
    };
    const Case cases[] = {
        {"ab.zup", 105, "ab.zup v1.5"},  // hundredths without a leading zero
        {"ab.zup", 150, "ab.zup v1.50"},
        {"update_zup", 7, "update_zup v0.7"},
        {"update_zup", 65535, "update_zup v655.35"},  // unsigned 16 bits
        {"firmware_2015_01.zup", 1234, "firmware_2015_01.zup v12"},
        {"a_release_candidate_42.zup", 100, "a_release_candidate_42.z"},
    };
    MakeDirs(root / "dev/sda1");
    MakeDirs(root / "dev/mmcblk0p1");  // an installation begins only with its boot partition
    Quietly(kMountNand, true);
    Quietly(kMountUsb, true);
    for (const Case& c : cases) {
        BundleWriter writer;
        ASSERT_TRUE(writer.Open("/mnt/usb/" + c.file));
        bundle::EntryHead entry;
        entry.type = bundle::kTypeFile;
        entry.mode = 0100644;
        entry.SetPath("etc/version-note");
        ASSERT_TRUE(writer.AddFile(entry, "note", false));
        ASSERT_TRUE(writer.Finish(bundle::Head::Make(1, c.version)));

        main->m_eState = WidgetMain::sFileSelect;
        main->updateFiles = {"other.zup", c.file};
        Deliver(Event(evFileSelected, 1));
        Step();
        EXPECT_EQ(Shown(), "Verifying: " + c.file) << "the whole name, however long";
        for (int i = 0; i < 100 && main->m_eState == WidgetMain::sVerify; ++i) Step();
        ASSERT_EQ(main->m_eState, WidgetMain::sInstallStart) << c.file;
        Step();
        EXPECT_EQ(Shown(), "Installing: " + c.installing) << c.version;
        EXPECT_EQ(main->m_eState, WidgetMain::sInstall);
    }
}

TEST_F(WidgetMainTest, TheInstalledVersionIsTheVersionFilesFirstLine) {
    // In this order: a version file that is empty or missing leaves the text before.
    struct Case {
        const char* contents;  // null: no file
        std::string shown;
    };
    const Case cases[] = {
        {"1.05\n2.00\n", "1.05\n"},  // the line end stays in the text
        {"", "1.05\n"},
        {nullptr, "1.05\n"},
        {"2.0", "2.0"},
        {"0123456789012345678901234567890123456789\n", "0123456789012345678901234567890"},
    };
    for (const Case& c : cases) {
        if (c.contents != nullptr) {
            WriteFile(root / "dev/mtdblock4/etc/zup_version", c.contents);
        } else {
            std::remove((root / "dev/mtdblock4/etc/zup_version").c_str());
        }
        main->m_eState = WidgetMain::sUpgrade;
        Step();
        EXPECT_EQ(main->installedVersion, c.shown) << (c.contents != nullptr ? c.contents : "(no file)");
        main->appFile.Close();
    }
}

TEST_F(WidgetMainTest, UpdateFilesAreNamesLongerThanFiveEndingInZup) {
    struct Case {
        const char* name;
        bool listed;
    };
    const Case cases[] = {
        {"update_zup", true}, {"ab.zup", true},   {"abczup", true},    {"a.zup", false},
        {"abzup", false},     {"x.ZUP", false},   {"ab.zupx", false},  {"notes.txt", false},
    };
    MakeDirs(root / "dev/sda1");
    std::vector<std::string> listed;
    for (const Case& c : cases) {
        WriteFile(root / ("dev/sda1/" + std::string(c.name)), "x");
        if (c.listed) listed.push_back(c.name);
    }
    main->m_eState = WidgetMain::sWaitMedia;
    Step();
    EXPECT_EQ(main->m_eState, WidgetMain::sFileSelect);
    std::vector<std::string> found = main->updateFiles;
    std::sort(found.begin(), found.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(found, listed);
}

TEST_F(WidgetMainTest, AMediumThatCannotBeListedHasNoUpdateFiles) {
    // The stick was mounted on an earlier visit and has gone since.
    MakeDirs(root / "dev/sda1");
    WriteFile(root / "dev/sda1/ab.zup", "x");
    Quietly(kMountUsb, true);
    std::filesystem::rename(root / "dev/sda1", root / "dev/pulled");
    main->m_eState = WidgetMain::sWaitMedia;
    main->updateFiles = {"ab.zup"};
    const std::string out = Step();
    EXPECT_EQ(out.substr(0, out.find('\n') + 1), "Error opening dir.\n") << out;
    EXPECT_NE(out.find("Unmounting /mnt/usb/ ... "), std::string::npos) << out;
    EXPECT_TRUE(main->updateFiles.empty());
    EXPECT_EQ(main->m_eState, WidgetMain::sMessage);
    EXPECT_EQ(Shown(), "Warning: No valid update files / were found on external media.");
}

TEST_F(WidgetMainTest, TheMediumIsAwaitedForFiveSeconds) {
    struct Case {
        int32_t ms;  // after the prompt
        bool stick;
        int32_t state;
        const char* shown;
    };
    const Case cases[] = {
        {5000, false, WidgetMain::sWaitMedia, "Info: Waiting for external / media device..."},
        {5001, false, WidgetMain::sMessage, "Warning: External media device is / not detected."},
        {5001, true, WidgetMain::sFileSelect, "Select:"},
    };
    for (const Case& c : cases) {
        if (c.stick) {
            MakeDirs(root / "dev/sda1");
            WriteFile(root / "dev/sda1/ab.zup", "x");
        }
        // Long after the start: the wait counts from the prompt.
        SetClock(200, 0);
        main->m_eState = WidgetMain::sMediaPrompt;
        Step();
        SetClock(200 + c.ms / 1000, c.ms % 1000);
        const std::string out = Step();
        EXPECT_EQ(main->m_eState, c.state) << c.ms;
        EXPECT_EQ(Shown(), c.shown) << c.ms;
        if (!c.stick) {
            EXPECT_EQ(out.substr(0, out.find('\n') + 1), "Mount /mnt/usb/ failed.\n") << c.ms;
        }
        Quietly(kMountUsb, false);
    }
}

TEST_F(WidgetMainTest, AMissingBootFolderIsMadeOnTheNand) {
    MakeDirs(root / "dev/mmcblk0p1");
    Quietly(kMountNand, true);
    const mode_t mask = ::umask(022);
    for (bool missing : {true, false}) {
        main->m_eState = WidgetMain::sInstallStart;
        const std::string out = Step();
        const std::string made = missing ? "Mount folder does not exist, creating.\n" : "";
        EXPECT_TRUE(EndsWith(out, made + "Mounted /mnt/nand/boot/\n")) << out;
        EXPECT_EQ(out.find("Mount folder"), missing ? out.find(made) : std::string::npos) << out;
        struct stat info {};
        ASSERT_EQ(::stat((root / "dev/mtdblock4/boot").c_str(), &info), 0);
        EXPECT_TRUE(S_ISDIR(info.st_mode));
        EXPECT_EQ(info.st_mode & 07777, 0750u);
        EXPECT_FALSE(Exists(root / "mnt/nand/boot")) << "on the NAND, not under its mount point";
        Quietly(kMountBoot, false);
    }
    ::umask(mask);
}

TEST_F(WidgetMainTest, TheFormatResultIsShownAfterTheErase) {
    struct Case {
        int status;
        const char* shown;
    };
    for (const Case& c : {Case{0, "Info: Format success."}, Case{1, "Warning: Format FAILED."}}) {
        Command("flash_eraseall", c.status);
        SetClock(200, 0);
        main->appPresent = true;
        main->m_eState = WidgetMain::sFormatStart;
        Step();
        EXPECT_EQ(Shown(), "Info: Formating, please wait...");
        SetClock(200, 100);
        EXPECT_EQ(Step(), "") << "the erase waits until the message is on the screen";
        EXPECT_EQ(main->m_eState, WidgetMain::sFormat);
        SetClock(200, 101);
        const std::string out = Step();
        EXPECT_EQ(out.substr(0, out.find('\n') + 1), "Filesystem format: flash_eraseall /dev/mtd4\n");
        EXPECT_EQ(main->m_eState, WidgetMain::sMessage);
        EXPECT_EQ(Shown(), c.shown) << c.status;
        EXPECT_FALSE(main->appPresent);
    }
}

TEST_F(WidgetMainTest, TheCleanupCodeReportsTheRemoval) {
    struct Case {
        bool maps;
        int status;
        std::string out;  // what the code prints first
        int32_t state;
        const char* shown;  // null: the password dialog stays
    };
    const Case cases[] = {
        {true, 0, "Mounted /mnt/maps/\nDeleting mass storage: rm -rf /mnt/maps//*\n", WidgetMain::sMessage,
         "Info: Cleanup completed."},
        {true, 1, "Mounted /mnt/maps/\nDeleting mass storage: rm -rf /mnt/maps//*\n", WidgetMain::sMessage,
         "Warning: Cleanup FAILED."},
        {false, 0, "Mount /mnt/maps/ failed.\n", WidgetMain::sResetPassword, nullptr},
    };
    MakeDirs(root / "mnt/maps");
    for (const Case& c : cases) {
        std::filesystem::remove_all(root / "dev/mmcblk0p2");
        if (c.maps) {
            MakeDirs(root / "dev/mmcblk0p2");
            WriteFile(root / "dev/mmcblk0p2/map1.dat", "m");
        }
        Command("rm", c.status);
        main->m_eState = WidgetMain::sResetPrompt;
        Step();
        const tovrask::Dialog* password = main->dialog;
        bool handled = false;
        const std::string out = Deliver(Event(evPassword, access_codes::kCleanup), &handled);
        EXPECT_TRUE(handled);
        EXPECT_EQ(out.substr(0, c.out.size()), c.out) << out;
        EXPECT_EQ(main->m_eState, c.state);
        if (c.shown != nullptr) {
            EXPECT_EQ(Shown(), c.shown);
        } else {
            EXPECT_EQ(out, c.out);
            EXPECT_EQ(main->dialog, password);
        }
        Quietly(kMountMaps, false);
    }
}
