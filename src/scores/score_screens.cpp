#include "app/quit_request.h"
#include "game/frame.h"
#include "game/game.h"
#include "res/resource_access.h"
#include "scores/name_entry.h"

void Game::enterName()
{
    Frame frame;
    if (!frame)
        return; // nowhere to type: the score is dropped as with Esc
    NameEntry entry;
    clear_keybuf();
    FONT* textFont = resourceFont(resources, RES_FONT);
    for (;;) {
        if (quitRequested())
            return; // closing the window cancels like Esc
        clear_bitmap(frame.get());
        drawScene(frame.get());
        drawNameEntryPrompt(frame.get(), textFont);
        drawScoreLine(frame.get());
        if (keypressed())
            applyNameKey(entry, readkey());
        drawNameLine(frame.get(), textFont, entry);
        frame.show();
        if (nameEntryFinished(entry))
            break;
    }
    if (nameEntryConfirmed(entry))
        highScores.insert(entry.name, static_cast<std::uint32_t>(score));
}

void Game::showHighScores()
{
    Frame frame;
    if (!frame)
        return;
    FONT* textFont = resourceFont(resources, RES_FONT);
    while (!keypressed() && !quitRequested()) {
        clear_bitmap(frame.get());
        drawScene(frame.get());
        drawHighScoreRows(frame.get(), textFont, highScores);
        frame.show();
    }
    clear_keybuf();
}
