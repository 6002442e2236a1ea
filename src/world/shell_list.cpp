#include "world/shell_list.h"

#include <cmath>

#include "res/placements.h"
#include "world/gun.h"

// Appends a shell at the barrel tip, moving 10 pixels per step along the barrel.
void ShellList::fire(int gunAngle)
{
    const double a = Gun::radians(gunAngle);
    Shell shell;
    shell.vx = static_cast<float>(std::sin(a) * 10.0);
    shell.vy = static_cast<float>(std::cos(a) * -10.0);
    shell.x = static_cast<float>(static_cast<double>(shell.vx) * Gun::MUZZLE_STEPS + Gun::PIVOT_X);
    shell.y = static_cast<float>(static_cast<double>(shell.vy) * Gun::MUZZLE_STEPS + Gun::PIVOT_Y);
    shells.push_back(shell);
}

// Moves every shell and unlinks those beyond the left, right or top edge.
void ShellList::update()
{
    for (auto it = shells.begin(); it != shells.end();) {
        it->x += it->vx;
        it->y += it->vy;
        if (it->x > SCREEN_WIDTH || it->x < 0.0f || it->y < 0.0f)
            it = shells.erase(it);
        else
            ++it;
    }
}

// Draws each shell as an orange disc of radius 2, oldest first.
void ShellList::draw(BITMAP* dest) const
{
    const int colour = makecol(204, 104, 0);
    for (const Shell& shell : shells)
        circlefill(dest, static_cast<int>(shell.x), static_cast<int>(shell.y), 2, colour);
}

// Removes the oldest shell inside the box, edges included.
int ShellList::hitTest(int left, int top, int width, int height)
{
    const int right = left + width;
    const int bottom = top + height;
    for (auto it = shells.begin(); it != shells.end(); ++it) {
        if (it->x >= left && it->x <= right && it->y >= top && it->y <= bottom) {
            shells.erase(it);
            return 1;
        }
    }
    return -1;
}

// Drops every shell in flight.
void ShellList::clear()
{
    shells.clear();
}
