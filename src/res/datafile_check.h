#pragma once

#include <allegro.h>

// True when the loaded datafile holds every object the game uses, of the
// right kind and large enough for the placements the drawing code relies on.
bool datafileUsable(const DATAFILE* resources);
