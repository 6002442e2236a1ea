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

// One trooper: sprite top-left, state, parachute tilt and falling animation
// counter, and the numbers every trooper moves and is hit by.
struct Trooper {
    // Hit boxes from the sprite's top-left: the parachute, and the body below it;
    // they share the line y + CHUTE_HEIGHT, where the parachute is tested first.
    static constexpr int BOX_WIDTH = 26;
    static constexpr int CHUTE_HEIGHT = 16;
    static constexpr int BODY_HEIGHT = 24;
    // A descending trooper whose top passes LANDING_LINE stands at GROUND_Y.
    static constexpr int LANDING_LINE = 417;
    static constexpr int GROUND_Y = 418;
    // A falling trooper whose top passes the frame's last row is gone.
    static constexpr int BOTTOM_EDGE = 479;
    // New troopers start above the sky, in one of SPAWN_COLUMNS columns from x 0.
    static constexpr int SPAWN_COLUMNS = 630;
    static constexpr int SPAWN_Y = -40;
    // The parachute tilts SWAY_STEP a step and swings back once past SWAY_LIMIT either way.
    static constexpr float SWAY_LIMIT = 15.0f;
    static constexpr float SWAY_STEP = 0.5f;
    // Pixels a step while descending and while falling.
    static constexpr int DESCENT_SPEED = 1;
    static constexpr int FALL_SPEED = 7;
    // The falling animation counts FALL_FRAMES frames and shows its first picture
    // up to FALL_A_LAST_FRAME, the second after it.
    static constexpr int FALL_FRAMES = 12;
    static constexpr int FALL_A_LAST_FRAME = 5;

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
