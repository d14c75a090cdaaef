#pragma once

#include <string>

#include "gui/engine/Image.h"

namespace picture {

// Any PNG as 0xAARRGGBB pixels (8 bits a channel; opaque when the file has no alpha).
bool ReadPng(const std::string& path, gui::Image* out, std::string* error);

// An 8-bit RGBA PNG of the picture.
bool WritePng(const std::string& path, const gui::Image& image);

}  // namespace picture
