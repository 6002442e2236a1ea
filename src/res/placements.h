#pragma once

// Where the game puts the pictures of data.dat on the 640x480 screen. The
// drawing code, the shell launcher and the tools that compose scenes from the
// same art (icon, preview, benchmark) all take them from here.
constexpr int SCREEN_WIDTH = 640;
constexpr int SCREEN_HEIGHT = 480;

// The barrel turns about this screen point...
constexpr int GUN_PIVOT_X = 320;
constexpr int GUN_PIVOT_Y = 365;
// ...which is this point of the barrel sprite.
constexpr int BARREL_PIVOT_X = 2;
constexpr int BARREL_PIVOT_Y = 30;
// Top-left corner of the gun base, drawn over the barrel's foot.
constexpr int GUN_BASE_X = 295;
constexpr int GUN_BASE_Y = 348;
