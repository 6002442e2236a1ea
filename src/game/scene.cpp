#include "game/game.h"

#include "res/resource_access.h"
#include "world/gun.h"

void Game::drawScene(BITMAP* frame) const
{
    // A background without mask pixels is copied whole: the same picture as a
    // masked draw, at a fraction of the cost on every frame of every screen.
    if (background && backgroundOpaque)
        blit(background, frame, 0, 0, 0, 0, background->w, background->h);
    else if (background)
        draw_sprite(frame, background, 0, 0);
    pivot_sprite(frame, resourceBitmap(resources, RES_BARREL), Gun::PIVOT_X, Gun::PIVOT_Y, Gun::BARREL_PIVOT_X,
                 Gun::BARREL_PIVOT_Y, itofix(gunAngle));
    draw_sprite(frame, resourceBitmap(resources, RES_GUN_BASE), Gun::BASE_X, Gun::BASE_Y);
    shells.draw(frame);
    squad.draw(frame, resources);
}

void Game::drawScoreLine(BITMAP* frame) const
{
    textprintf_ex(frame, font, 5, 5, makecol(255, 255, 255), -1, "Score: %d", static_cast<int>(score));
}
