#include "res/datafile_check.h"

#include <allegro.h>

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "res/resources.h"

namespace {

// One budget for every byte read or expanded: far above anything the game
// ships, and low enough that a damaged count or size cannot make the loader
// allocate or read without bound.
const long MAX_BYTES = 64L << 20;
// Pictures up to this side keep the rotation code's fixed-point coordinates,
// and the scratch bitmaps the swaying troopers are turned in, within range.
const long MAX_SIDE = 4096;
// The game sets all 256 entries of the palette, 4 bytes each.
const long PALETTE_BYTES = 256 * 4;
// Fonts of the library's old formats hold the characters from space on.
const long OLD_FONT_GLYPHS = 95;

// The kind of object the game takes at each position.
constexpr long LISTED_TYPES[] = {
#define RESOURCE(index, name, kind, file) DAT_##kind,
#include "res/resource_list.h"
#undef RESOURCE
};
static_assert(std::size(LISTED_TYPES) == RES_COUNT, "the resource list numbers its objects 0, 1, 2, ...");

// Reads the big-endian fields of one object's content, never past its end.
class Cursor {
public:
    explicit Cursor(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}

    // Takes the next number of 1, 2 or 4 bytes; false, and 0, at the end of the data.
    bool number(int size, bool isSigned, long& value)
    {
        value = 0;
        if (left() < size)
            return false;
        for (int i = 0; i < size; ++i)
            value = (value << 8) | bytes_[position_++];
        if (isSigned && value >= 1L << (8 * size - 1))
            value -= 1L << (8 * size);
        return true;
    }

    // Steps over the given number of bytes; false when they are not there.
    bool skip(long count)
    {
        if (count < 0 || count > left())
            return false;
        position_ += count;
        return true;
    }

    long left() const { return static_cast<long>(bytes_.size()) - position_; }

private:
    std::vector<unsigned char> bytes_;
    long position_ = 0;
};

// Bits stored per pixel for a depth the loader turns into the game's 8-bit
// pictures: 15 and 16 as two bytes, 24 and 32 as three. 0 for other depths,
// such as -32, which the loader keeps at 32 bits with alpha.
long storedBits(long depth)
{
    return depth == 8 ? 8 : depth == 15 || depth == 16 ? 16 : depth == 24 || depth == 32 ? 24 : 0;
}

// A picture's width and height, then its rows of pixels, each row whole bytes.
bool picture(Cursor& in, long bits)
{
    long width, height;
    return bits > 0 && in.number(2, false, width) && in.number(2, false, height) && std::min(width, height) >= 1 &&
           std::max(width, height) <= MAX_SIDE && in.skip((width * bits + 7) / 8 * height);
}

// A sample: 8 or 16 bits (negative for stereo), a frequency, a length and
// that many frames. An empty sample plays as silence.
bool sample(Cursor& in)
{
    long bits, frequency, length;
    if (!in.number(2, true, bits) || !in.number(2, false, frequency) || !in.number(4, true, length))
        return false;
    const long frameBytes = bits == 8 ? 1 : bits == -8 || bits == 16 ? 2 : bits == -16 ? 4 : 0;
    return frameBytes > 0 && in.skip(length * frameBytes);
}

// A font. The old fixed format (a positive height) holds rows of 8 pixels,
// the old proportional one (negative) 8-bit glyphs, which the loader takes
// until the content ends. The current format (0) holds ranges of glyphs, all
// monochrome or all in colour: the font draws every range as its last one.
bool font(Cursor& in)
{
    long format, ranges, family = 0;
    if (!in.number(2, true, format))
        return false;
    if (format > 0)
        return in.skip(OLD_FONT_GLYPHS * format);
    if (format < 0) {
        for (long glyph = 0; glyph < OLD_FONT_GLYPHS && in.left() > 0; ++glyph)
            if (!picture(in, 8))
                return false;
        return true;
    }
    if (!in.number(2, false, ranges) || ranges < 1)
        return false;
    for (long range = 0; range < ranges; ++range) {
        long depth, first, last;
        if (!in.number(1, false, depth) || !in.number(4, true, first) || !in.number(4, true, last) ||
            last < first)
            return false;
        const long bits = depth == 1 || depth == 255 ? 1 : storedBits(depth == 0 ? 8 : depth);
        if (range > 0 && (bits == 1) != (family == 1))
            return false;
        family = bits;
        for (long glyph = first; glyph <= last; ++glyph)
            if (!picture(in, bits))
                return false;
    }
    return true;
}

// Checks an object's expanded content for the kind the game takes there.
bool contentFits(long type, Cursor in)
{
    long depth;
    switch (type) {
    case DAT_PALETTE: return in.left() >= PALETTE_BYTES;
    case DAT_BITMAP: return in.number(2, true, depth) && picture(in, storedBits(depth));
    case DAT_FONT: return font(in);
    case DAT_SAMPLE: return sample(in);
    default: return false;
    }
}

// Reads bytes through the packfile calls load_datafile makes, so that
// per-object and whole-file compression expand as they will there; false
// past the data's end or past the budget.
bool take(PACKFILE* file, long size, long& budget, std::vector<unsigned char>& out)
{
    if (size < 0 || size > budget)
        return false;
    budget -= size;
    out.resize(size);
    return size == 0 || pack_fread(out.data(), size, file) == size;
}

// Reads a big-endian signed 32-bit field.
bool field(PACKFILE* file, long& budget, long& value)
{
    std::vector<unsigned char> bytes;
    return take(file, 4, budget, bytes) && Cursor(bytes).number(4, true, value);
}

// Reads the object's properties and its chunk, and checks the expanded
// content, whose size load_datafile hands to the kind's loader.
bool objectFits(PACKFILE* file, long listedType, long& budget)
{
    long type, id, size;
    std::vector<unsigned char> bytes;
    if (!field(file, budget, type))
        return false;
    while (type == DAT_PROPERTY)
        if (!field(file, budget, id) || !field(file, budget, size) || !take(file, size, budget, bytes) ||
            !field(file, budget, type))
            return false;
    PACKFILE* chunk = type == listedType ? pack_fopen_chunk(file, FALSE) : nullptr;
    if (!chunk)
        return false;
    const bool fits = take(chunk, chunk->normal.todo, budget, bytes) && contentFits(listedType, Cursor(std::move(bytes)));
    pack_fclose_chunk(chunk);
    return fits;
}

} // namespace

bool datafileFitsGame(const char* fileName)
{
    PACKFILE* file = fileName ? pack_fopen(fileName, F_READ_PACKED) : nullptr;
    if (!file)
        return false;
    long budget = MAX_BYTES, magic, count;
    bool fits = field(file, budget, magic) && magic == DAT_MAGIC && field(file, budget, count) && count == RES_COUNT;
    for (int i = 0; fits && i < RES_COUNT; ++i)
        fits = objectFits(file, LISTED_TYPES[i], budget);
    pack_fclose(file);
    return fits;
}
