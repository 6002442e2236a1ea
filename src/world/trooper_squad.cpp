#include "world/trooper_squad.h"

#include <cstdlib>

#include "res/resource_access.h"

namespace {

const int landingLine = 417;  // a descending trooper past this line is on the ground
const int groundY = 418;
const int bottomEdge = 479;

// Flips the sway direction once the tilt has gone past 15 units either way.
void swing(Trooper& trooper)
{
    trooper.sway += trooper.swayStep;
    const bool turn = trooper.sway >= 0.0f ? trooper.sway > 15.0f : trooper.sway < -15.0f;
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
    trooper.x = std::rand() % 630;
    trooper.y = -40;
    trooper.state = Descending;
    trooper.sway = -15.0f;
    trooper.swayStep = 0.5f;
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
            trooper.y += 1;
            swing(trooper);
            if (trooper.y > landingLine) {
                trooper.y = groundY;
                trooper.state = Landed;
                ++landedCount;
                landingFlag = 1;
            }
            // A trooper that has just landed is still tested in this step.
            if (shells.hitTest(trooper.x, trooper.y, 26, 16) != -1) {
                trooper.state = Falling;
                --aliveCount;
                ++killCount;
                chuteHitFlag = 1;
            } else if (shells.hitTest(trooper.x, trooper.y + 16, 26, 24) != -1) {
                remove = true;
                --aliveCount;
                ++killCount;
                bodyHitFlag = 1;
            }
        }

        if (!remove && trooper.state == Falling) {
            trooper.y += 7;
            trooper.frame = (trooper.frame + 1) % 12;
            if (trooper.y > bottomEdge)
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
            const int index = trooper.frame <= 5 ? RES_TROOPER_FALL_A : RES_TROOPER_FALL_B;
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
    const int kills = killCount;
    killCount = 0;
    return kills;
}

// Returns whether a parachute was hit since the last call and resets the flag.
int TrooperSquad::takeChuteHit()
{
    const int flag = chuteHitFlag;
    chuteHitFlag = 0;
    return flag;
}

// Returns whether a trooper landed since the last call and resets the flag.
int TrooperSquad::takeLanding()
{
    const int flag = landingFlag;
    landingFlag = 0;
    return flag;
}

// Returns whether a body was hit since the last call and resets the flag.
int TrooperSquad::takeBodyHit()
{
    const int flag = bodyHitFlag;
    bodyHitFlag = 0;
    return flag;
}

// Appends a trooper as given; only a falling one stays out of the alive count.
void TrooperSquad::place(const Trooper& trooper)
{
    troopers.push_back(trooper);
    if (trooper.state != Falling)
        ++aliveCount;
}
