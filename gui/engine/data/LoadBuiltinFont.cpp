#include "gui/engine/data/BuiltinFont.h"

namespace gui {

std::unique_ptr<Font> LoadBuiltinFont() {
    auto font = std::make_unique<Font>();
    font->LoadFromMemory(kBuiltinFont, kBuiltinFontSize);
    return font;
}

}  // namespace gui
