#pragma once

#include <allegro.h>
#include <cstdint>

#include "game/menu_rules.h"

// Draws the five items, the preset name, the volume bar or "Off" and the cursor.
void drawMenu(BITMAP* frame, FONT* menuFont, BITMAP* cursor, MenuItem item, const char* presetName,
              std::int32_t volume);
