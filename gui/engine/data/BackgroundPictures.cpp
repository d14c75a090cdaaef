#include "gui/engine/data/BackgroundPictures.h"
namespace gui {
namespace { const uint16_t kGrey[] = {static_cast<uint16_t>(-32767), 0x8410, static_cast<uint16_t>(-32767), 0x8410}; }
const PackedPixmap kEmblemLarge = {314, 158, kGrey, 4};
const PackedPixmap kMarkLarge = {288, 75, kGrey, 4};
const PackedPixmap kEmblemSmall = {255, 128, kGrey, 4};
const PackedPixmap kMarkSmall = {230, 60, kGrey, 4};
}
