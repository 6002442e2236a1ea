// The unit-test program: the library started without a window, and the seam.
#define ALLEGRO_NO_MAGIC_MAIN
#include <cerrno>
#include <cstring>
#include <deque>

#include "game_fixture.h"

namespace seam {
std::vector<Cue> cues;
int frames = 0, rests = 0;
std::function<void(int)> onFrame, onRest;
bool noMemory = false;
PadState pad;
std::vector<int> modes;
static std::deque<int> buffer;

void reset()
{
    cues.clear();
    frames = rests = 0;
    onFrame = onRest = nullptr;
    noMemory = false;
    pad = {};
    modes.clear();
    buffer.clear();
    std::memset(const_cast<char*>(key), 0, KEY_MAX);
}

void type(int keyValue)
{
    buffer.push_back(keyValue);
}
} // namespace seam

// The library's own calls, replaced in this program only.
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

// No driver: the first pad reads as seam::pad holds it, on one stick and eight buttons.
extern "C" int install_joystick(int) { return 0; }
extern "C" int poll_joystick(void)
{
    joy[0].num_sticks = 1, joy[0].stick[0].num_axis = 2, joy[0].num_buttons = 8;
    joy[0].stick[0].axis[0].pos = 128 * (seam::pad.right - seam::pad.left);
    joy[0].stick[0].axis[1].pos = 128 * (seam::pad.down - seam::pad.up);
    for (int b = 0; b < 8; ++b)
        joy[0].button[b].b = seam::pad.buttons >> b & 1;
    return 0;
}

extern "C" int set_gfx_mode(int, int width, int, int, int)
{
    return seam::modes.push_back(width), 0;
}

extern "C" BITMAP* create_bitmap(int width, int height)
{
    return seam::noMemory ? nullptr : create_bitmap_ex(get_color_depth(), width, height);
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0)
        return 2;
    set_color_depth(8);
    system_driver->get_desktop_resolution = [](int* width, int* height) { return *width = 1920, *height = 1080, 0; };
    screen = create_bitmap(640, 480);
    install_keyboard_hooks([] { return int(!seam::buffer.empty()); }, [] {
        const int value = seam::buffer.front();
        seam::buffer.pop_front();
        return value;
    });
    return RUN_ALL_TESTS();
}
