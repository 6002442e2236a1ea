#include "world/trooper_squad.h"

#include <cstdlib>
#include <utility>

#include "res/resource_access.h"

namespace {

// Flips the sway direction once the tilt has gone past the limit either way.
void swing(Trooper& trooper)
{
    trooper.sway += trooper.swayStep;
    const float limit = Trooper::SWAY_LIMIT;
    const bool turn = trooper.sway >= 0.0f ? trooper.sway > limit : trooper.sway < -limit;
    if (turn)
        trooper.swayStep = -trooper.swayStep;
}

} // namespace

// Releases every trooper.
TrooperSquad::~TrooperSquad()
{
    clear();
}

// Appends a trooper above the top edge at a random column.
void TrooperSquad::spawn()
{
    Trooper trooper;
    trooper.x = std::rand() % Trooper::SPAWN_COLUMNS;
    trooper.y = Trooper::SPAWN_Y;
    trooper.state = Descending;
    trooper.sway = -Trooper::SWAY_LIMIT;
    trooper.swayStep = Trooper::SWAY_STEP;
    trooper.frame = 0;
    troopers.push_back(trooper);
    ++aliveCount;
}

// One logic step for every trooper, oldest first; earlier troopers claim shells first.
void TrooperSquad::update(ShellList& shells)
{
    for (auto it = troopers.begin(); it != troopers.end();) {
        Trooper& trooper = *it;
        bool remove = false;

        if (trooper.state == Descending) {
            trooper.y += Trooper::DESCENT_SPEED;
            swing(trooper);
            if (trooper.y > Trooper::LANDING_LINE) {
                trooper.y = Trooper::GROUND_Y;
                trooper.state = Landed;
                ++landedCount;
                landingFlag = 1;
            }
            // A trooper that has just landed is still tested in this step.
            if (shells.hitTest(trooper.x, trooper.y, Trooper::BOX_WIDTH, Trooper::CHUTE_HEIGHT) != -1) {
                trooper.state = Falling;
                --aliveCount;
                ++killCount;
                chuteHitFlag = 1;
            } else if (shells.hitTest(trooper.x, trooper.y + Trooper::CHUTE_HEIGHT, Trooper::BOX_WIDTH,
                                      Trooper::BODY_HEIGHT) != -1) {
                remove = true;
                --aliveCount;
                ++killCount;
                bodyHitFlag = 1;
            }
        }

        if (!remove && trooper.state == Falling) {
            trooper.y += Trooper::FALL_SPEED;
            trooper.frame = (trooper.frame + 1) % Trooper::FALL_FRAMES;
            if (trooper.y > Trooper::BOTTOM_EDGE)
                remove = true;
        }

        if (remove)
            it = troopers.erase(it);
        else
            ++it;
    }
}

// Draws each trooper with the sprite for its state, later spawns on top.
void TrooperSquad::draw(BITMAP* dest, DATAFILE* resources) const
{
    for (const Trooper& trooper : troopers) {
        switch (trooper.state) {
        case Descending:
            swaying.draw(dest, resourceBitmap(resources, RES_TROOPER), trooper.x, trooper.y,
                         static_cast<int>(trooper.sway));
            break;
        case Falling: {
            const int index = trooper.frame <= Trooper::FALL_A_LAST_FRAME ? RES_TROOPER_FALL_A : RES_TROOPER_FALL_B;
            draw_sprite(dest, resourceBitmap(resources, index), trooper.x, trooper.y);
            break;
        }
        default:
            draw_sprite(dest, resourceBitmap(resources, RES_TROOPER_FALL_A), trooper.x, trooper.y);
            break;
        }
    }
}

// Empties the squad; kills and flags are left for the play loop to take.
void TrooperSquad::clear()
{
    troopers.clear();
    landedCount = 0;
    aliveCount = 0;
}

// Returns the hits since the last call and resets the count.
int TrooperSquad::takeKills()
{
    return std::exchange(killCount, 0);
}

// Returns whether a parachute was hit since the last call and resets the flag.
int TrooperSquad::takeChuteHit()
{
    return std::exchange(chuteHitFlag, 0);
}

// Returns whether a trooper landed since the last call and resets the flag.
int TrooperSquad::takeLanding()
{
    return std::exchange(landingFlag, 0);
}

// Returns whether a body was hit since the last call and resets the flag.
int TrooperSquad::takeBodyHit()
{
    return std::exchange(bodyHitFlag, 0);
}

// Appends a trooper as given; only a falling one stays out of the alive count.
void TrooperSquad::place(const Trooper& trooper)
{
    troopers.push_back(trooper);
    if (trooper.state != Falling)
        ++aliveCount;
}
