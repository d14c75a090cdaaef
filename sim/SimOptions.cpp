#include "sim/SimOptions.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool ParseInt(const char* text, long low, long high, long* out) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < low || v > high) return false;
    *out = v;
    return true;
}

bool ParseSize(const std::string& text, int* w, int* h) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    long width, height;
    if (!ParseInt(text.substr(0, x).c_str(), 1, 8192, &width) ||
        !ParseInt(text.substr(x + 1).c_str(), 1, 8192, &height)) {
        return false;
    }
    *w = static_cast<int>(width);
    *h = static_cast<int>(height);
    return true;
}

}  // namespace

const char* SimOptions::Usage() {
    return "usage: tovrask-sim --root DIR [--size WxH] [--line-length BYTES] [--bpp N]\n"
           "                   [--keys SCRIPT] [--screenshot FILE.png] [--frames DIR]\n"
           "                   [--fb-fail open|fixed|variable|map] [--clock-rate R] [--timeout-ms N]\n"
           "                   [--stats] [--window [--scale N]]\n";
}

bool SimOptions::Parse(int argc, char** argv, std::string* error) {
    long lineLength = 0;
    bool scaleGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            *error = "";
            return false;
        }
        if (option == "--stats") {
            stats = true;
            continue;
        }
        if (option == "--window") {
            window = true;
            continue;
        }
        if (i + 1 >= argc) {
            *error = option.rfind("--", 0) == 0 ? "option " + option + " needs a value"
                                               : "unexpected argument '" + option + "'";
            return false;
        }
        const std::string value = argv[++i];
        long number = 0;
        if (option == "--root") {
            root = value;
        } else if (option == "--size") {
            if (!ParseSize(value, &framebuffer.width, &framebuffer.height)) {
                *error = "--size takes WxH, e.g. 800x480";
                return false;
            }
        } else if (option == "--line-length") {
            if (!ParseInt(value.c_str(), 1, 1 << 16, &lineLength)) {
                *error = "--line-length takes a number of bytes";
                return false;
            }
        } else if (option == "--bpp") {
            if (!ParseInt(value.c_str(), 1, 64, &number)) {
                *error = "--bpp takes a number";
                return false;
            }
            framebuffer.bitsPerPixel = static_cast<int>(number);
        } else if (option == "--keys") {
            if (!keys.Parse(value, error)) return false;
        } else if (option == "--screenshot") {
            screenshot = value;
        } else if (option == "--frames") {
            framebuffer.framesDir = value;
        } else if (option == "--fb-fail") {
            if (!platform::HostFramebuffer::ParseFailure(value, &framebuffer.failure)) {
                *error = "--fb-fail takes open, fixed, variable or map";
                return false;
            }
        } else if (option == "--clock-rate") {
            char* end = nullptr;
            clockRate = std::strtod(value.c_str(), &end);
            if (end == value.c_str() || *end != '\0' || !(clockRate >= 1e-6) || clockRate > 1e6) {
                *error = "--clock-rate takes a number from 0.000001 to 1000000";
                return false;
            }
        } else if (option == "--timeout-ms") {
            if (!ParseInt(value.c_str(), 1, 1L << 30, &timeoutMs)) {
                *error = "--timeout-ms takes a positive number of milliseconds";
                return false;
            }
        } else if (option == "--scale") {
            if (!ParseInt(value.c_str(), 1, 4, &number)) {
                *error = "--scale takes 1, 2, 3 or 4";
                return false;
            }
            scale = static_cast<int>(number);
            scaleGiven = true;
        } else {
            *error = "unknown option " + option;
            return false;
        }
    }
    if (scaleGiven && !window) {
        *error = "--scale needs --window";
        return false;
    }
    if (root.empty()) {
        *error = "--root DIR is required";
        return false;
    }
    struct stat info {};
    if (::stat(root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        *error = "root " + root + " is not a directory";
        return false;
    }
    if (lineLength != 0 && lineLength < framebuffer.width * 2) {
        *error = "--line-length must be at least width * 2";
        return false;
    }
    // Rows of 16-bit pixels start on a whole pixel.
    if (lineLength % 2 != 0) {
        *error = "--line-length must be even";
        return false;
    }
    framebuffer.lineLength = static_cast<int>(lineLength);
    return true;
}
