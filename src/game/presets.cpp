#include "game/presets.h"

const NamedPreset PRESETS[PRESET_COUNT] = {
    {{4, 5, 80, 8, 10}, "Easy"},
    {{10, 5, 65, 15, 10}, "Normal"},
    {{15, 5, 5, 1000, 30}, "Impossible"},
    {{0, 1000, 5, 1000, 1}, "Fun"},
};
