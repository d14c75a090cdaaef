// Arbitrary /proc/cmdline and /proc/cpuinfo contents through the platform detection: the first
// byte chooses which file the rest stands for.
#include <cstdint>
#include <cstdio>
#include <string>

#include "tovrask/DetectPlatform.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::freopen("/dev/null", "w", stdout);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    PlatformInfo info;
    const char* text = reinterpret_cast<const char*>(data + 1);
    const size_t length = size - 1;
    if (data[0] & 1) {
        DetectFromCommandLine(text, static_cast<int>(length < 2048 ? length : 2048), info);
    } else {
        // Line by line, as the detection reads the file: a line ends at a line feed or a zero byte.
        std::string line;
        for (size_t i = 0; i <= length; ++i) {
            if (i == length || text[i] == '\n' || text[i] == '\0') {
                if (DetectFromCpuInfoLine(line.c_str(), info)) break;
                line.clear();
            } else if (line.size() < 2047) {
                line += text[i];
            }
        }
    }
    if (info.deviceType < 1 || info.deviceType > 3 || info.lcdType < 0 || info.lcdType > 2 || info.cpuType < 0 ||
        info.cpuType > 2) {
        __builtin_trap();
    }
    return 0;
}
