#include "game/menu.h"

#include "platform/quit_request.h"
#include "game/frame.h"
#include "game/game.h"
#include "game/pad_rules.h"
#include "res/resource_access.h"

namespace {

// The keys that must be up before a visit starts reading them.
bool anyEntryKeyDown()
{
    return key[KEY_ENTER] || key[KEY_DOWN] || key[KEY_UP] || key[KEY_ESC];
}

MenuKeys readMenuKeys()
{
    return MenuKeys{key[KEY_DOWN] != 0, key[KEY_UP] != 0, key[KEY_ESC] != 0, key[KEY_RIGHT] != 0,
                    key[KEY_LEFT] != 0};
}

} // namespace

MenuResult Game::runMenu()
{
    Frame frame;
    if (!frame)
        return MenuResult::Exit; // nothing can be shown: leave through the normal shutdown
    MenuState state;
    state.presetIndex = presetIndex;
    state.volume = volume;

    // Keys still held from the last screen must not act here; rest so the
    // wait sleeps instead of spinning.
    while ((anyEntryKeyDown() || padHoldsEntryKey(readPad())) && !quitRequested())
        rest(1);

    FONT* menuFont = resourceFont(resources, RES_FONT);
    BITMAP* cursor = resourceBitmap(resources, RES_CURSOR);
    for (PadState pad = readPad(); !key[KEY_ENTER] && !padChooses(pad) && !quitRequested(); pad = readPad()) {
        clear_bitmap(frame.get());
        drawScene(frame.get());
        drawMenu(frame.get(), menuFont, cursor, state.item, presetName, volume);

        const bool leave = applyMenuKeys(state, withPad(readMenuKeys(), pad));
        if (state.presetIndex != presetIndex) {
            presetIndex = state.presetIndex;
            applyPreset();
        }
        volume = state.volume;
        if (leave)
            break;

        if (key[KEY_TAB])
            makeBackground();
        followF11();
        show(frame);
    }
    clear_keybuf();
    if (quitRequested())
        return MenuResult::Exit;
    if (state.item == MenuItem::Play)
        play();
    else if (state.item == MenuItem::Highscores)
        showHighScores();
    return state.item == MenuItem::Exit || quitRequested() ? MenuResult::Exit : MenuResult::ShowAgain;
}

void drawMenu(BITMAP* frame, FONT* menuFont, BITMAP* cursor, MenuItem item, const char* presetName,
              std::int32_t volume)
{
    textprintf_ex(frame, menuFont, 35, 10, -1, -1, "Play");
    textprintf_ex(frame, menuFont, 35, 35, -1, -1, "Preset: ");
    textprintf_ex(frame, menuFont, 125, 35, -1, -1, "%s", presetName);
    textprintf_ex(frame, menuFont, 35, 60, -1, -1, "Highscores");
    textprintf_ex(frame, menuFont, 35, 85, -1, -1, "Sound: ");
    textprintf_ex(frame, menuFont, 35, 110, -1, -1, "Exit");
    draw_sprite(frame, cursor, 10, 12 + 25 * static_cast<int>(item));
    if (volume > 0)
        rectfill(frame, 110, 90, 110 + 5 * volume, 110, makecol(255, 255, 0));
    else
        textprintf_ex(frame, menuFont, 110, 85, -1, -1, "Off");
}
