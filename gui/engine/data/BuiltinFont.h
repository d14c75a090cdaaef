#pragma once

#include <cstddef>
#include <cstdint>

namespace gui {

// The font compiled into the program, in the "QFONT.1" format; start-up registers it as font 0.
// Made by tools/fontgen from a free typeface (BuiltinFont.cpp is generated).
extern const uint8_t kBuiltinFont[];
extern const size_t kBuiltinFontSize;

}  // namespace gui
