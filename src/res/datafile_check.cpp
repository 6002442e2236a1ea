#include "res/datafile_check.h"

#include <iterator>
#include <vector>

#include "res/resources.h"

namespace {

// Limits far above anything the game ships and low enough that a damaged
// count or size cannot make the loader allocate or read without bound.
const long MAX_FILE_BYTES = 64L << 20;
const long MAX_EXPANDED_BYTES = 64L << 20;
const long MAX_OBJECTS = 10000;
const long MAX_PROPERTY_BYTES = 1L << 16;
const int MAX_NESTING = 8;
const long MAX_PICTURE_SIDE = 4096;
const long MAX_GLYPH_SIDE = 1024;
const long MAX_GLYPHS_PER_RANGE = 1L << 16;
const long MAX_FONT_RANGES = 0x7fff;
const long MAX_CHARACTER = 0x10ffff;
const long PALETTE_BYTES = 256 * 4;

// Decodes a big-endian number of 1, 2 or 4 bytes, as signed or unsigned.
long bigEndian(const unsigned char* bytes, int size, bool isSigned)
{
    long value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | bytes[i];
    const long half = 1L << (8 * size - 1);
    return isSigned && value >= half ? value - 2 * half : value;
}

// Reads the fields of one object's content and never runs past its end.
class Cursor {
public:
    explicit Cursor(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}

