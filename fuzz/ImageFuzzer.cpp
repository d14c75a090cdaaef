// Arbitrary bytes as an image file (the logo a NAND carries), loaded and composited into a
// background as the boot state machine does, and drawn by the engine.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "gui/engine/Image.h"
#include "gui/engine/Pixmap16.h"
#include "gui/engine/ScreenEngineLpc.h"
#include "platform/TargetSystem.h"

namespace {
std::string path;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::freopen("/dev/null", "w", stdout);
    static platform::TargetSystem target;
    platform::Install(&target);
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr ? tmp : "/tmp") + "/fuzz-image-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd >= 0) ::close(fd);
    path = pattern;
    std::atexit([] { ::unlink(path.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    gui::Image logo;
    if (!logo.Load(path)) return 0;
    if (static_cast<size_t>(logo.width) * logo.height != logo.pixels.size()) __builtin_trap();
    gui::Pixmap16 background(gui::Size{80, 48});
    background.Fill(0);
    background.DrawImage(gui::Point(20, background.height - logo.height - 20), logo);
    std::vector<gui::Pixel> framebuffer(80 * 48);
    gui::ScreenEngineLpc engine(framebuffer.data(), 80, 48, 0);
    engine.DrawImage(-3, 5, logo);
    engine.DrawPixmap(0, 0, background);
    return 0;
}
