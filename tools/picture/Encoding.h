#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/engine/Image.h"

namespace picture {

// The RGB565 pixels of a picture, each channel cut to its top bits; alpha is dropped.
std::vector<uint16_t> ToRgb565(const gui::Image& image);

// Run-length-encoded Pixmap16 data, as small as the packets allow.
std::vector<uint16_t> EncodePixmap(const std::vector<uint16_t>& pixels);

// A whole "QIM32.1" image file. Pixels with alpha 0 are stored as 0: their colour never shows,
// and one value for all of them makes longer runs. The size must fit in 16 bits each.
std::vector<uint8_t> EncodeImageFile(const gui::Image& image);

// C++ definitions of a gui::PackedPixmap called `name` and of its data array, for a source file
// in namespace gui; comment lines (with their "// ") go above them.
std::string PixmapDefinition(const std::string& name, const std::string& comment, int32_t width,
                             int32_t height, const std::vector<uint16_t>& words);

// A whole source file: the head comment, the include, then the definitions in namespace gui.
std::string PixmapSourceFile(const std::string& head, const std::string& include,
                             const std::string& definitions);

}  // namespace picture
