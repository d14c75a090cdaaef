#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "app/InputHandler.h"
#include "app/KeyMap.h"
#include "platform/HostSystem.h"
#include "tests/support/TempDir.h"

using testsupport::TempDir;

TEST(KeyMap, FrontPanelKeysBecomeEvents) {
    struct Case {
        uint16_t code;
        bool mapped;
        int32_t type;
        int64_t param;
    };
    const Case cases[] = {
        {KEY_ESC, true, evCancel, 0}, {KEY_F7, true, evCancel, 0},   {KEY_ENTER, true, evEnter, 0},
        {KEY_F6, true, evEnter, 0},   {KEY_F1, true, evKeyF1, 0},    {KEY_DOWN, true, evStep, 1},
        {KEY_F9, true, evStep, 1},    {KEY_UP, true, evStep, -1},    {KEY_F10, true, evStep, -1},
        {0, false, 0, 0},             {KEY_A, false, 0, 0},          {KEY_F2, false, 0, 0},
    };
    for (const Case& c : cases) {
        Event e(999, 999, 999);
        EXPECT_EQ(KeyToEvent(c.code, &e), c.mapped) << c.code;
        if (!c.mapped) continue;
        EXPECT_EQ(e.type, c.type) << c.code;
        EXPECT_EQ(e.param, c.param) << c.code;
        EXPECT_EQ(e.detail, 0);
    }
}

TEST(KeyRing, HoldsFifteenCodesAndDropsTheSixteenth) {
    InputHandler input;
    for (uint16_t k = 1; k <= 16; ++k) input.StoreKey(k);
    uint16_t code;
    for (uint16_t k = 1; k <= 15; ++k) {
        ASSERT_TRUE(input.TakeKey(&code));
        EXPECT_EQ(code, k);
    }
    EXPECT_FALSE(input.TakeKey(&code));
    input.StoreKey(42);  // wrapped around the 16 slots
    ASSERT_TRUE(input.TakeKey(&code));
    EXPECT_EQ(code, 42);
}

// The key thread against a real key device of the simulated root.
class KeyThreadTest : public ::testing::Test {
protected:
    KeyThreadTest() : host(root.Path(), platform::HostFramebuffer::Config{}) {
        platform::Install(&host);
        testsupport::MakeDirs(root / "dev");
    }

    static std::string Records(std::initializer_list<std::pair<uint16_t, int>> keys, bool withOthers) {
        std::string bytes;
        for (const auto& k : keys) {
            input_event e{};
            e.type = EV_KEY;
            e.code = k.first;
            e.value = k.second;
            bytes.append(reinterpret_cast<const char*>(&e), sizeof(e));
            if (withOthers) {
                input_event sync{};
                sync.type = EV_SYN;
                bytes.append(reinterpret_cast<const char*>(&sync), sizeof(sync));
            }
        }
        return bytes;
    }

    // Runs the thread until the device ends; returns what it printed.
    std::string RunThread() {
        testing::internal::CaptureStdout();
        input.Start();
        pthread_join(input.thread, nullptr);
        return testing::internal::GetCapturedStdout();
    }

    std::vector<uint16_t> Taken() {
        std::vector<uint16_t> codes;
        uint16_t code;
        while (input.TakeKey(&code)) codes.push_back(code);
        return codes;
    }

    TempDir root;
    platform::HostSystem host;
    InputHandler input;
};

TEST_F(KeyThreadTest, TakesPressesAndIgnoresReleasesRepeatsAndOtherRecords) {
    ASSERT_EQ(::mkfifo((root / "dev/event2").c_str(), 0600), 0);
    const int writer = ::open((root / "dev/event2").c_str(), O_RDWR);
    ASSERT_GE(writer, 0);
    const std::string bytes =
        Records({{KEY_DOWN, 1}, {KEY_DOWN, 2}, {KEY_DOWN, 2}, {KEY_DOWN, 0}, {KEY_ENTER, 1}, {KEY_ENTER, 0}}, true);
    ASSERT_EQ(::write(writer, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    // A short record after them ends the thread, as a device that goes away does.
    ASSERT_EQ(::write(writer, "xx", 2), 2);
    const std::string out = RunThread();
    ::close(writer);
    EXPECT_EQ(out, "Reading From : Unknown\nExiting key thread!");
    EXPECT_EQ(Taken(), (std::vector<uint16_t>{KEY_DOWN, KEY_ENTER}));
    EXPECT_TRUE(input.started);
}

TEST_F(KeyThreadTest, FallsBackToEvent1) {
    testsupport::WriteFile(root / "dev/event1", Records({{KEY_F1, 1}, {KEY_F1, 0}}, false));
    EXPECT_EQ(RunThread(), "input event2 is not a valid device.\nReading From : Unknown\nExiting key thread!");
    EXPECT_EQ(Taken(), std::vector<uint16_t>{KEY_F1});
}

TEST_F(KeyThreadTest, WithoutADeviceTheProgramRunsWithoutKeys) {
    EXPECT_EQ(RunThread(),
              "input event2 is not a valid device.\ninput event1 is not a valid device.\n"
              "Reading From : Unknown\nExiting key thread!");
    EXPECT_TRUE(Taken().empty());
}

TEST_F(KeyThreadTest, WakesTheMainLoopWaitingForAKey) {
    ASSERT_EQ(::mkfifo((root / "dev/event2").c_str(), 0600), 0);
    const int writer = ::open((root / "dev/event2").c_str(), O_RDWR);
    ASSERT_GE(writer, 0);
    testing::internal::CaptureStdout();
    input.Start();
    const std::string bytes = Records({{KEY_ENTER, 1}}, false);
    std::thread press([&] { EXPECT_EQ(::write(writer, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size())); });
    // Far longer than any wake-up: a wait that is not woken by the key thread ends the test.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(input.WaitForKey(std::chrono::seconds(120)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60)) << "woken by the key, not the time";
    press.join();
    EXPECT_EQ(::write(writer, "xx", 2), 2);
    pthread_join(input.thread, nullptr);
    testing::internal::GetCapturedStdout();
    ::close(writer);
    EXPECT_EQ(Taken(), std::vector<uint16_t>{KEY_ENTER});
    EXPECT_FALSE(input.WaitForKey(std::chrono::nanoseconds(0))) << "an empty ring, asked without waiting";
}
