#include <gtest/gtest.h>
#include <linux/input.h>
#include <unistd.h>

#include "tests/support/Subprocess.h"
#include "tests/support/TempDir.h"

using testsupport::ProcessResult;
using testsupport::RunProgram;
using testsupport::TempDir;

namespace {

ProcessResult Sim(const TempDir& root, const std::string& keys, std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"--root", root.Path(), "--timeout-ms", testsupport::kSimulatorHangMs};
    if (!keys.empty()) args.insert(args.end(), {"--keys", keys});
    args.insert(args.end(), more.begin(), more.end());
    return RunProgram("tovrask-sim", args);
}


}  // namespace

TEST(SimulatorKeys, KeysFromEvent1ComeInTheDevicesOwnRecordLayout) {
    TempDir root;
    testsupport::MakeDirs(root / "dev");
    std::string records;
    // F1 asks for the menu; without a NAND the menu would come anyway, so the file holds F1
    // for a device that boots normally.
    testsupport::MakeDirs(root / "dev/mtdblock4/arvel");
    testsupport::MakeDirs(root / "dev/mtdblock4/etc");
    testsupport::MakeDirs(root / "mnt/nand");
    // Long enough to load that the key is in before the load ends.
    testsupport::WriteFile(root / "dev/mtdblock4/arvel/arvel", "");
    ASSERT_EQ(::truncate((root / "dev/mtdblock4/arvel/arvel").c_str(), 256 << 20), 0);
    testsupport::WriteFile(root / "dev/mtdblock4/etc/skip-update", "1");
    for (uint16_t code : {KEY_F1}) {
        for (int value : {1, 0}) {
            input_event e{};
            e.type = EV_KEY;
            e.code = code;
            e.value = value;
            records.append(reinterpret_cast<const char*>(&e), sizeof(e));
        }
    }
    testsupport::WriteFile(root / "dev/event1", records);
    const ProcessResult r = Sim(root, "until:\"m_eState == sUpgrade\" stop");
    EXPECT_EQ(r.status, 124);
    EXPECT_NE(r.err.find("tovrask-sim: stopped by the key script"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("input event2 is not a valid device.\n"), std::string::npos);
    EXPECT_NE(r.out.find("Load complete in"), std::string::npos);
    EXPECT_NE(r.out.find("m_eState == sUpgrade\n"), std::string::npos) << r.out;
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

    for (const char* script : {"ESC SPACE", "wait:soon", "until:\"open", "until:", "stop:now"}) {
        const ProcessResult bad = Sim(root, script);
        EXPECT_EQ(bad.status, 64) << script;
        EXPECT_EQ(bad.out, "") << "nothing of the program runs";
    }

    // A root with its own key device takes a script without key names only.
    testsupport::MakeDirs(root / "dev");
    testsupport::WriteFile(root / "dev/event2", "");
    const ProcessResult keys = Sim(root, "until:Tovrask ENTER");
    EXPECT_EQ(keys.status, 64);
    EXPECT_NE(keys.err.find("key names"), std::string::npos) << keys.err;
}

TEST(SimulatorKeys, StopEndsTheRunWhereTheScriptSays) {
    // Without a NAND the menu comes and waits; the script stops it there, keys not yet given
    // are never pressed, and the picture is the menu's.
    TempDir root;
    const ProcessResult r = Sim(root, "until:\"m_eState == sUpgrade\" wait:200 stop ENTER",
                                {"--screenshot", root / "menu.png"});
    EXPECT_EQ(r.status, 124);
    EXPECT_NE(r.err.find("tovrask-sim: stopped by the key script\n"), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("Mount /mnt/usb/"), std::string::npos) << "ENTER came after the stop";
    EXPECT_TRUE(testsupport::Exists(root / "menu.png"));
    EXPECT_FALSE(testsupport::Exists(root / "dev")) << "the key device is removed";
}
