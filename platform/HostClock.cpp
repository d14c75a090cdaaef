#include "platform/HostClock.h"

#include <cmath>
#include <cstdint>

namespace platform {

HostClock::HostClock(double rate) : rate_(rate) { ::clock_gettime(CLOCK_MONOTONIC, &start_); }

timespec HostClock::Now() {
    std::lock_guard<std::mutex> hold(lock_);
    if (manual_) return manualNow_;
    timespec real{};
    ::clock_gettime(CLOCK_MONOTONIC, &real);
    const int64_t startNs = static_cast<int64_t>(start_.tv_sec) * 1000000000 + start_.tv_nsec;
    const int64_t realNs = static_cast<int64_t>(real.tv_sec) * 1000000000 + real.tv_nsec;
    const int64_t scaled = startNs + static_cast<int64_t>(static_cast<double>(realNs - startNs) * rate_);
    timespec out{};
    out.tv_sec = static_cast<time_t>(scaled / 1000000000);
    out.tv_nsec = static_cast<long>(scaled % 1000000000);
    return out;
}

int64_t HostClock::RealNanoseconds(int32_t ms) {
    std::lock_guard<std::mutex> hold(lock_);
    if (manual_ || ms <= 0) return 0;
    // Rounded up: the program's clock must have advanced by ms when the wait ends.
    return static_cast<int64_t>(std::ceil(static_cast<double>(ms) * 1e6 / rate_));
}

void HostClock::Set(timespec now) {
    std::lock_guard<std::mutex> hold(lock_);
    manual_ = true;
    manualNow_ = now;
}

}  // namespace platform
