// The main loop copies only what was drawn to the framebuffer, and waits when there is nothing to
// do. Whatever it skips, the framebuffer must show after each flush exactly what a copy of the
// whole off-screen picture would: checked pass by pass through a whole update and a stay in the
// menu, on a framebuffer whose rows are padded.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/Application.h"
#include "gui/WidgetManager.h"
#include "gui/engine/data/BuiltinFont.h"
#include "platform/HostSystem.h"
#include "tests/support/TempDir.h"
#include "tovrask/WidgetMain.h"
#include "update/BundleWriter.h"

using testsupport::MakeDirs;
using tovrask::WidgetMain;

namespace {

constexpr int kWidth = 800, kHeight = 480;
constexpr int kLineLength = kWidth * 2 + 36;  // 18 pixels of padding that no flush may touch
constexpr uint8_t kPadding = 0x5A;

platform::HostFramebuffer::Config Padded() {
    platform::HostFramebuffer::Config config;
    config.width = kWidth;
    config.height = kHeight;
    config.lineLength = kLineLength;
    return config;
}

}  // namespace

class MainLoopScreenTest : public ::testing::Test {
protected:
    MainLoopScreenTest() : host(root.Path(), Padded()) {
        platform::Install(&host);
        Advance(0);
        for (const char* d :
             {"dev/mtdblock4/etc", "dev/mmcblk0p1", "dev/sda1", "mnt/nand", "mnt/usb"}) {
            MakeDirs(root / d);
        }
        WriteBundle();

        const size_t bytes = static_cast<size_t>(kLineLength) * kHeight;
        memory = static_cast<uint8_t*>(host.Framebuffer().Map(bytes));
        std::memset(memory, kPadding, bytes);  // what the panel showed before: also in the padding
        host.Framebuffer().Flushed();
        testing::internal::CaptureStdout();
        app = new Application();
        app->engine = new gui::ScreenEngineLpc(memory, kWidth, kHeight, kLineLength);
        gui::SetEngine(app->engine);
        app->engine->RegisterFont(0, gui::LoadBuiltinFont());
        app->events = &events;
        app->input = new InputHandler();
        app->mainWidget = new WidgetMain(&app->platform, kWidth, kHeight);
        Manager().container = &events;
        Manager().redrawState = gui::WidgetManager::Idle;
        Manager().SetMainWidget(app->mainWidget);
        // The program's lines are not looked at here; a failing check leaves with them unread.
    }
    ~MainLoopScreenTest() override {
        Manager().focus = nullptr;
        Manager().mainWidget = nullptr;
        delete app->mainWidget;
        Manager().container = nullptr;
        // The program's lines, and the checks' own, matter only when something failed.
        const std::string out = testing::internal::GetCapturedStdout();
        if (HasFailure())
            std::fputs(out.c_str(), stderr);
        delete app->input;
        delete app->engine;
        gui::SetEngine(nullptr);
        delete app;
    }

    static gui::WidgetManager& Manager() { return gui::WidgetManager::Instance(); }

    void Advance(int ms) {
        nowMs += ms;
        host.Clock().Set({100 + nowMs / 1000, (nowMs % 1000) * 1000000L});
    }

    // A bundle long enough to verify and install in a few hundred steps of 8 KiB.
    void WriteBundle() {
        ASSERT_EQ(host.Mounts().Mount("/dev/sda1", "/mnt/usb/"), 0);
        BundleWriter writer;
        ASSERT_TRUE(writer.Open("/mnt/usb/update.zup"));
        bundle::EntryHead dir;
        dir.type = bundle::kTypeDirectory;
        dir.mode = 040755;
        dir.SetPath("data");
        ASSERT_TRUE(writer.AddObject(dir));
        for (int i = 0; i < 4; ++i) {
            std::string contents(300000, '\0');
            for (size_t k = 0; k < contents.size(); ++k)
                contents[k] = static_cast<char>((k * 7919 + i) >> 3);
            bundle::EntryHead file;
            file.type = bundle::kTypeFile;
            file.mode = 0100644;
            file.SetPath("data/part" + std::to_string(i));
            ASSERT_TRUE(writer.AddFile(file, contents, false));
        }
        ASSERT_TRUE(writer.Finish(bundle::Head::Make(1, 100)));
        ASSERT_EQ(host.Mounts().Unmount("/mnt/usb/"), 0);
    }

    // The framebuffer as a copy of the whole off-screen picture leaves it: every visible row the
    // picture's, the padding as it was.
    std::vector<uint8_t> WholeCopy() const {
        std::vector<uint8_t> fb(static_cast<size_t>(kLineLength) * kHeight, kPadding);
        const gui::Canvas16& canvas = app->engine->Canvas();
        for (int y = 0; y < kHeight; ++y) {
            std::memcpy(fb.data() + static_cast<size_t>(y) * kLineLength,
                        canvas.buffer.data() + static_cast<size_t>(y) * kWidth, kWidth * 2);
        }
        return fb;
    }
    bool FramebufferIsTheWholePicture() const {
        const std::vector<uint8_t> expected = WholeCopy();
        return std::memcmp(memory, expected.data(), expected.size()) == 0;
    }

