#pragma once

#include <allegro.h>

#include <array>

// A sprite turned once to each whole angle from -15 to 15 units and kept as
// run-length sprites cropped to their pixels, so that a field full of
// swaying troopers costs a quick masked copy each instead of a rotation each.
// A rotation at whole-pixel positions only shifts, so the copies put down
// exactly the pixels rotate_sprite would.
class RotatedSprites {
public:
    static constexpr int MIN_ANGLE = -15;
    static constexpr int MAX_ANGLE = 15;

    RotatedSprites() = default;
    ~RotatedSprites() { release(); }
    RotatedSprites(const RotatedSprites&) = delete;
    RotatedSprites& operator=(const RotatedSprites&) = delete;

    // Draws sprite turned by angle units about its centre, its unturned
    // top-left at (x, y), as rotate_sprite does.
    void draw(BITMAP* dest, BITMAP* sprite, int x, int y, int angle);
    // Frees the turned copies (they are made again when next needed).
    void release();

private:
    // One turned copy: its pixels and where they stand from the unturned top-left.
    struct Turned {
        RLE_SPRITE* pixels = nullptr;
        int dx = 0;
        int dy = 0;
    };

    bool prepare(BITMAP* sprite);
    static bool turn(BITMAP* sprite, int angle, Turned& out);

    BITMAP* source = nullptr;
    std::array<Turned, MAX_ANGLE - MIN_ANGLE + 1> turned{};
};
