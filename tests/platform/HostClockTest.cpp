#include <gtest/gtest.h>

#include "platform/HostClock.h"

// How long the main loop may block to let some of the program's time pass.
TEST(HostClock, RealWaitFollowsTheRateAndEndsAtOnceOnASetClock) {
    struct Case {
        double rate;
        int32_t ms;
        int64_t ns;
    };
    for (const Case& c : {Case{1, 10, 10000000}, Case{4, 10, 2500000}, Case{0.5, 10, 20000000},
                          Case{3, 10, 3333334}, Case{10, 0, 0}, Case{10, -5, 0}}) {
        platform::HostClock clock(c.rate);
        EXPECT_EQ(clock.RealNanoseconds(c.ms), c.ns) << c.rate << " " << c.ms;
        clock.Set({100, 0});
        EXPECT_EQ(clock.RealNanoseconds(c.ms), 0)
            << "a set clock moves only when the test moves it";
    }
}
