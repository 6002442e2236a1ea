#include "res/datafile_check.h"

#include "res/resources.h"

namespace {

struct Requirement {
    int index;
    int type;
    int minWidth;
    int minHeight;
};

// Minimum sizes: the sky must fill the screen's height, the barrel must hold
// its pivot (2, 30); other pictures only need to exist.
const Requirement REQUIREMENTS[] = {
    {RES_PALETTE, DAT_PALETTE, 0, 0},
    {RES_SKY, DAT_BITMAP, 1, 480},
    {RES_BARREL, DAT_BITMAP, 3, 31},
    {RES_GUN_BASE, DAT_BITMAP, 1, 1},
    {RES_GAME_OVER, DAT_BITMAP, 1, 1},
    {RES_CURSOR, DAT_BITMAP, 1, 1},
    {RES_FONT, DAT_FONT, 0, 0},
    {RES_TROOPER, DAT_BITMAP, 1, 1},
    {RES_SND_BODY_HIT, DAT_SAMPLE, 0, 0},
    {RES_SND_CHUTE_HIT, DAT_SAMPLE, 0, 0},
    {RES_SND_GAME_OVER, DAT_SAMPLE, 0, 0},
    {RES_SND_LANDING, DAT_SAMPLE, 0, 0},
    {RES_SND_SHOT, DAT_SAMPLE, 0, 0},
    {RES_TROOPER_FALL_B, DAT_BITMAP, 1, 1},
    {RES_TROOPER_FALL_A, DAT_BITMAP, 1, 1},
};

} // namespace

bool datafileUsable(const DATAFILE* resources)
{
    if (!resources)
        return false;
    for (int i = 0; i < RES_COUNT; ++i)
        if (resources[i].type == DAT_END || !resources[i].dat)
            return false;
    for (const Requirement& need : REQUIREMENTS) {
        const DATAFILE& object = resources[need.index];
        if (object.type != need.type)
            return false;
        if (need.type == DAT_BITMAP) {
            const BITMAP* picture = static_cast<const BITMAP*>(object.dat);
            // The screen runs at 8 bits per pixel; pictures of other depths
            // would be converted on every draw, or not drawn at all.
            if (bitmap_color_depth(const_cast<BITMAP*>(picture)) != 8)
                return false;
            if (picture->w < need.minWidth || picture->h < need.minHeight)
                return false;
        }
    }
    return true;
}
