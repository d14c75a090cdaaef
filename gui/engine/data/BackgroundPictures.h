#pragma once
#include "gui/engine/PackedPixmap.h"
namespace gui {
extern const PackedPixmap kEmblemLarge;
extern const PackedPixmap kMarkLarge;
extern const PackedPixmap kEmblemSmall;
extern const PackedPixmap kMarkSmall;
}
