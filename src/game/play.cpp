#include "game/game.h"

#include <cstdlib>

#include "platform/focus.h"
#include "platform/quit_request.h"
#include "app/timer.h"
#include "game/frame.h"
#include "game/pad_rules.h"
#include "game/pause_rules.h"
#include "res/placements.h"
#include "res/resource_access.h"
#include "world/gun.h"

namespace {
PlayKeys readPlayKeys()
{
    return PlayKeys{key[KEY_LEFT] != 0, key[KEY_RIGHT] != 0, key[KEY_SPACE] != 0};
}

// Prints "Paused" in the resource font, centred on the frame.
void drawPausedLabel(BITMAP* frame, FONT* textFont)
{
    textprintf_centre_ex(frame, textFont, SCREEN_WIDTH / 2, (SCREEN_HEIGHT - text_height(textFont)) / 2, -1, -1, "Paused");
}
} // namespace

void Game::startGame()
{
    gunAngle = 0;
    score = 0;
    reloadCountdown = 0;
    logicTicks.store(0);
}

unsigned Game::logicStep(const PlayKeys& keys)
{
    unsigned cues = 0;
    gunAngle = Gun::turned(gunAngle, keys.left, keys.right);
    if (Gun::fires(reloadCountdown, keys.fire, reloadTicks)) {
        playCue(resourceSample(resources, RES_SND_SHOT));
        cues |= CUE_SHOT;
        shells.fire(gunAngle);
    }

    // One draw every step keeps the spawn pattern independent of the limit.
    const int roll = std::rand();
    if (roll % spawnOdds == 0 && squad.alive() < maxAlive)
        squad.spawn();

    shells.update();
    squad.update(shells);

    // Unsigned arithmetic: an endless game wraps instead of overflowing.
    const auto gained = static_cast<std::uint32_t>(squad.takeKills()) * static_cast<std::uint32_t>(pointsPerKill);
    score = static_cast<std::int32_t>(static_cast<std::uint32_t>(score) + gained);

    if (squad.takeChuteHit()) {
        playCue(resourceSample(resources, RES_SND_CHUTE_HIT));
        cues |= CUE_CHUTE_HIT;
    }
    if (squad.takeLanding()) {
        playCue(resourceSample(resources, RES_SND_LANDING));
        cues |= CUE_LANDING;
    }
    if (squad.takeBodyHit()) {
        playCue(resourceSample(resources, RES_SND_BODY_HIT));
        cues |= CUE_BODY_HIT;
    }
    return cues;
}

void Game::play()
{
    Frame frame;
    if (!frame)
        return; // no frame, no game: back to the menu
    startGame();
    PauseState pause;
    pause.keyHeld = padPauses(readPad()); // the Start that chose Play does not pause
    takeFocusLoss(); // the focus lost before this game does not pause it

    for (;;) {
        const PadState pad = readPad();
        if (key[KEY_ESC] || padEndsGame(pad) || quitRequested())
            break;
        if (applyPauseKeys(pause, PauseKeys{key[KEY_P] || padPauses(pad), takeFocusLoss()})) {
            while (logicTicks.load() > 0) {
                logicStep(withPad(readPlayKeys(), pad));
                logicTicks.fetch_sub(1);
            }
        } else {
            // A waiting frame drops the ticks, so going on replays none of them.
            logicTicks.store(0);
        }
        drawScene(frame.get());
        drawScoreLine(frame.get());
        if (pause.paused)
            drawPausedLabel(frame.get(), resourceFont(resources, RES_FONT));
        if (squad.landed() >= landingLimit) {
            playCue(resourceSample(resources, RES_SND_GAME_OVER));
            showGameOver();
            break;
        }
        followF11();
        show(frame);
    }

    // A game cut short by closing the window skips the name entry. The score
    // is weighed against the table on disk, which another game may have changed.
    if (!quitRequested()) {
        refreshHighScores();
        if (highScores.qualifies(static_cast<std::uint32_t>(score)))
            enterName();
    }
    squad.clear();
    shells.clear();
}
