#include <gtest/gtest.h>

#include <algorithm>
#include <linux/input-event-codes.h>

#include "app/Application.h"
#include "gui/NowMs.h"
#include "gui/engine/data/BuiltinFont.h"
#include "tests/gui/GuiFixture.h"

// One pass of the main loop at a time, with the key ring filled by hand instead of the thread.
class MainLoopTest : public GuiFixture {
protected:
    // The panel starts grey: whatever the program flushes shows.
    MainLoopTest() : framebuffer(64 * 48, kUnflushed) {
        testing::internal::CaptureStdout();
        app = new Application();
        app->engine = new gui::ScreenEngineLpc(framebuffer.data(), 64, 48, 0);
        gui::SetEngine(app->engine);
        app->engine->RegisterFont(0, gui::LoadBuiltinFont());
        app->events = &events;
        app->input = new InputHandler();
        app->mainWidget = new tovrask::WidgetMain(&app->platform, 64, 48);
        // A state that waits for events: each pass is then only keys, events and drawing.
        app->mainWidget->m_eState = tovrask::WidgetMain::sResetPassword;
        Manager().SetMainWidget(app->mainWidget);
        recorder = new RecordingWidget(app->mainWidget, "recorder", true);
        recorder->handles = -2;  // takes nothing: the main widget sees every event too
        Manager().SetFocus(recorder);
        testing::internal::GetCapturedStdout();
    }
    ~MainLoopTest() override {
        Manager().focus = nullptr;
        delete app->mainWidget;
        delete app->input;
        delete app->engine;
        gui::SetEngine(nullptr);
        delete app;
    }

    static constexpr gui::Pixel kUnflushed = 0xAAAA;
    bool Shown() const { return std::count(framebuffer.begin(), framebuffer.end(), kUnflushed) != 64 * 48; }

    std::vector<gui::Pixel> framebuffer;
    Application* app;
    RecordingWidget* recorder;
};

TEST_F(MainLoopTest, OlderEventsAreDispatchedBeforeTheKeyOfThisPass) {
    events.Post(Event(evKeyF1));
    app->input->StoreKey(KEY_DOWN);
    EXPECT_EQ(app->RunPass(), -1);
    ASSERT_EQ(recorder->seen.size(), 1u);
    EXPECT_EQ(recorder->seen[0].type, evKeyF1);
    EXPECT_EQ(app->RunPass(), -1);
    ASSERT_EQ(recorder->seen.size(), 2u);
    EXPECT_EQ(recorder->seen[1].type, evStep);
    EXPECT_EQ(recorder->seen[1].param, 1);
}

TEST_F(MainLoopTest, AKeyTakenIntoAFullEventRingIsLost) {
    for (int i = 0; i < 9; ++i) events.Post(Event(evKeyF1));
    app->input->StoreKey(KEY_UP);
    app->RunPass();
    uint16_t code;
    EXPECT_FALSE(app->input->TakeKey(&code)) << "the key was consumed";
    for (int i = 0; i < 10; ++i) app->RunPass();
    EXPECT_EQ(recorder->seen.size(), 9u);
    for (const Event& e : recorder->seen) EXPECT_EQ(e.type, evKeyF1);
}

TEST_F(MainLoopTest, DrawsThenFlushesThenIdles) {
    app->RunPass();  // everything starts dirty: drawn in this pass
    EXPECT_EQ(Manager().redrawState, 2);
    EXPECT_FALSE(Shown());
    app->RunPass();  // the next one flushes
    EXPECT_EQ(Manager().redrawState, 0);
    EXPECT_TRUE(Shown());
    std::fill(framebuffer.begin(), framebuffer.end(), kUnflushed);
    app->RunPass();
    EXPECT_FALSE(Shown()) << "nothing dirty, nothing flushed";
}

TEST_F(MainLoopTest, EndStateEndsThePassWithTheExitLine) {
    struct Case {
        bool reboot;
        int status;
        const char* line;
    };
    for (const Case& c : {Case{false, 0, "Switching to main application.\n"}, Case{true, 1, "Rebooting...\n"}}) {
        app->mainWidget->m_eState = tovrask::WidgetMain::sExit;
        app->mainWidget->rebootRequested = c.reboot;
        Manager().redrawState = 2;
        std::fill(framebuffer.begin(), framebuffer.end(), kUnflushed);
        testing::internal::CaptureStdout();
        EXPECT_EQ(app->RunPass(), c.status);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.line);
        EXPECT_EQ(Manager().redrawState, 2) << "no flush in the last pass";
        EXPECT_FALSE(Shown());
    }
}

TEST_F(MainLoopTest, WaitingStatesKeepTheirTimesOnTheSetClockAndLetTheLoopWait) {
    // Passes 10 ms apart, as the loop's longest wait makes them: each state ends at the first pass
    // after its time, and the passes before that (once the screen is drawn) find nothing to do.
    struct Case {
        int32_t state;
        int32_t limitMs;
    };
    for (const Case& c : {Case{tovrask::WidgetMain::sMessage, 3500}, Case{tovrask::WidgetMain::sWaitMedia, 5000},
                          Case{tovrask::WidgetMain::sFormat, 100}}) {
        int64_t now = 0;
        host.Clock().Set({200, 0});
        testing::internal::CaptureStdout();
        app->mainWidget->m_eState = c.state;
        app->mainWidget->stateTime = gui::NowMs();
        int busy = 0;
        for (; app->mainWidget->m_eState == c.state && now < 10000; now += 10) {
            host.Clock().Set({200 + now / 1000, (now % 1000) * 1000000L});
            app->RunPass();
            busy += app->LastPassIdle() ? 0 : 1;
            EXPECT_EQ(host.RealNanoseconds(Application::kIdleWaitMs), 0) << "a set clock ends the wait at once";
        }
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_GT(now - 10, c.limitMs) << c.state;
        EXPECT_LE(now - 10, c.limitMs + 10) << c.state;
        EXPECT_LE(busy, 3) << c.state << ": only drawing and flushing keep the loop from waiting";
        if (c.state == tovrask::WidgetMain::sWaitMedia) {
            // One try a pass, the last one in the pass that gives up: about one every 10 ms.
            size_t tries = 0;
            for (size_t at = out.find("Mount /mnt/usb/ failed."); at != std::string::npos; at = out.find("Mount /mnt/usb/ failed.", at + 1)) {
                ++tries;
            }
            EXPECT_EQ(tries, static_cast<size_t>(c.limitMs / 10 + 2)) << out.substr(0, 200);
        }
    }
}
