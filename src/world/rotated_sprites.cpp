#include "world/rotated_sprites.h"

#include <algorithm>

// Turns the sprite into a scratch bitmap and keeps the part that holds pixels.
bool RotatedSprites::turn(BITMAP* sprite, int angle, Turned& out)
{
    // Room for the sprite's corners to swing out at any angle.
    const int margin = (sprite->w + sprite->h) / 2 + 1;
    BITMAP* scratch = create_bitmap_ex(bitmap_color_depth(sprite), sprite->w + 2 * margin, sprite->h + 2 * margin);
    if (!scratch)
        return false;
    const int mask = bitmap_mask_color(scratch);
    clear_to_color(scratch, mask);
    rotate_sprite(scratch, sprite, margin, margin, itofix(angle));

    int left = scratch->w, top = scratch->h, right = -1, bottom = -1;
    for (int y = 0; y < scratch->h; ++y)
        for (int x = 0; x < scratch->w; ++x)
            if (getpixel(scratch, x, y) != mask) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    if (right < 0) { // nothing to draw at this angle
        left = top = 0;
        right = bottom = 0;
    }
    BITMAP* crop = create_sub_bitmap(scratch, left, top, right - left + 1, bottom - top + 1);
    out.pixels = crop ? get_rle_sprite(crop) : nullptr;
    out.dx = left - margin;
    out.dy = top - margin;
    if (crop)
        destroy_bitmap(crop);
    destroy_bitmap(scratch);
    return out.pixels != nullptr;
}

// Turns the sprite to every cached angle; false when memory runs short.
bool RotatedSprites::prepare(BITMAP* sprite)
{
    release();
    for (int i = 0; i < static_cast<int>(turned.size()); ++i)
        if (!turn(sprite, MIN_ANGLE + i, turned[i])) {
            release();
            return false;
        }
    source = sprite;
    return true;
}

void RotatedSprites::draw(BITMAP* dest, BITMAP* sprite, int x, int y, int angle)
{
    const bool cacheable = angle >= MIN_ANGLE && angle <= MAX_ANGLE
                           && bitmap_color_depth(sprite) == bitmap_color_depth(dest);
    if (cacheable && (sprite == source || prepare(sprite))) {
        const Turned& copy = turned[angle - MIN_ANGLE];
        draw_rle_sprite(dest, copy.pixels, x + copy.dx, y + copy.dy);
        return;
    }
    rotate_sprite(dest, sprite, x, y, itofix(angle));
}

void RotatedSprites::release()
{
    for (Turned& copy : turned) {
        if (copy.pixels)
            destroy_rle_sprite(copy.pixels);
        copy = Turned{};
    }
    source = nullptr;
}
