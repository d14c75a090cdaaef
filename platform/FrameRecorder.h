#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platform {

// Writes captured frames as DIR/frame-0001.png, ... from a thread of its own, so that capturing
// does not slow the program down: on the device a flush is a copy, and a slower flush would let
// keys pile up that the device takes in time. Frames are written in the order they came; a long
// backlog makes the program wait.
class FrameRecorder {
public:
    FrameRecorder(const std::string& dir, int width, int height, int lineLength);
    ~FrameRecorder();
    FrameRecorder(const FrameRecorder&) = delete;
    FrameRecorder& operator=(const FrameRecorder&) = delete;

    // Queues a copy of the frame (RGB565 rows of lineLength bytes).
    void Record(const std::vector<uint8_t>& frame);
    // Returns once every frame recorded so far is written.
    void Finish();

private:
    static constexpr size_t kMaxWaiting = 64;

    void Write();

    const std::string dir_;
    const int width_, height_, lineLength_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<std::vector<uint8_t>> waiting_;
    bool writing_ = false;  // a frame taken from the queue is being written
    bool stop_ = false;
    int written_ = 0;
    std::thread writer_;
};

}  // namespace platform
