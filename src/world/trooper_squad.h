#pragma once

#include <allegro.h>
#include <list>

#include "world/rotated_sprites.h"
#include "world/shell_list.h"

enum TrooperState : int {
    Descending = 0,
    Falling = 1,
    Landed = 2
};

// One trooper: sprite top-left, state, parachute tilt and falling animation counter.
struct Trooper {
    int x;
    int y;
    int state;
    float sway;
    float swayStep;
    int frame;
};

// The troopers in play, in spawn order, with the counters and read-and-clear
// flags the play loop polls after every step.
class TrooperSquad {
public:
    TrooperSquad() = default;
    ~TrooperSquad();
    TrooperSquad(const TrooperSquad&) = delete;
    TrooperSquad& operator=(const TrooperSquad&) = delete;

    // Drops a new trooper in above the sky at a random column.
    void spawn();
    // Moves, sways, lands and hit-tests every trooper for one logic step.
    void update(ShellList& shells);
    // Draws every trooper with its sprite for its state.
    void draw(BITMAP* dest, DATAFILE* resources) const;
    // Removes every trooper and resets the alive and landed counts.
    void clear();
    // Frees the turned parachute pictures; must run while the library is up.
    void releaseSprites() { swaying.release(); }

    int alive() const { return aliveCount; }
    int landed() const { return landedCount; }
    int takeKills();
    int takeChuteHit();
    int takeLanding();
    int takeBodyHit();

    // Read-only view for the benchmark and tests.
    const std::list<Trooper>& members() const { return troopers; }
    // Puts a trooper in play exactly as given (scenario set-up for tests and
    // the benchmark); it counts as alive unless it is falling.
    void place(const Trooper& trooper);

private:
    int aliveCount = 0;
    int killCount = 0;
    int chuteHitFlag = 0;
    int landingFlag = 0;
    int bodyHitFlag = 0;
    int landedCount = 0;
    std::list<Trooper> troopers;
    // The parachute picture at every sway angle, made on first draw.
    mutable RotatedSprites swaying;
};