    // Takes the next number of the given size; false at the end of the data.
    bool number(int size, bool isSigned, long& value)
    {
        if (left() < size)
            return false;
        value = bigEndian(bytes_.data() + position_, size, isSigned);
        position_ += size;
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

    // Bytes not read yet.
    long left() const { return static_cast<long>(bytes_.size()) - position_; }

private:
    const std::vector<unsigned char>& bytes_;
    long position_ = 0;
};

// Bytes per stored pixel for the depths the bitmap loader knows; 32-bit
// pictures are stored as RGB, only -32 keeps the alpha byte. 0 for others.
long storedPixelBytes(long bits)
{
    switch (bits) {
    case 8: return 1;
    case 15: case 16: return 2;
    case 24: case 32: return 3;
    case -32: return 4;
    default: return 0;
    }
}

// Reads the depth and size shared by bitmaps and sprites and checks them.
bool pictureHeader(Cursor& in, long& bits, long& width, long& height)
{
    return in.number(2, true, bits) && in.number(2, false, width) &&
           in.number(2, false, height) && storedPixelBytes(bits) > 0 &&
           width >= 1 && width <= MAX_PICTURE_SIDE && height >= 1 && height <= MAX_PICTURE_SIDE;
}

// A bitmap or compiled sprite: header, then every pixel.
bool pictureValid(Cursor in)
{
    long bits, width, height;
    return pictureHeader(in, bits, width, height) &&
           in.skip(width * height * storedPixelBytes(bits));
}

// An RLE sprite. Only 8-bit ones are taken, with every line walked: positive
// counts are runs of pixels, negative counts gaps, zero ends the line.
bool rleSpriteValid(Cursor in)
{
    long bits, width, height, size;
    if (!pictureHeader(in, bits, width, height) || !in.number(4, true, size) ||
        bits != 8 || size <= 0 || size > in.left())
        return false;
    const long start = in.left();
    for (long y = 0; y < height; ++y) {
        long x = 0, count = 0;
        do {
            if (!in.number(1, true, count))
                return false;
            x += count > 0 ? count : -count;
            if (x > width || (count > 0 && !in.skip(count)))
                return false;
        } while (count != 0);
    }
    return start - in.left() <= size;
}

// A sample: 8 or 16 bits (negative for stereo), a frequency, a length and
// that many frames of data.
bool sampleValid(Cursor in)
{
    long bits, frequency, length;
    if (!in.number(2, true, bits) || !in.number(2, false, frequency) ||
        !in.number(4, true, length))
        return false;
    const long channels = bits < 0 ? 2 : 1;
    const long depth = bits < 0 ? -bits : bits;
    return (depth == 8 || depth == 16) && frequency > 0 && length > 0 &&
           in.skip(length * channels * (depth / 8));
}

// A font in the current format: ranges of glyphs, each 1-bit (packed rows)
// or 8-bit. The old fixed and proportional formats are refused.
bool fontValid(Cursor in)
{
    long format, ranges;
    if (!in.number(2, true, format) || format != 0 || !in.number(2, false, ranges) ||
        ranges < 1 || ranges > MAX_FONT_RANGES)
        return false;
    for (long range = 0; range < ranges; ++range) {
        long mono, first, last;
        if (!in.number(1, false, mono) || mono > 1 || !in.number(4, true, first) ||
            !in.number(4, true, last))
            return false;
        if (first < 0 || last < first || last > MAX_CHARACTER || last - first >= MAX_GLYPHS_PER_RANGE)
            return false;
        for (long character = first; character <= last; ++character) {
            long width, height;
            if (!in.number(2, false, width) || !in.number(2, false, height) || width < 1 ||
                width > MAX_GLYPH_SIDE || height < 1 || height > MAX_GLYPH_SIDE)
                return false;
            if (!in.skip(mono ? (width + 7) / 8 * height : width * height))
                return false;
        }
    }
    return true;
}

// A MIDI file: divisions, then 32 tracks, each a length and its bytes.
bool midiValid(Cursor in)
{
    long divisions;
    if (!in.number(2, false, divisions))
        return false;
    for (int track = 0; track < MIDI_TRACKS; ++track) {
        long length;
        if (!in.number(4, true, length) || length < 0 || !in.skip(length))
            return false;
    }
    return true;
}

// Checks an object's expanded content against what its type's loader reads.
// Types the loader keeps as raw bytes only need to be complete.
bool contentValid(long type, const std::vector<unsigned char>& bytes)
{
    Cursor in(bytes);
    switch (type) {
    case DAT_PALETTE: return static_cast<long>(bytes.size()) == PALETTE_BYTES;
    case DAT_BITMAP: case DAT_C_SPRITE: case DAT_XC_SPRITE: return pictureValid(in);
    case DAT_RLE_SPRITE: return rleSpriteValid(in);
    case DAT_SAMPLE: return sampleValid(in);
    case DAT_FONT: return fontValid(in);
    case DAT_MIDI: return midiValid(in);
    default: return true;
    }
}

// Walks a datafile through the same packfile calls load_datafile makes, so
// that per-object and whole-file compression expand exactly as they will
// there, with one budget for every byte it reads.
class DatafileWalker {
public:
    // Reads the magic number and the top-level list of objects.
    bool walkFile(PACKFILE* file)
    {
        long magic;
        return readNumber(file, magic) && magic == DAT_MAGIC && walkObjects(file, 0);
    }

private:
    // Reads the given number of bytes; false past the budget or the data's end.
    bool read(PACKFILE* file, unsigned char* out, long size)
    {
        if (size < 0 || size > budget_)
            return false;
        budget_ -= size;
        return size == 0 || pack_fread(out, size, file) == size;
    }

    // Reads a big-endian signed 32-bit field.
    bool readNumber(PACKFILE* file, long& value)
    {
        unsigned char bytes[4];
        if (!read(file, bytes, 4))
            return false;
        value = bigEndian(bytes, 4, true);
        return true;
    }

    // Reads a count of objects, then each object after its properties.
    bool walkObjects(PACKFILE* file, int depth)
    {
        long count;
        if (!readNumber(file, count) || count < 0 || count > MAX_OBJECTS)
            return false;
        for (long i = 0; i < count; ++i) {
            long type;
            if (!readNumber(file, type))
                return false;
            while (type == DAT_PROPERTY)
                if (!skipProperty(file) || !readNumber(file, type))
                    return false;
            if (!walkObject(file, type, depth))
                return false;
        }
        return true;
    }

