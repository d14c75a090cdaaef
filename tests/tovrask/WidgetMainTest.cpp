// The boot state machine driven directly, with the clock set by hand.
#include <gtest/gtest.h>

#include "gui/WidgetManager.h"
#include "platform/HostSystem.h"
#include "tests/support/TempDir.h"
#include "tovrask/ApplicationEvents.h"
#include "tovrask/WidgetMain.h"

using testsupport::MakeDirs;
using testsupport::TempDir;
using testsupport::WriteFile;
using tovrask::WidgetMain;

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
