#include "platform/FrameRecorder.h"

#include <cstdio>

#include "platform/PngWriter.h"

namespace platform {

FrameRecorder::FrameRecorder(const std::string& dir, int width, int height, int lineLength)
    : dir_(dir), width_(width), height_(height), lineLength_(lineLength), writer_([this] { Write(); }) {}

FrameRecorder::~FrameRecorder() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        stop_ = true;
    }
    changed_.notify_all();
    writer_.join();
}

void FrameRecorder::Record(const std::vector<uint8_t>& frame) {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [this] { return waiting_.size() < kMaxWaiting; });
    waiting_.push_back(frame);
    changed_.notify_all();
}

void FrameRecorder::Finish() {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [this] { return waiting_.empty() && !writing_; });
}

void FrameRecorder::Write() {
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        changed_.wait(hold, [this] { return stop_ || !waiting_.empty(); });
        if (waiting_.empty()) return;  // stopped with nothing left
        std::vector<uint8_t> frame = std::move(waiting_.front());
        waiting_.pop_front();
        writing_ = true;
        const int number = ++written_;
        hold.unlock();
        char name[32];
        std::snprintf(name, sizeof(name), "/frame-%04d.png", number);
        WriteRgb565Png(dir_ + name, frame.data(), width_, height_, lineLength_);
        hold.lock();
        writing_ = false;
        changed_.notify_all();
    }
}

}  // namespace platform
