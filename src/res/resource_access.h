#pragma once

#include <allegro.h>

#include "res/resources.h"

// Typed access to the loaded datafile's objects by position.
inline BITMAP* resourceBitmap(DATAFILE* resources, int index)
{
    return static_cast<BITMAP*>(resources[index].dat);
}

inline FONT* resourceFont(DATAFILE* resources, int index)
{
    return static_cast<FONT*>(resources[index].dat);
}

inline SAMPLE* resourceSample(DATAFILE* resources, int index)
{
    return static_cast<SAMPLE*>(resources[index].dat);
}

inline RGB* resourcePalette(DATAFILE* resources, int index)
{
    return static_cast<RGB*>(resources[index].dat);
}
