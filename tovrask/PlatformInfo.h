#pragma once

#include <cstdint>

// What the device is: model, display variant and processor board.
struct PlatformInfo {
    int32_t deviceType = 1;  // 1 "Arvel", 2 "ArvelII", 3 "ArvelIII"
    int32_t lcdType = 0;     // 0, 1, 2 from "lcdt="
    int32_t cpuType = 1;     // 2 "IGEP", 1 "Gumstix", 0 "Compulab"
};
