#include "seam.h"

#include <cstring>
#include <deque>

namespace seam {
std::vector<Cue> cues;
int frames = 0, rests = 0;
std::function<void(int)> onFrame, onRest;
namespace {
std::deque<int> buffer;
} // namespace

void reset()
{
    cues.clear();
    frames = rests = 0;
    onFrame = onRest = nullptr;
    buffer.clear();
    std::memset(const_cast<char*>(key), 0, KEY_MAX);
}

void type(int keyValue)
{
    buffer.push_back(keyValue);
}

void install()
{
    screen = create_bitmap(640, 480);
    install_keyboard_hooks([] { return int(!buffer.empty()); }, [] {
        const int value = buffer.front();
        buffer.pop_front();
        return value;
    });
}
} // namespace seam

// The library's own calls, replaced in the unit-test program only.
extern "C" void vsync(void)
{
    if (++seam::frames, seam::onFrame)
        seam::onFrame(seam::frames);
}

extern "C" void rest(unsigned int)
{
    if (++seam::rests, seam::onRest)
        seam::onRest(seam::rests);
}

extern "C" int play_sample(const SAMPLE* sample, int volume, int pan, int frequency, int loop)
{
    seam::cues.push_back({sample, volume, pan, frequency, loop, seam::frames});
    return 0;
}
