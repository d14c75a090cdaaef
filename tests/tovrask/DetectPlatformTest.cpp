#include <gtest/gtest.h>

#include "platform/HostSystem.h"
#include "tests/support/TempDir.h"
#include "tovrask/DetectPlatform.h"

using testsupport::TempDir;

class DetectPlatformTest : public ::testing::Test {
protected:
    DetectPlatformTest() : host(root.Path(), platform::HostFramebuffer::Config{}) {
        platform::Install(&host);
        testsupport::MakeDirs(root / "proc");
    }

    std::string Detect(PlatformInfo* info) {
        testing::internal::CaptureStdout();
        DetectPlatform(*info);
        return testing::internal::GetCapturedStdout();
    }

    TempDir root;
    platform::HostSystem host;
};

TEST_F(DetectPlatformTest, CommandLines) {
    struct Case {
        std::string text;
        int device, lcd;
    };
    const Case cases[] = {
        {"console=ttyO2,115200n8 qlx=ArvelII lcdt=1 root=/dev/mtdblock4\n", 2, 1},
        {"console=ttyO2 qlx=ArvelIII\n", 1, 0},           // the value ends the text: not evaluated
        {"qlx=ArvelIII lcdt=2", 3, 2},
        {"qlx=Arvel ", 1, 0},
        {"qlx=ArvelIV lcdt=9 ", 1, 0},
        {"qlx=arvel ", 1, 0},
        {"lcdt=2 lcdt=0 qlx=ArvelII ", 2, 0},            // lcdt=0 is looked for first
        {"xlcdt=1y ", 1, 1},                              // plain substring search
        {"", 1, 0},
        {std::string("qlx=ArvelII \0lcdt=2", 19), 2, 0},  // nothing after a zero byte
        {std::string(2048, 'x') + " qlx=ArvelII ", 1, 0}, // only 2048 bytes are read
    };
    for (const Case& c : cases) {
        testsupport::WriteFile(root / "proc/cmdline", c.text);
        PlatformInfo info;
        const std::string out = Detect(&info);
        EXPECT_EQ(info.deviceType, c.device) << c.text;
        EXPECT_EQ(info.lcdType, c.lcd) << c.text;
        EXPECT_EQ(out.substr(0, out.find('\n') + 1), "Device Type " + std::to_string(c.device) + ".\n");
    }
}

TEST_F(DetectPlatformTest, Boards) {
    struct Case {
        std::string cpuinfo;
        int cpu;
    };
    const Case cases[] = {
        {"Processor\t: ARMv7\nHardware\t: Gumstix Overo\nRevision\t: 0020\n", 1},
        {"Hardware\t: IGEP v2 board\n", 2},
        {"Hardware:Compulab CM-T3730", 0},                      // the last line ends with the file
        {"Hardware\t: BeagleBoard\nHardware : IGEP\n", 2},      // an unknown board: read on
        {"Hardware revision 3\nHardware : Compulab\n", 0},      // no colon: ignored
        {std::string("Hardware : Gum\0stix\nHardware : IGEP", 35), 2},  // a zero byte ends a line
        {"Hardware\t: Gumstix\nHardware\t: IGEP\n", 1},         // the first known board wins
        {std::string(3000, 'h') + "\nHardware : IGEP\n", 2},    // long lines are cut, not fatal
        {"hardware : IGEP\n", 1},
    };
    for (const Case& c : cases) {
        testsupport::WriteFile(root / "proc/cpuinfo", c.cpuinfo);
        PlatformInfo info;
        const std::string out = Detect(&info);
        EXPECT_EQ(info.cpuType, c.cpu) << c.cpuinfo;
        EXPECT_NE(out.find("CPU Type " + std::to_string(c.cpu) + ".\n"), std::string::npos);
    }
}

TEST_F(DetectPlatformTest, MissingFilesKeepTheDefaults) {
    PlatformInfo info;
    EXPECT_EQ(Detect(&info), "Device Type 1.\nCannot open cpuinfo!\nCPU Type 1.\n");
    EXPECT_EQ(info.deviceType, 1);
    EXPECT_EQ(info.lcdType, 0);
    EXPECT_EQ(info.cpuType, 1);
}
