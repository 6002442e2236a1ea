#include "scores/name_entry.h"

#include "platform/quit_request.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/pad_rules.h"
#include "res/resource_access.h"

namespace {
int scancodeOf(int keyValue)
{
    return keyValue >> 8;
}
} // namespace

void applyNameKey(NameEntry& entry, int keyValue)
{
    entry.lastKey = keyValue;
    const int c = keyValue & 0xff;
    if (isNameCharacter(c) && entry.length <= HIGH_SCORE_NAME_MAX - 1) {
        entry.name[entry.length] = static_cast<char>(c);
        ++entry.length;
    } else if (scancodeOf(keyValue) == KEY_BACKSPACE && entry.length > 0) {
        --entry.length;
    }
    entry.name[entry.length] = '\0';
}

bool nameEntryFinished(const NameEntry& entry)
{
    const int s = scancodeOf(entry.lastKey);
    return s == KEY_ENTER || s == KEY_ESC;
}

bool nameEntryConfirmed(const NameEntry& entry)
{
    return scancodeOf(entry.lastKey) == KEY_ENTER;
}

void drawNameEntryPrompt(BITMAP* frame, FONT* textFont)
{
    textprintf_centre_ex(frame, textFont, 320, 30, -1, -1, "Congratulations! You have made a highscore!");
    textprintf_centre_ex(frame, textFont, 320, 50, -1, -1, "Please enter your name.");
}

void drawNameLine(BITMAP* frame, FONT* textFont, const NameEntry& entry)
{
    textprintf_centre_ex(frame, textFont, 320, 100, -1, -1, "%s*", entry.name);
}

void Game::enterName()
{
    Frame frame;
    if (!frame)
        return; // nowhere to type: the score is dropped as with Esc
    NameEntry entry;
    clear_keybuf();
    unsigned padHeld = readPad().buttons; // as the key buffer, the pad starts afresh
    bool pushHeld = true;                 // and a push held into the screen steps nothing
    FONT* textFont = resourceFont(resources, RES_FONT);
    for (;;) {
        if (quitRequested())
            return; // closing the window cancels like Esc
        clear_bitmap(frame.get());
        drawScene(frame.get());
        drawNameEntryPrompt(frame.get(), textFont);
        drawScoreLine(frame.get());
        const PadState pad = readPad();
        const int padKey = padNameKey(newPresses(padHeld, pad));
        applyNamePad(entry, pushHeld, pad); // before the key, which may end the entry
        if (keypressed())
            applyNameKey(entry, readkey());
        else if (padKey)
            applyNameKey(entry, padKey);
        drawNameLine(frame.get(), textFont, entry);
        followF11();
        show(frame);
        if (nameEntryFinished(entry))
            break;
    }
    if (nameEntryConfirmed(entry)) {
        highScores.confirm(entry.name, static_cast<std::uint32_t>(score));
        saveHighScores(); // the entry survives a run that ends abruptly
    }
}