    // Reads one property: its id, a bounded size and that many bytes.
    bool skipProperty(PACKFILE* file)
    {
        long id, size;
        if (!readNumber(file, id) || !readNumber(file, size) || size < 0 || size > MAX_PROPERTY_BYTES)
            return false;
        std::vector<unsigned char> text(size);
        return read(file, text.data(), size);
    }

    // Opens the object's chunk, then recurses into a nested datafile or
    // reads the whole expanded content and checks it for its type.
    bool walkObject(PACKFILE* file, long type, int depth)
    {
        const long sizeFields = 8;
        if (type == DAT_END || budget_ < sizeFields)
            return false;
        budget_ -= sizeFields;
        PACKFILE* chunk = pack_fopen_chunk(file, FALSE);
        if (!chunk)
            return false;
        // The expanded size, which load_datafile hands to the type's loader.
        const long size = chunk->normal.todo;
        bool ok = size >= 0 && size <= budget_;
        if (ok && type == DAT_FILE) {
            ok = depth < MAX_NESTING && walkObjects(chunk, depth + 1);
        } else if (ok) {
            std::vector<unsigned char> bytes(size);
            ok = read(chunk, bytes.data(), size) && contentValid(type, bytes);
        }
        pack_fclose_chunk(chunk);
        return ok;
    }

    long budget_ = MAX_EXPANDED_BYTES;
};

struct Requirement {
    int type;
    int minWidth;
    int minHeight;
};

// What each object must be, in index order. The sky must fill the screen's
// height and the barrel must hold its pivot (2, 30); other pictures only
// need to exist.
const Requirement REQUIREMENTS[] = {
    {DAT_PALETTE, 0, 0},  // RES_PALETTE
    {DAT_BITMAP, 1, 480}, // RES_SKY
    {DAT_BITMAP, 3, 31},  // RES_BARREL
    {DAT_BITMAP, 1, 1},   // RES_GUN_BASE
    {DAT_BITMAP, 1, 1},   // RES_GAME_OVER
    {DAT_BITMAP, 1, 1},   // RES_CURSOR
    {DAT_FONT, 0, 0},     // RES_FONT
    {DAT_BITMAP, 1, 1},   // RES_TROOPER
    {DAT_SAMPLE, 0, 0},   // RES_SND_BODY_HIT
    {DAT_SAMPLE, 0, 0},   // RES_SND_CHUTE_HIT
    {DAT_SAMPLE, 0, 0},   // RES_SND_GAME_OVER
    {DAT_SAMPLE, 0, 0},   // RES_SND_LANDING
    {DAT_SAMPLE, 0, 0},   // RES_SND_SHOT
    {DAT_BITMAP, 1, 1},   // RES_TROOPER_FALL_B
    {DAT_BITMAP, 1, 1},   // RES_TROOPER_FALL_A
};
static_assert(std::size(REQUIREMENTS) == RES_COUNT, "one requirement per resource");

} // namespace

bool datafileWellFormed(const char* fileName)
{
    if (!fileName || file_size_ex(fileName) > MAX_FILE_BYTES)
        return false;
    PACKFILE* file = pack_fopen(fileName, F_READ_PACKED);
    if (!file)
        return false;
    DatafileWalker walker;
    const bool ok = walker.walkFile(file);
    pack_fclose(file);
    return ok;
}

bool datafileUsable(const DATAFILE* resources)
{
    if (!resources)
        return false;
    // Index order, so that a short datafile stops at its end marker.
    for (int i = 0; i < RES_COUNT; ++i) {
        const Requirement& need = REQUIREMENTS[i];
        const DATAFILE& object = resources[i];
        if (object.type != need.type || !object.dat)
            return false;
        if (need.type == DAT_BITMAP) {
            BITMAP* picture = static_cast<BITMAP*>(object.dat);
            // The screen runs at 8 bits per pixel and the loader converts
            // pictures to the depth in force; any other depth means they
            // were loaded for another mode.
            if (bitmap_color_depth(picture) != 8 || picture->w < need.minWidth ||
                picture->h < need.minHeight)
                return false;
        }
    }
    return resources[RES_COUNT].type == DAT_END;
}
