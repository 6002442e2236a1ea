// data.dat as built; the check before the loader: what it refuses and accepts, and no crash on cut or damaged files.
#include <allegro.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "res/datafile_check.h"
#include "res/resources.h"

namespace {

using Bytes = std::vector<unsigned char>;
struct Object { long type; Bytes content; };
const long LISTED_TYPES[] = {
#define RESOURCE(index, name, kind, file) DAT_##kind,
#include "res/resource_list.h"
#undef RESOURCE
};

// Big-endian fields and zero bytes, appended in order.
struct B : Bytes {
    B& n(long value, int size) { while (size--) push_back(static_cast<unsigned char>(value >> 8 * size)); return *this; }
    B& z(long count) { resize(size() + count); return *this; }
    B& range(int depth, int w, long glyphBytes) { return n(depth, 1).n(1L << 31, 4).n(1L << 31, 4).n(w, 2).n(1, 2).z(glyphBytes); }
    B& times(int count, const Bytes& part) { while (count--) insert(end(), part.begin(), part.end()); return *this; }
};
const Bytes GLYPH = B().n(1, 2).n(1, 2).z(1), PROPERTIES = B().n(DAT_PROPERTY, 4).n(DAT_NAME, 4).n(0, 4).n(DAT_PROPERTY, 4).n(DAT_NAME, 4).n(1, 4).z(1);
Bytes bitmap(int depth, int w, int h, long pixelBytes) { return B().n(depth, 2).n(w, 2).n(h, 2).z(pixelBytes); }
Bytes sample(int bits, long length, long dataBytes) { return B().n(bits, 2).n(22050, 2).n(length, 4).z(dataBytes); }
B font(int ranges) { return B().n(0, 2).n(ranges, 2); } // the current format; then ranges of one glyph 1 high
Bytes resized(Bytes bytes, size_t size) { bytes.resize(size); return bytes; }
Bytes flipped(Bytes bytes, size_t at, int bits) { bytes[at] ^= bits; return bytes; }

// The smallest objects of the listed kinds, pictures and sounds (bits < 0: stereo) of every stored format, one replaced when asked.
const Bytes PICTURES[] = {bitmap(8, 1, 1, 1), bitmap(15, 1, 1, 2), bitmap(16, 1, 1, 2), bitmap(24, 1, 1, 3), bitmap(32, 1, 1, 3)};
const Bytes SOUNDS[] = {sample(8, 1, 1), sample(-8, 1, 2), sample(16, 1, 2), sample(-16, 1, 4), sample(8, 0, 0)};
std::vector<Object> smallest(int index = -1, const Object& replacement = {})
{
    std::vector<Object> objects;
    for (long type : LISTED_TYPES)
        objects.push_back({type, type == DAT_PALETTE ? Bytes(1024) : type == DAT_BITMAP ? PICTURES[objects.size() % 5]
                                 : type == DAT_FONT  ? Bytes(font(1).range(8, 1, 1)) : SOUNDS[objects.size() % 5]});
    if (index >= 0)
        objects[index] = replacement;
    return objects;
}

const std::string PATH = testing::TempDir() + "vollix-datafile-" + std::to_string(getpid()) + ".dat";
struct RemoveAtExit { ~RemoveAtExit() { std::remove(PATH.c_str()); } } removeAtExit;
Bytes readFile(const std::string& path) { std::ifstream in(path, std::ios::binary); return {std::istreambuf_iterator<char>(in), {}}; }

// The objects as a datafile written by the library, compressed whole or object by object when asked.
Bytes datafile(const std::vector<Object>& objects, const char* mode = F_WRITE_NOPACK, bool packObjects = false)
{
    PACKFILE* file = pack_fopen(PATH.c_str(), mode);
    for (long field : {long(DAT_MAGIC), long(objects.size())})
        pack_mputl(field, file);
    for (const Object& object : objects) {
        if (&object == &objects.back()) pack_fwrite(PROPERTIES.data(), long(PROPERTIES.size()), file); // properties of 0 and 1 bytes
        pack_mputl(object.type, file);
        PACKFILE* chunk = pack_fopen_chunk(file, packObjects);
        pack_fwrite(object.content.data(), static_cast<long>(object.content.size()), chunk);
        pack_fclose_chunk(chunk);
    }
    pack_fclose(file);
    return readFile(PATH);
}

// Checks the file, then loads it: 0 when refused, 1 when it loads with every
// object of its listed kind and 8-bit pictures for the screen, -1 otherwise.
int load(const Bytes& file)
{
    std::remove(PATH.c_str()); // a new file each time: one rewritten in place waits for the disk
    std::ofstream(PATH, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
    const bool fits = datafileFitsGame(PATH.c_str());
    DATAFILE* data = fits ? load_datafile(PATH.c_str()) : nullptr;
    int result = data ? 1 : fits ? -1 : 0;
    for (int i = 0; data && i < RES_COUNT; ++i)
        if (data[i].type != LISTED_TYPES[i] || (data[i].type == DAT_BITMAP && bitmap_color_depth((BITMAP*)data[i].dat) != 8))
            result = -1;
    unload_datafile(data); // the library takes null as nothing to free
    return result;
}

TEST(DatafileCheck, RefusesWhatWouldCrashOrBeMisusedAndAcceptsWhatTheGameCanUse)
{
    struct Case { const char* what; int index; long type; Bytes content; bool accepted, cutAccepted = false; }; // one byte short
    const Case cases[] = {
        {"a bitmap of a kind data.dat never holds", RES_SKY, DAT_RLE_SPRITE, B().n(8, 2).n(1, 2).n(1, 2).n(2, 4).n(1, 1).z(1), false},
        {"a palette", RES_PALETTE, DAT_PALETTE, Bytes(1024), true},
        {"a bitmap with alpha", RES_CURSOR, DAT_BITMAP, bitmap(-32, 1, 1, 4), false},
        {"a sky one line high, all mask colour, 4096 wide", RES_SKY, DAT_BITMAP, bitmap(8, 4096, 1, 4096), true},
        {"a 4097-pixel side", RES_TROOPER, DAT_BITMAP, bitmap(8, 1, 4097, 4097), false},
        {"a side of 0", RES_TROOPER, DAT_BITMAP, bitmap(8, 1, 0, 0), false},
        {"a 12-bit sample", RES_SND_SHOT, DAT_SAMPLE, sample(12, 1, 2), false},
        {"a sample of length -1", RES_SND_SHOT, DAT_SAMPLE, sample(8, -1, 0), false},
        {"an old fixed font", RES_FONT, DAT_FONT, B().n(1, 2).z(95), true},
        {"an old proportional font of no glyph", RES_FONT, DAT_FONT, B().n(-1, 2), true},
        {"94 glyphs of an old proportional font and a byte", RES_FONT, DAT_FONT, B().n(-32768, 2).times(94, GLYPH).z(1), false, true},
        {"95 glyphs of an old proportional font and a byte the loader leaves", RES_FONT, DAT_FONT, B().n(-1, 2).times(95, GLYPH).z(1), true, true},
        {"a monochrome font of two ranges", RES_FONT, DAT_FONT, font(2).range(1, 1, 1).range(255, 9, 2), true},
        {"a font without ranges", RES_FONT, DAT_FONT, font(0), false},
        {"a range ending before it starts", RES_FONT, DAT_FONT, font(1).n(8, 1).n(66, 4).n(65, 4), false},
        {"a colour range of depth 7", RES_FONT, DAT_FONT, font(1).range(7, 1, 1), false},
        {"monochrome and colour ranges", RES_FONT, DAT_FONT, font(2).range(8, 1, 1).range(1, 1, 1), false},
    };
    EXPECT_EQ(load(readFile(VOLLIX_DATA_FILE)), 1) << "the game's own data.dat";
    for (const Case& c : cases) {
        EXPECT_EQ(load(datafile(smallest(c.index, {c.type, c.content}))), c.accepted) << c.what;
        EXPECT_EQ(load(datafile(smallest(c.index, {c.type, resized(c.content, c.content.size() - 1)}))), c.cutAccepted) << c.what << ", cut";
    }
}

TEST(DatafileCheck, CutAndDamagedFilesNeverCrashTheLoading)
{
    EXPECT_EXIT({ // in a child process, which a crash ends
        bool ok = true;
        for (const Bytes& whole : {readFile(VOLLIX_DATA_FILE), datafile(smallest()), datafile(smallest(), F_WRITE_NOPACK, true),
                                   datafile(smallest(), F_WRITE_PACKED)})
            for (size_t at = 0; at < whole.size(); at += at < 64 || whole.size() < 10000 ? 1 : 997) // every byte of small files
                for (int bits : {0, 0x01, 0x80, 0xff}) // cut there, or damaged; the middle of the palette's zeros once
                    if (at < 32 || at + 32 > whole.size() || std::count(&whole[at - 32], &whole[at + 32], 0) < 64 || at % 64 == 0)
                        ok = (bits ? load(flipped(whole, at, bits)) >= 0 : load(resized(whole, at)) == 0) && ok;
        _exit(ok ? 0 : 1);
    }, testing::ExitedWithCode(0), "") << "a cut file was accepted, a damaged one passed the check but not the loader, or one crashed";
}

} // namespace
