#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "gui/engine/Font.h"

namespace gui {

// The font compiled into the program, in the "QFONT.1" format; start-up registers it as font 0.
// Made by tools/fontgen from a free typeface (BuiltinFont.cpp is generated).
extern const uint8_t kBuiltinFont[];
extern const size_t kBuiltinFontSize;

// A new font loaded from kBuiltinFont (loading prints its metrics line and glyph count).
std::unique_ptr<Font> LoadBuiltinFont();

}  // namespace gui
