#include <gtest/gtest.h>
#include <linux/input.h>

#include "tests/support/Subprocess.h"
#include "tests/support/TempDir.h"

using testsupport::ProcessResult;
using testsupport::RunProgram;
using testsupport::TempDir;

namespace {

ProcessResult Sim(const TempDir& root, const std::string& keys, std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"--root", root.Path(), "--timeout-ms", "20000"};
    if (!keys.empty()) args.insert(args.end(), {"--keys", keys});
    args.insert(args.end(), more.begin(), more.end());
    return RunProgram("tovrask-sim", args);
}

std::string LastLine(const std::string& out) {
    const size_t end = out.size() > 0 && out.back() == '\n' ? out.size() - 1 : out.size();
    const size_t start = out.rfind('\n', end - 1);
    return out.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1));
}

}  // namespace

TEST(SimulatorKeys, TheWholeLoopEndsWithTheRightStatusAndLine) {
    TempDir root;
    const ProcessResult start = Sim(root, "until:\"main loop\" DOWN ESC ESC");
    EXPECT_EQ(start.status, 0) << start.err;
    EXPECT_EQ(LastLine(start.out), "Switching to main application.");
    EXPECT_NE(start.out.find("Entering the main loop ...\n"), std::string::npos);
    EXPECT_FALSE(testsupport::Exists(root / "dev")) << "the simulator removes what it made";

    const ProcessResult reboot = Sim(root, "until:\"main loop\" F1 UP ESC ESC");
    EXPECT_EQ(reboot.status, 1) << reboot.err;
    EXPECT_EQ(LastLine(reboot.out), "Rebooting...");
}

TEST(SimulatorKeys, KeysFromEvent1ComeInTheDevicesOwnRecordLayout) {
    TempDir root;
    testsupport::MakeDirs(root / "dev");
    std::string records;
    for (uint16_t code : {KEY_ESC, KEY_ESC}) {
        for (int value : {1, 0}) {
            input_event e{};
            e.type = EV_KEY;
            e.code = code;
            e.value = value;
            records.append(reinterpret_cast<const char*>(&e), sizeof(e));
        }
    }
    testsupport::WriteFile(root / "dev/event1", records);
    const ProcessResult r = Sim(root, "");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("input event2 is not a valid device.\n"), std::string::npos);
    EXPECT_TRUE(testsupport::Exists(root / "dev/event1")) << "not the simulator's to remove";
}

TEST(SimulatorKeys, TimeoutAndBadScripts) {
    TempDir root;
    const ProcessResult idle = RunProgram("tovrask-sim", {"--root", root.Path(), "--timeout-ms", "300",
                                                         "--screenshot", root / "idle.png"});
    EXPECT_EQ(idle.status, 124);
    EXPECT_NE(idle.err.find("tovrask-sim: timed out after 300 ms"), std::string::npos);
    EXPECT_TRUE(testsupport::Exists(root / "idle.png"));
    EXPECT_FALSE(testsupport::Exists(root / "dev"));

    for (const char* script : {"ESC SPACE", "wait:soon", "until:\"open", "until:"}) {
        const ProcessResult bad = Sim(root, script);
        EXPECT_EQ(bad.status, 64) << script;
        EXPECT_EQ(bad.out, "") << "nothing of the program runs";
    }
}
