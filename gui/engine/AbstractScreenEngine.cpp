#include "gui/engine/AbstractScreenEngine.h"

#include <cstdio>

namespace gui {

namespace {
AbstractScreenEngine* processEngine = nullptr;
}

AbstractScreenEngine* Engine() { return processEngine; }
void SetEngine(AbstractScreenEngine* engine) { processEngine = engine; }

AbstractScreenEngine::~AbstractScreenEngine() = default;

bool AbstractScreenEngine::Begin(ScreenPort* port) {
    port_ = port;
    return true;
}

bool AbstractScreenEngine::End() {
    port_ = nullptr;
    return true;
}

bool AbstractScreenEngine::RegisterFont(int32_t id, std::unique_ptr<Font> font) {
    if (fonts_.count(id) != 0) return false;
    fonts_[id] = std::move(font);
    return true;
}

void AbstractScreenEngine::SelectFont(int32_t id) {
    auto it = fonts_.find(id);
    if (it == fonts_.end()) {
        std::printf("Object %u not found.\n", static_cast<unsigned>(id));
        currentFont_ = nullptr;
        return;
    }
    currentFont_ = it->second.get();
}

}  // namespace gui
