#pragma once

// Positions of the objects in data.dat. The game reaches every picture,
// the font and the sounds by these indices alone, so the datafile build
// must add the objects in exactly this order.
enum ResourceIndex : int {
    RES_PALETTE = 0,
    RES_SKY = 1,
    RES_BARREL = 2,
    RES_GUN_BASE = 3,
    RES_GAME_OVER = 4,
    RES_CURSOR = 5,
    RES_FONT = 6,
    RES_TROOPER = 7,
    RES_SND_BODY_HIT = 8,
    RES_SND_CHUTE_HIT = 9,
    RES_SND_GAME_OVER = 10,
    RES_SND_LANDING = 11,
    RES_SND_SHOT = 12,
    RES_TROOPER_FALL_B = 13,
    RES_TROOPER_FALL_A = 14,
    RES_COUNT = 15
};
