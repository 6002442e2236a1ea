#include "game/menu_rules.h"

#include "game/presets.h"

namespace {
constexpr std::int32_t VOLUME_MAX = 10;
} // namespace

bool applyMenuKeys(MenuState& state, const MenuKeys& keys)
{
    if (!state.keyGuard) {
        int item = static_cast<int>(state.item);
        if (keys.down && item <= 3)
            ++item;
        if (keys.up && item > 0)
            --item;
        if (keys.esc) {
            if (item == static_cast<int>(MenuItem::Exit)) {
                state.item = MenuItem::Exit;
                return true;
            }
            item = static_cast<int>(MenuItem::Exit);
        }
        state.item = static_cast<MenuItem>(item);
        if (state.item == MenuItem::Preset) {
            if (keys.right && state.presetIndex <= PRESET_COUNT - 2)
                ++state.presetIndex;
            if (keys.left && state.presetIndex > 0)
                --state.presetIndex;
        }
        if (state.item == MenuItem::Sound) {
            if (keys.right && state.volume <= VOLUME_MAX - 1)
                ++state.volume;
            if (keys.left && state.volume > 0)
                --state.volume;
        }
    }
    state.keyGuard = keys.down || keys.up || keys.esc || keys.right || keys.left;
    return false;
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
