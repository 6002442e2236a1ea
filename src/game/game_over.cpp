#include "game/game_over.h"

#include "platform/quit_request.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/pad_rules.h"
#include "res/resource_access.h"

BannerPose bannerPose(int s)
{
    const double scale = s / 256.0;
    BannerPose pose;
    pose.x = 320 - static_cast<int>(scale * 176.0);
    pose.y = 200 - static_cast<int>(scale * 27.5);
    pose.angle = itofix(s);
    pose.scale = ftofix(scale);
    return pose;
}

void Game::showGameOver()
{
    {
        Frame frame;
        if (frame) {
            BITMAP* banner = resourceBitmap(resources, RES_GAME_OVER);
            for (int s = BANNER_FIRST_STEP; s <= BANNER_LAST_STEP && !quitRequested(); s += BANNER_STEP) {
                drawScene(frame.get());
                drawScoreLine(frame.get());
                const BannerPose pose = bannerPose(s);
                rotate_scaled_sprite(frame.get(), banner, pose.x, pose.y, pose.angle, pose.scale);
                followF11();
                show(frame);
            }
        }
    }
    clear_keybuf();
    // Wait for one key or a new press of a pad's button, sleeping rather
    // than spinning, and give way to a quit request.
    unsigned padHeld = readPad().buttons;
    while (!keypressed() && !newPresses(padHeld, readPad()) && !quitRequested()) {
        followF11();
        rest(10);
    }
    if (keypressed())
        readkey();
}
