#pragma once

#include "gui/engine/AbstractScreenEngine.h"

// A picture of every drawing primitive and of text anchored several ways, for checking a
// display (or the simulator) by eye. Covers the area (0, 0) .. (width - 1, height - 1).
void DrawTestCard(gui::AbstractScreenEngine& engine, int32_t width, int32_t height);
