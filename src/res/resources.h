#pragma once

// Positions of the objects in data.dat, from the one list of them. The game
// reaches every picture, the font and the sounds by these indices alone.
enum ResourceIndex : int {
#define RESOURCE(index, name, kind, file) RES_##name = index,
#include "res/resource_list.h"
#undef RESOURCE
    RES_COUNT
};
