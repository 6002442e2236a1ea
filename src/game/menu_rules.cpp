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
