#pragma once

#include <allegro.h>

// True when the file on disk is a complete datafile whose every object holds
// consistent content for the loader of its type, so that load_datafile can
// read it without running off the end or trusting a bad size. Reads the file
// with the library's packfile calls; never calls load_datafile.
bool datafileWellFormed(const char* fileName);

// True when the loaded datafile holds exactly the objects the game uses, of
// the right kind and large enough for the placements the drawing code relies on.
bool datafileUsable(const DATAFILE* resources);
