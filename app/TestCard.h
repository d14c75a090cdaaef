#pragma once

#include "gui/engine/ScreenEngineLpc.h"

// A picture of every drawing primitive, for checking a display (or the simulator) by eye.
void DrawTestCard(gui::ScreenEngineLpc& engine);
