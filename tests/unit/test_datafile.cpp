// Checks the built data.dat: object order and types, the placements the game
// relies on, the palette's exact colours and the font's character range.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "res/resources.h"

namespace {

class DatafileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { data = load_datafile(VOLLIX_DATA_FILE); }
    static void TearDownTestSuite()
    {
        if (data)
            unload_datafile(data);
        data = nullptr;
    }
    void SetUp() override { ASSERT_NE(data, nullptr) << "cannot load " << VOLLIX_DATA_FILE; }

    static BITMAP* bitmap(int index) { return static_cast<BITMAP*>(data[index].dat); }
    // Number of pixels of the mask colour in a bitmap.
    static int maskPixels(BITMAP* b, int x0, int y0, int x1, int y1)
    {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += getpixel(b, x, y) == 0;
        return n;
    }

    static DATAFILE* data;
};

DATAFILE* DatafileTest::data = nullptr;

TEST_F(DatafileTest, HoldsFifteenObjectsOfTheRightKindsInOrder)
{
    struct Expected {
        int type;
        const char* name;
    };
    const Expected expected[RES_COUNT] = {
        {DAT_PALETTE, "PALETTE_BMP"},    {DAT_BITMAP, "SKY_BMP"},       {DAT_BITMAP, "BARREL_BMP"},
        {DAT_BITMAP, "GUN_BASE_BMP"},    {DAT_BITMAP, "GAME_OVER_BMP"}, {DAT_BITMAP, "CURSOR_BMP"},
        {DAT_FONT, "FONT_TXT"},          {DAT_BITMAP, "TROOPER_BMP"},   {DAT_SAMPLE, "BODY_HIT_WAV"},
        {DAT_SAMPLE, "CHUTE_HIT_WAV"},   {DAT_SAMPLE, "GAME_OVER_WAV"}, {DAT_SAMPLE, "LANDING_WAV"},
        {DAT_SAMPLE, "SHOT_WAV"},        {DAT_BITMAP, "TROOPER_FALL_B_BMP"}, {DAT_BITMAP, "TROOPER_FALL_A_BMP"},
    };
    for (int i = 0; i < RES_COUNT; ++i) {
        EXPECT_EQ(data[i].type, expected[i].type) << "object " << i;
        EXPECT_STREQ(get_datafile_property(&data[i], DAT_NAME), expected[i].name) << "object " << i;
    }
    EXPECT_EQ(data[RES_COUNT].type, DAT_END);
}

TEST_F(DatafileTest, BitmapsFitTheirPlacements)
{
    BITMAP* sky = bitmap(RES_SKY);
    EXPECT_GE(sky->h, 480);
    EXPECT_EQ(maskPixels(sky, 0, 0, sky->w, 480), 0) << "the sky must cover the whole frame";

    BITMAP* barrel = bitmap(RES_BARREL);
    EXPECT_GT(barrel->h, barrel->w);
    ASSERT_GT(barrel->h, 30);
    EXPECT_EQ(maskPixels(barrel, 2, 2, 3, 31), 0) << "the barrel runs up from its pivot (2, 30)";

    BITMAP* base = bitmap(RES_GUN_BASE);
    EXPECT_NE(getpixel(base, 320 - 295, 365 - 348), 0) << "the base hides the barrel's foot";
    EXPECT_GE(348 + base->h, 458) << "the base reaches the ground";

    EXPECT_EQ(bitmap(RES_GAME_OVER)->w, 352);
    EXPECT_EQ(bitmap(RES_GAME_OVER)->h, 55);
    EXPECT_LE(bitmap(RES_CURSOR)->h, 25) << "the cursor fits one menu row";

    for (int i : {RES_TROOPER, RES_TROOPER_FALL_A, RES_TROOPER_FALL_B}) {
        BITMAP* b = bitmap(i);
        EXPECT_EQ(b->w, 26);
        EXPECT_EQ(b->h, 40);
        EXPECT_LT(maskPixels(b, 0, 16, 26, 40), 26 * 24) << "a body in the lower box of object " << i;
    }
    EXPECT_LT(maskPixels(bitmap(RES_TROOPER), 0, 0, 26, 16), 26 * 16 / 2) << "the canopy fills the upper box";
}

TEST_F(DatafileTest, PaletteHoldsTheGameColoursExactly)
{
    RGB* pal = static_cast<RGB*>(data[RES_PALETTE].dat);
    select_palette(pal);
    struct Probe {
        int r, g, b;
    };
    for (Probe p : {Probe{255, 255, 255}, Probe{255, 255, 0}, Probe{204, 104, 0}}) {
        const int c = makecol(p.r, p.g, p.b);
        ASSERT_GT(c, 0);
        ASSERT_LT(c, 256);
        EXPECT_EQ(pal[c].r, p.r >> 2);
        EXPECT_EQ(pal[c].g, p.g >> 2);
        EXPECT_EQ(pal[c].b, p.b >> 2);
    }
    unselect_palette();
}

TEST_F(DatafileTest, FontCoversEveryCharacterAndFitsTheScreens)
{
    FONT* f = static_cast<FONT*>(data[RES_FONT].dat);
    EXPECT_NE(is_color_font(f), 0);
    for (int c = 32; c <= 127; ++c) {
        const char s[2] = {static_cast<char>(c), 0};
        EXPECT_GT(text_length(f, s), 0) << "character " << c;
    }
    EXPECT_LT(text_height(f), 25) << "menu rows are 25 pixels apart";
    EXPECT_LE(text_length(f, "Congratulations! You have made a highscore!"), 600);
    EXPECT_LE(text_length(f, "Preset: "), 125 - 35);
    EXPECT_LE(text_length(f, "Sound: "), 110 - 35);
}

TEST_F(DatafileTest, SamplesAreShortMonoSounds)
{
    struct Span {
        int index;
        double minSeconds, maxSeconds;
    };
    for (Span s : {Span{RES_SND_BODY_HIT, 0.03, 0.15}, Span{RES_SND_CHUTE_HIT, 0.15, 0.25},
                   Span{RES_SND_GAME_OVER, 0.7, 1.5}, Span{RES_SND_LANDING, 0.05, 0.3},
                   Span{RES_SND_SHOT, 0.08, 0.15}}) {
        const SAMPLE* spl = static_cast<SAMPLE*>(data[s.index].dat);
        EXPECT_FALSE(spl->stereo);
        const double seconds = static_cast<double>(spl->len) / spl->freq;
        EXPECT_GE(seconds, s.minSeconds) << "sample " << s.index;
        EXPECT_LE(seconds, s.maxSeconds) << "sample " << s.index;
    }
}

} // namespace
