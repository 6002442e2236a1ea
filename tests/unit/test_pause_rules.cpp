// One game's frames fed to the pause rules: P and focus loss in, pause and logic out.
#include <gtest/gtest.h>

#include "game/pause_rules.h"

namespace {

struct FrameCase {
    bool p;
    bool focusLost;
    bool paused;    // after the frame
    bool runsLogic; // what the frame does with the counted steps
    const char* what;
};

} // namespace

TEST(PauseRules, ScriptedFramesOfOneGame)
{
    const FrameCase frames[] = {
        {false, false, false, true, "plain play runs the steps"},
        {true, false, true, false, "P pauses at once"},
        {true, false, true, false, "P held acts once"},
        {false, false, true, false, "released, still paused"},
        {true, false, false, false, "P resumes; the waiting steps are dropped"},
        {true, false, false, true, "P held after resuming does not pause again"},
        {false, true, true, false, "losing the focus pauses"},
        {false, true, true, false, "a repeated focus notice keeps the pause"},
        {true, true, true, false, "P with a focus loss does not resume"},
        {false, false, true, false, "released, still paused"},
        {true, false, false, false, "P resumes after a focus loss"},
        {false, false, false, true, "and the next frame runs the steps"},
    };
    PauseState state;
    for (const FrameCase& f : frames) {
        const bool runs = applyPauseKeys(state, PauseKeys{f.p, f.focusLost});
        EXPECT_EQ(state.paused, f.paused) << f.what;
        EXPECT_EQ(runs, f.runsLogic) << f.what;
    }
}
