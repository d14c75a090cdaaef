#include "gui/engine/Pixmap16.h"

#include <cstddef>

namespace gui {

Pixmap16::Pixmap16(const Size& size) : width(size.width), height(size.height) {
    if (width > 0 && height > 0) pixels.resize(static_cast<std::size_t>(width) * height);
}

}  // namespace gui
