#pragma once

// A stand-in for data.dat made of small solid-colour pictures and silent
// samples, so that the game's drawing and logic run without the real art.
#include <allegro.h>

#include <array>

#include "res/resources.h"

// Palette indices the fake pictures are painted with; white and yellow are exact.
enum FakeColour : int { FAKE_WHITE = 1, FAKE_YELLOW, FAKE_SKY, FAKE_BARREL, FAKE_BASE, FAKE_TROOPER, FAKE_CURSOR,
                        FAKE_BANNER, FAKE_FALL_B };

class FakeResources {
public:
    FakeResources()
    {
        for (int i = 0; i < PAL_SIZE; ++i) // a colour cube: a colour made a shade off finds another entry
            palette[i] = RGB{static_cast<unsigned char>(i / 36 % 6 * 12.6), static_cast<unsigned char>(i / 6 % 6 * 12.6),
                             static_cast<unsigned char>(i % 6 * 12.6), 0};
        palette[FAKE_WHITE] = RGB{63, 63, 63, 0};
        palette[FAKE_YELLOW] = RGB{63, 63, 0, 0};
        select_palette(palette);
        const int pictures[][4] = {{RES_SKY, 1, 480, FAKE_SKY}, {RES_BARREL, 5, 32, FAKE_BARREL},
                                   {RES_GUN_BASE, 50, 30, FAKE_BASE}, {RES_GAME_OVER, 352, 55, FAKE_BANNER},
                                   {RES_CURSOR, 20, 20, FAKE_CURSOR}, {RES_TROOPER, 26, 40, FAKE_TROOPER},
                                   {RES_TROOPER_FALL_B, 26, 40, FAKE_FALL_B}, {RES_TROOPER_FALL_A, 26, 40, FAKE_TROOPER}};
        for (const auto& p : pictures) {
            objects[p[0]] = DATAFILE{create_bitmap(p[1], p[2]), DAT_BITMAP, 0, nullptr};
            clear_to_color(bitmap(p[0]), p[3]);
        }
        objects[RES_PALETTE] = DATAFILE{palette, DAT_PALETTE, 0, nullptr};
        objects[RES_FONT] = DATAFILE{font, DAT_FONT, 0, nullptr};
        for (int i = RES_SND_BODY_HIT; i <= RES_SND_SHOT; ++i)
            objects[i] = DATAFILE{&samples[i - RES_SND_BODY_HIT], DAT_SAMPLE, 0, nullptr};
        objects[RES_COUNT] = DATAFILE{nullptr, DAT_END, 0, nullptr};
    }
    ~FakeResources()
    {
        for (DATAFILE& object : objects)
            if (object.type == DAT_BITMAP)
                destroy_bitmap(static_cast<BITMAP*>(object.dat));
    }
    FakeResources(const FakeResources&) = delete;
    FakeResources& operator=(const FakeResources&) = delete;

    DATAFILE* data() { return objects.data(); }
    SAMPLE* sample(int index) { return static_cast<SAMPLE*>(objects[index].dat); }
    BITMAP* bitmap(int index) { return static_cast<BITMAP*>(objects[index].dat); }

private:
    PALETTE palette;
    std::array<SAMPLE, 5> samples{};
    std::array<DATAFILE, RES_COUNT + 1> objects{};
};
