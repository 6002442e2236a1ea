#include "scores/high_score_screen.h"

#include "platform/quit_request.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/pad_rules.h"
#include "res/resource_access.h"

void drawHighScoreRows(BITMAP* frame, FONT* textFont, const HighScoreTable& table)
{
    textprintf_centre_ex(frame, textFont, 320, 30, -1, -1, "H I G H S C O R E S !");
    for (int i = 0; i < HIGH_SCORE_ENTRIES; ++i) {
        const int y = highScoreRowY(i);
        textprintf_right_ex(frame, textFont, 150, y, -1, -1, "%d.  ", i + 1);
        textprintf_ex(frame, textFont, 150, y, -1, -1, "%s", table.name(i));
        textprintf_ex(frame, textFont, 450, y, -1, -1, "%u", static_cast<unsigned>(table.score(i)));
    }
}

void Game::showHighScores()
{
    Frame frame;
    if (!frame)
        return;
    refreshHighScores(); // the table as it stands on disk, with other games' names
    FONT* textFont = resourceFont(resources, RES_FONT);
    unsigned padHeld = readPad().buttons; // the button that chose this screen does not end it
    while (!keypressed() && !newPresses(padHeld, readPad()) && !quitRequested()) {
        clear_bitmap(frame.get());
        drawScene(frame.get());
        drawHighScoreRows(frame.get(), textFont, highScores);
        followF11();
        show(frame);
    }
    clear_keybuf();
}
