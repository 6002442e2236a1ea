#pragma once

#include <allegro.h>

// Loads the resource datafile and checks it holds what the game uses;
// null when the file is missing, damaged or not the game's own.
DATAFILE* loadResources(const char* fileName);
