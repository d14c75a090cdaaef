#pragma once

#include <ctime>
#include <mutex>

namespace platform {

// The simulated monotonic clock: real time, optionally running `rate` times faster, or a time a
// test sets by hand.
class HostClock {
public:
    explicit HostClock(double rate = 1.0);

    timespec Now();
    // Real nanoseconds for ms of this clock's time; 0 once set by hand (it then never runs).
    int64_t RealNanoseconds(int32_t ms);
    // From now on the clock shows exactly what was set last.
    void Set(timespec now);

private:
    std::mutex lock_;
    double rate_;
    timespec start_{};
    bool manual_ = false;
    timespec manualNow_{};
};

}  // namespace platform
