#include "platform/HostFramebuffer.h"

#include <sys/mman.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/PngWriter.h"

namespace platform {

namespace {
constexpr int kFakeDescriptor = 1000;  // never used for a real call
}

HostFramebuffer::HostFramebuffer(const Config& config) : config_(config) {
    if (config_.lineLength <= 0) config_.lineLength = config_.width * 2;
    if (!config_.framesDir.empty()) {
        frames_ = std::make_unique<FrameRecorder>(config_.framesDir, config_.width, config_.height,
                                                  config_.lineLength);
    }
}

bool HostFramebuffer::ParseFailure(const std::string& text, Failure* out) {
    if (text == "open") {
        *out = Failure::Open;
    } else if (text == "fixed") {
        *out = Failure::Fixed;
    } else if (text == "variable") {
        *out = Failure::Variable;
    } else if (text == "map") {
        *out = Failure::Map;
    } else {
        return false;
    }
    return true;
}

int HostFramebuffer::Open() {
    if (config_.failure == Failure::Open) {
        errno = ENOENT;
        return -1;
    }
    return kFakeDescriptor;
}

int HostFramebuffer::QueryFixed(fb_fix_screeninfo* info) const {
    if (config_.failure == Failure::Fixed) {
        errno = ENOTTY;
        return -1;
    }
    std::memset(info, 0, sizeof(*info));
    std::snprintf(info->id, sizeof(info->id), "tovrask-sim");
    info->smem_len = static_cast<uint32_t>(config_.lineLength) * config_.height;
    info->line_length = static_cast<uint32_t>(config_.lineLength);
    info->type = FB_TYPE_PACKED_PIXELS;
    info->visual = FB_VISUAL_TRUECOLOR;
    return 0;
}

int HostFramebuffer::QueryVariable(fb_var_screeninfo* info) const {
    if (config_.failure == Failure::Variable) {
        errno = ENOTTY;
        return -1;
    }
    std::memset(info, 0, sizeof(*info));
    info->xres = info->xres_virtual = static_cast<uint32_t>(config_.width);
    info->yres = info->yres_virtual = static_cast<uint32_t>(config_.height);
    info->bits_per_pixel = static_cast<uint32_t>(config_.bitsPerPixel);
    return 0;
}

void* HostFramebuffer::Map(size_t length) {
    if (config_.failure == Failure::Map) {
        errno = ENOMEM;
        return MAP_FAILED;
    }
    memory_.assign(length, 0);  // the panel starts black
    std::lock_guard<std::mutex> hold(shownLock_);
    shown_ = memory_;
    return memory_.data();
}

void HostFramebuffer::Written(int x, int y, int width, int height) {
    // Only areas inside the mapped picture count; anything else would be a fault of the caller.
    if (x < 0 || y < 0 || width <= 0 || height <= 0 || x + width > config_.width || y + height > config_.height) {
        return;
    }
    written_.push_back({x, y, width, height});
    bytesFlushed_ += static_cast<uint64_t>(width) * 2 * static_cast<uint64_t>(height);
}

void HostFramebuffer::Flushed() {
    ++flushes_;
    {
        std::lock_guard<std::mutex> hold(shownLock_);
        const size_t lineLength = static_cast<size_t>(config_.lineLength);
        if (written_.empty() || shown_.size() != memory_.size() || memory_.size() < lineLength * config_.height) {
            shown_ = memory_;  // a flush that did not say what it wrote shows everything
        } else {
            for (const Area& a : written_) {
                for (int y = a.y; y < a.y + a.height; ++y) {
                    const size_t at = static_cast<size_t>(y) * lineLength + static_cast<size_t>(a.x) * 2;
                    std::memcpy(shown_.data() + at, memory_.data() + at, static_cast<size_t>(a.width) * 2);
                }
            }
        }
    }
    written_.clear();
    if (flushListener_) flushListener_(memory_);
    if (frames_ == nullptr || memory_ == lastFrame_) return;
    lastFrame_ = memory_;
    frames_->Record(memory_);
}

void HostFramebuffer::FinishFrames() {
    if (frames_ != nullptr) frames_->Finish();
}

std::vector<uint8_t> HostFramebuffer::LastFlushed() {
    std::lock_guard<std::mutex> hold(shownLock_);
    return shown_;
}

bool HostFramebuffer::WriteScreenshot(const std::string& path) {
    std::vector<uint8_t> picture = LastFlushed();
    if (picture.size() < static_cast<size_t>(config_.lineLength) * config_.height) return false;
    return WriteRgb565Png(path, picture.data(), config_.width, config_.height,
                          config_.lineLength);
}

}  // namespace platform
