#pragma once

// A stand-in for data.dat made of small solid-colour pictures, so the game's
// drawing and logic can be tested without the real art.
#include <allegro.h>

#include <array>

#include "res/resources.h"

// Palette indices the fake pictures are painted with.
enum FakeColour : int {
    FAKE_WHITE = 1,
    FAKE_YELLOW = 2,
    FAKE_ORANGE = 3,
    FAKE_SKY = 4,
    FAKE_BARREL = 5,
    FAKE_BASE = 6,
    FAKE_TROOPER = 7,
    FAKE_CURSOR = 8,
    FAKE_BANNER = 9
};

class FakeResources {
public:
    FakeResources()
    {
        for (int i = 0; i < PAL_SIZE; ++i)
            palette[i] = RGB{static_cast<unsigned char>(i / 8), 0, 20, 0};
        palette[0] = RGB{0, 0, 0, 0};
        palette[FAKE_WHITE] = RGB{63, 63, 63, 0};
        palette[FAKE_YELLOW] = RGB{63, 63, 0, 0};
        palette[FAKE_ORANGE] = RGB{51, 26, 0, 0};
        select_palette(palette);

        add(RES_PALETTE, DAT_PALETTE, palette);
        add(RES_SKY, DAT_BITMAP, solid(1, 480, FAKE_SKY));
        add(RES_BARREL, DAT_BITMAP, solid(5, 32, FAKE_BARREL));
        add(RES_GUN_BASE, DAT_BITMAP, solid(50, 30, FAKE_BASE));
        add(RES_GAME_OVER, DAT_BITMAP, solid(352, 55, FAKE_BANNER));
        add(RES_CURSOR, DAT_BITMAP, solid(20, 20, FAKE_CURSOR));
        add(RES_FONT, DAT_FONT, font);
        add(RES_TROOPER, DAT_BITMAP, solid(26, 40, FAKE_TROOPER));
        for (int i = RES_SND_BODY_HIT; i <= RES_SND_SHOT; ++i)
            add(i, DAT_SAMPLE, nullptr); // silent: cues without a sample do nothing
        add(RES_TROOPER_FALL_B, DAT_BITMAP, solid(26, 40, FAKE_TROOPER));
        add(RES_TROOPER_FALL_A, DAT_BITMAP, solid(26, 40, FAKE_TROOPER));
        objects[RES_COUNT] = DATAFILE{nullptr, DAT_END, 0, nullptr};
    }
    ~FakeResources()
    {
        for (int i = 0; i < RES_COUNT; ++i)
            if (objects[i].type == DAT_BITMAP)
                destroy_bitmap(static_cast<BITMAP*>(objects[i].dat));
    }
    FakeResources(const FakeResources&) = delete;
    FakeResources& operator=(const FakeResources&) = delete;

    DATAFILE* data() { return objects.data(); }

private:
    static BITMAP* solid(int w, int h, int colour)
    {
        BITMAP* picture = create_bitmap(w, h);
        clear_to_color(picture, colour);
        return picture;
    }
    void add(int index, int type, void* dat) { objects[index] = DATAFILE{dat, type, 0, nullptr}; }

    PALETTE palette;
    std::array<DATAFILE, RES_COUNT + 1> objects{};
};
