#include "tovrask/DetectPlatform.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "file/FileC.h"

namespace {

constexpr int kCommandLineBytes = 2048;
constexpr int kLineBytes = 2048;

bool StartsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

}  // namespace

void DetectFromCommandLine(const char* data, int length, PlatformInfo& platform) {
    // The bytes read, as a text; anything after a zero byte is not looked at.
    const std::string text(data, static_cast<size_t>(length > 0 ? length : 0));
    const std::string line = text.substr(0, text.find('\0'));
    const size_t key = line.find("qlx=");
    if (key != std::string::npos) {
        const size_t start = key + 4;
        const size_t space = line.find(' ', start);
        // A value that ends the text (no space behind it) is not evaluated.
        if (space != std::string::npos) {
            const std::string value = line.substr(start, space - start);
            if (value == "ArvelIII") {
                platform.deviceType = 3;
            } else if (value == "ArvelII") {
                platform.deviceType = 2;
            } else if (value == "Arvel") {
                platform.deviceType = 1;
            }
        }
    }
    std::printf("Device Type %i.\n", platform.deviceType);
    if (line.find("lcdt=0") != std::string::npos) {
        platform.lcdType = 0;
    } else if (line.find("lcdt=1") != std::string::npos) {
        platform.lcdType = 1;
    } else if (line.find("lcdt=2") != std::string::npos) {
        platform.lcdType = 2;
    }
}

bool DetectFromCpuInfoLine(const char* line, PlatformInfo& platform) {
    if (!StartsWith(line, "Hardware")) return false;
    const char* p = line + 8;
    while (*p != '\0' && std::isspace(static_cast<unsigned char>(*p))) ++p;
    if (*p != ':') return false;
    ++p;
    while (*p != '\0' && std::isspace(static_cast<unsigned char>(*p))) ++p;
    if (StartsWith(p, "IGEP")) {
        platform.cpuType = 2;
    } else if (StartsWith(p, "Gumstix")) {
        platform.cpuType = 1;
    } else if (StartsWith(p, "Compulab")) {
        platform.cpuType = 0;
    } else {
        return false;
    }
    return true;
}

void DetectPlatform(PlatformInfo& platform) {
    file::FileC file;
    char text[kCommandLineBytes];
    int length = 0;
    if (file.Open("/proc/cmdline", "r")) length = file.Read(text, kCommandLineBytes);
    DetectFromCommandLine(text, length, platform);
    file.Close();

    if (!file.Open("/proc/cpuinfo", "r")) {
        std::printf("Cannot open cpuinfo!\n");
    } else {
        // Byte by byte: a line ends at a line feed or a zero byte; overlong lines are cut.
        char line[kLineBytes];
        int used = 0;
        bool more = true;
        while (more) {
            char c;
            more = file.Read(&c, 1) == 1;
            if (more && c != '\n' && c != '\0') {
                if (used < kLineBytes - 1) line[used++] = c;
                continue;
            }
            line[used] = '\0';
            if (DetectFromCpuInfoLine(line, platform)) break;
            used = 0;
        }
        file.Close();
    }
    std::printf("CPU Type %i.\n", platform.cpuType);
}
