#pragma once

#include "gui/engine/PackedPixmap.h"

namespace gui {

// The boot screen's built-in pictures, on black: the emblem in the middle and the corner mark.
// The small pair is for 640 x 480 screens, the large pair for every other size. Made by
// tools/artwork (BackgroundPictures.cpp is generated).
extern const PackedPixmap kEmblemLarge;  // 314 x 158
extern const PackedPixmap kMarkLarge;    // 288 x 75
extern const PackedPixmap kEmblemSmall;  // 255 x 128
extern const PackedPixmap kMarkSmall;    // 230 x 60

}  // namespace gui
