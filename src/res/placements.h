#pragma once

// The size of the screen every picture is placed on; the gun's own
// placements are in world/gun.h.
constexpr int SCREEN_WIDTH = 640;
constexpr int SCREEN_HEIGHT = 480;
