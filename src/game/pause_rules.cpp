#include "game/pause_rules.h"

bool applyPauseKeys(PauseState& state, const PauseKeys& keys)
{
    const bool wasPaused = state.paused;
    if (keys.pauseKey && !state.keyHeld)
        state.paused = !state.paused;
    // Losing the focus pauses, and never resumes a paused game.
    if (keys.focusLost)
        state.paused = true;
    state.keyHeld = keys.pauseKey;
    // The frame that resumes runs no steps either: the count starts afresh.
    return !wasPaused && !state.paused;
}
