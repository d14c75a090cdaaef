#pragma once

namespace common {

// Ends the process with the standard assertion report; kept in release builds as well, since a
// reversed range is a programming error that must not pass silently.
[[noreturn]] void AssertionFailed(const char* expression, const char* file, int line,
                                  const char* function);

// Clamps value to [fMin, fMax]; fMin must not be greater than fMax.
template <typename T>
T GetMinMax(T value, T fMin, T fMax) {
    if (!(fMin <= fMax)) AssertionFailed("fMin <= fMax", "MathEx", __LINE__, __func__);
    if (value < fMin) return fMin;
    if (value > fMax) return fMax;
    return value;
}

}  // namespace common
