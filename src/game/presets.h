#pragma once

#include <cstdint>

// The values a difficulty preset sets for a game.
struct Preset {
    std::int32_t reloadTicks;
    std::int32_t landingLimit;
    std::int32_t spawnOdds;
    std::int32_t maxAlive;
    std::int32_t pointsPerKill;
};

struct NamedPreset {
    Preset values;
    const char* name;
};

constexpr int PRESET_COUNT = 4;
// Normal: the preset every run starts on.
constexpr std::int32_t DEFAULT_PRESET = 1;

// Easy, Normal, Impossible and Fun, in menu order.
extern const NamedPreset PRESETS[PRESET_COUNT];
