#pragma once

#include <allegro.h>

// Where and how the game-over banner stands at animation step s (64..256).
struct BannerPose {
    int x;
    int y;
    fixed angle;
    fixed scale;
};

constexpr int BANNER_FIRST_STEP = 64;
constexpr int BANNER_LAST_STEP = 256;
constexpr int BANNER_STEP = 4;

// Keeps a 352x55 banner centred on (320, 200) as it turns and grows.
BannerPose bannerPose(int s);