    // One pass; checks the framebuffer after it whenever the pass is one that flushes.
    void Pass() {
        const bool flushPass = Manager().redrawState == gui::WidgetManager::FlushNeeded;
        ASSERT_EQ(app->RunPass(), -1);
        if (!flushPass)
            return;
        ++flushPasses;
        ASSERT_TRUE(FramebufferIsTheWholePicture())
            << "after flush pass " << flushPasses << " in state " << app->mainWidget->m_eState;
        // The simulated panel shows what the flush wrote, though only the areas were copied.
        const std::vector<uint8_t> shown = host.Framebuffer().LastFlushed();
        ASSERT_EQ(std::memcmp(shown.data(), memory, shown.size()), 0)
            << "flush pass " << flushPasses;
    }
    // Passes (10 ms apart) until the state is reached.
    void PassUntil(int32_t state, int limit = 5000) {
        for (int i = 0; i < limit && app->mainWidget->m_eState != state && !HasFatalFailure();
             ++i) {
            Pass();
            Advance(10);
        }
        ASSERT_EQ(app->mainWidget->m_eState, state);
    }

    testsupport::TempDir root;
    platform::HostSystem host;
    EventContainer events;
    uint8_t* memory = nullptr;
    Application* app = nullptr;
    int64_t nowMs = 0;
    int flushPasses = 0;
};

TEST_F(MainLoopScreenTest, EveryFlushShowsTheWholePictureThroughAnUpdateAndTheMenu) {
    ASSERT_NO_FATAL_FAILURE(PassUntil(WidgetMain::sBootMenu));
    app->input->StoreKey(KEY_ENTER);  // "Update", the first item without an application
    ASSERT_NO_FATAL_FAILURE(PassUntil(WidgetMain::sFileSelect));
    app->input->StoreKey(KEY_ENTER);
    ASSERT_NO_FATAL_FAILURE(PassUntil(WidgetMain::sVerify));
    const int beforeVerify = flushPasses;
    ASSERT_NO_FATAL_FAILURE(PassUntil(WidgetMain::sInstall));
    EXPECT_GT(flushPasses - beforeVerify, 20) << "the bar moved and was shown as it moved";
    ASSERT_NO_FATAL_FAILURE(PassUntil(WidgetMain::sMessage));
    ASSERT_NO_FATAL_FAILURE(PassUntil(WidgetMain::sBootMenu));
    EXPECT_TRUE(testsupport::Exists(root / "dev/mtdblock4/data/part3"));

    // A stay in the menu: moving the selection flushes the menu, and the passes between keys wait.
    for (uint16_t key : {KEY_DOWN, KEY_UP, KEY_DOWN, KEY_DOWN}) {
        app->input->StoreKey(key);
        int idle = 0;
        for (int i = 0; i < 10; ++i) {
            ASSERT_NO_FATAL_FAILURE(Pass());
            Advance(10);
            idle += app->LastPassIdle() ? 1 : 0;
        }
        EXPECT_GE(idle, 6) << "key, draw and flush take a pass each; the rest wait";
    }
    EXPECT_GT(flushPasses, 40);
}

TEST_F(MainLoopScreenTest, AFlushCopiesWhatWasDrawnAndNothingWhenNothingWas) {
    ASSERT_NO_FATAL_FAILURE(PassUntil(WidgetMain::sBootMenu));
    for (int i = 0; i < 5; ++i)
        ASSERT_NO_FATAL_FAILURE(Pass());
    const uint64_t flushes = host.Framebuffer().Flushes(),
                   bytes = host.Framebuffer().BytesFlushed();
    EXPECT_GE(bytes, static_cast<uint64_t>(kWidth) * kHeight * 2)
        << "the first screen is drawn whole";

    // Nothing drawn: a pass with a flush due copies nothing and tells the platform nothing.
    Manager().redrawState = gui::WidgetManager::FlushNeeded;
    ASSERT_NO_FATAL_FAILURE(Pass());
    EXPECT_EQ(host.Framebuffer().Flushes(), flushes);

    // One step of the menu: only the menu's rows are copied.
    app->input->StoreKey(KEY_DOWN);
    for (int i = 0; i < 4; ++i)
        ASSERT_NO_FATAL_FAILURE(Pass());
    EXPECT_EQ(host.Framebuffer().Flushes(), flushes + 1);
    const uint64_t menuBytes = host.Framebuffer().BytesFlushed() - bytes;
    EXPECT_GT(menuBytes, 0u);
    EXPECT_LT(menuBytes, static_cast<uint64_t>(235 * 200 * 2)) << "no more than the dialog";
}
