#pragma once

#include <linux/fb.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/FrameRecorder.h"

namespace platform {

// The simulated framebuffer: memory with the geometry of the options, a copy of what was last
// flushed (what the panel shows), and optional captures of it as PNG files.
class HostFramebuffer {
public:
    enum class Failure { None, Open, Fixed, Variable, Map };

    struct Config {
        int width = 800;
        int height = 480;
        int lineLength = 0;  // bytes; 0 means width * 2
        int bitsPerPixel = 16;
        Failure failure = Failure::None;
        std::string framesDir;  // empty: no frame capture
    };

    explicit HostFramebuffer(const Config& config);

    int Open();
    int QueryFixed(fb_fix_screeninfo* info) const;
    int QueryVariable(fb_var_screeninfo* info) const;
    void* Map(size_t length);
    // An area the program's flush wrote (pixels); Flushed then shows only these areas anew.
    void Written(int x, int y, int width, int height);
    void Flushed();

    // Writes the picture as last flushed; false when the memory was never mapped.
    bool WriteScreenshot(const std::string& path);
    // Returns once every captured frame is written.
    void FinishFrames();
    // The picture as last flushed (RGB565 rows of lineLength bytes); empty before the mapping.
    std::vector<uint8_t> LastFlushed();

    // Told after every flush, on the program's thread, with the whole framebuffer memory (the
    // simulator's window). Set before the program runs.
    using FlushListener = std::function<void(const std::vector<uint8_t>& memory)>;
    void SetFlushListener(FlushListener listener) { flushListener_ = std::move(listener); }

    static bool ParseFailure(const std::string& text, Failure* out);

    // What the program's flushes wrote into the memory so far (any thread may ask).
    uint64_t BytesFlushed() const { return bytesFlushed_.load(); }
    uint64_t Flushes() const { return flushes_.load(); }

private:
    struct Area {
        int x, y, width, height;
    };

    Config config_;
    std::vector<uint8_t> memory_;
    std::mutex shownLock_;  // the timeout watchdog reads the shown picture from its own thread
    std::vector<uint8_t> shown_;
    std::vector<uint8_t> lastFrame_;
    std::unique_ptr<FrameRecorder> frames_;  // none without a frames folder
    FlushListener flushListener_;
    std::vector<Area> written_;              // since the last flush notice
    std::atomic<uint64_t> bytesFlushed_{0};
    std::atomic<uint64_t> flushes_{0};
};

}  // namespace platform
