#pragma once

#include "game/game.h"

// The heaviest battlefield the presets allow, for timing one logic step and
// one frame. Both scenarios leave 1000 troopers alive and 45 shells in flight.
enum class Load {
    // Every trooper still under its parachute, spread over the sky above the
    // shells, so every descending trooper walks the whole shell list twice.
    AllDescending,
    // The most the rules let be in the air at once: a spawn takes at least a
    // step and a trooper lands on its 458th, so 458 descending, 542 landed.
    MostDescending,
    // What a long Fun game really holds: about 92 in the air, the rest on the
    // ground, shells spread along the gun's rays (some of them hit).
    LongGame
};

// Empties the field and places the chosen load; the game keeps its preset.
void placeLoad(Game& game, Load load);
