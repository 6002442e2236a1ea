// data.dat as the build makes it, and the check that stands between a file and
// the library's loader: what it refuses and accepts, and that no cut or
// damaged file crashes the loading.
#include <allegro.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <fstream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "res/resources.h"

namespace {

using Bytes = std::vector<unsigned char>;
struct Object { long type; Bytes content; };
struct Listed { long type; std::string name; };
enum Packing { NONE, PER_OBJECT, WHOLE };
const Listed LISTED[] = { // dat names each object after its file: sky.bmp gives SKY_BMP
#define RESOURCE(index, name, kind, file) {DAT_##kind, #file},
#include "res/resource_list.h"
#undef RESOURCE
};

// Big-endian fields and zero bytes, appended in order.
struct B {
    Bytes bytes;
    B& n(long value, int size) { while (size--) bytes.push_back(static_cast<unsigned char>(value >> 8 * size)); return *this; }
    B& z(long count) { bytes.resize(bytes.size() + count); return *this; }
    // A font range of one glyph, 1 high, of the given depth byte.
    B& range(int depth, int w, long glyphBytes) { return n(depth, 1).n(65, 4).n(65, 4).n(w, 2).n(1, 2).z(glyphBytes); }
    operator Bytes() const { return bytes; }
};
Bytes bitmap(int depth, int w, int h, long pixelBytes) { return B().n(depth, 2).n(w, 2).n(h, 2).z(pixelBytes); }
Bytes sample(int bits, long length, long dataBytes) { return B().n(bits, 2).n(22050, 2).n(length, 4).z(dataBytes); }
B font(int ranges) { return B().n(0, 2).n(ranges, 2); } // the current format

// The smallest objects of the listed kinds.
std::vector<Object> smallest()
{
    std::vector<Object> objects;
    for (const Listed& listed : LISTED)
        objects.push_back({listed.type, listed.type == DAT_PALETTE ? Bytes(1024) : listed.type == DAT_BITMAP ? bitmap(8, 1, 1, 1)
                                        : listed.type == DAT_FONT  ? Bytes(font(1).range(8, 1, 1)) : sample(8, 0, 0)});
    return objects;
}

const std::string PATH = testing::TempDir() + "vollix-datafile-" + std::to_string(getpid()) + ".dat";
struct RemoveAtExit { ~RemoveAtExit() { std::remove(PATH.c_str()); } } removeAtExit;
Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
void writeFile(const Bytes& bytes)
{
    std::remove(PATH.c_str()); // a new file each time: rewriting one in place waits for the disk
    std::ofstream(PATH, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// The objects written as a datafile by the library, each after a name property when asked.
Bytes datafile(const std::vector<Object>& objects, Packing packing = NONE, long nameBytes = 0)
{
    PACKFILE* file = pack_fopen(PATH.c_str(), packing == WHOLE ? F_WRITE_PACKED : F_WRITE_NOPACK);
    for (long field : {long(DAT_MAGIC), long(objects.size())})
        pack_mputl(field, file);
    for (const Object& object : objects) {
        for (long field : {long(DAT_PROPERTY), long(DAT_NAME), nameBytes})
            if (nameBytes > 0)
                pack_mputl(field, file);
        pack_fwrite(std::string(nameBytes, 'N').data(), nameBytes, file);
        pack_mputl(object.type, file);
        PACKFILE* chunk = pack_fopen_chunk(file, packing == PER_OBJECT);
        pack_fwrite(object.content.data(), static_cast<long>(object.content.size()), chunk);
        pack_fclose_chunk(chunk);
    }
    pack_fclose(file);
    return readFile(PATH);
}
// The smallest objects as a datafile, one of them replaced.
Bytes with(int index, long type, const Bytes& content)
{
    std::vector<Object> objects = smallest();
    objects[index] = {type, content};
    return datafile(objects);
}

// Loads the file as the game does; false when it loads with an object of
// another kind than listed, or a picture not at the screen's 8 bits.
bool refusedOrSound(const Bytes& file, bool* refused = nullptr)
{
    writeFile(file);
    DATAFILE* data = loadResources(PATH.c_str());
    bool sound = true;
    for (int i = 0; data && i <= RES_COUNT; ++i)
        sound = sound && data[i].type == (i < RES_COUNT ? LISTED[i].type : DAT_END) &&
                (data[i].type != DAT_BITMAP || bitmap_color_depth(static_cast<BITMAP*>(data[i].dat)) == 8);
    if (refused)
        *refused = !data;
    if (data)
        unload_datafile(data);
    return sound;
}

TEST(BuiltDatafile, HoldsTheListedObjectsWhereTheDrawingExpectsThem)
{
    ASSERT_TRUE(refusedOrSound(readFile(VOLLIX_DATA_FILE)));
    DATAFILE* data = loadResources(VOLLIX_DATA_FILE);
    ASSERT_NE(data, nullptr) << VOLLIX_DATA_FILE << " is refused";
    for (int i = 0; i < RES_COUNT; ++i) {
        std::string name;
        for (char c : LISTED[i].name)
            name += c == '.' ? '_' : static_cast<char>(std::toupper(c));
        EXPECT_EQ(get_datafile_property(&data[i], DAT_NAME), name) << "object " << i;
    }
    BITMAP* barrel = static_cast<BITMAP*>(data[RES_BARREL].dat);
    EXPECT_TRUE(barrel->w > 2 && barrel->h > 30 && getpixel(barrel, 2, 30) != 0) << "the barrel turns about (2, 30)";
    BITMAP* banner = static_cast<BITMAP*>(data[RES_GAME_OVER].dat);
    EXPECT_TRUE(banner->w == 352 && banner->h == 55) << "the banner's offsets centre a 352x55 picture";
    RGB* palette = static_cast<RGB*>(data[RES_PALETTE].dat);
    select_palette(palette);
    for (auto [r, g, b] : {std::array{255, 255, 255}, std::array{255, 255, 0}, std::array{204, 104, 0}}) {
        const int i = makecol(r, g, b);
        EXPECT_TRUE(i > 0 && palette[i].r == r >> 2 && palette[i].g == g >> 2 && palette[i].b == b >> 2) << r << " " << g;
    }
    unselect_palette();
    FONT* text = static_cast<FONT*>(data[RES_FONT].dat);
    for (int c = 32; c <= 127; ++c)
        EXPECT_GT(text_length(text, std::string(1, static_cast<char>(c)).c_str()), 0) << "character " << c;
    EXPECT_LT(text_height(text), 25) << "menu rows are 25 pixels apart";
    EXPECT_LE(text_length(text, "Congratulations! You have made a highscore!"), 620);
    unload_datafile(data);
}


TEST(DatafileCheck, RefusesWhatWouldCrashOrBeMisusedAndAcceptsWhatTheGameCanUse)
{
    std::vector<Object> fewer = smallest(), more = smallest();
    fewer.pop_back();
    more.push_back(more.back());
    Bytes unmarked = datafile(smallest()), big = unmarked;
    unmarked[4] ^= 1;
    big.resize(65 << 20);
    struct Case { const char* what; Bytes file; bool accepted; };
    const Case cases[] = {
        {"the smallest objects of the listed kinds", datafile(smallest()), true},
        {"names of 64 KiB", datafile(smallest(), NONE, 1 << 16), true},
        {"a name past 64 KiB", datafile(smallest(), NONE, (1 << 16) + 1), false},
        {"one object fewer", datafile(fewer), false},
        {"one object more", datafile(more), false},
        {"no datafile mark", unmarked, false},
        {"a file past 64 MiB", big, false},
        {"a sample for a bitmap", with(RES_TROOPER, DAT_SAMPLE, sample(8, 0, 0)), false},
        {"a kind data.dat never holds", with(RES_SKY, DAT_RLE_SPRITE, B().n(8, 2).n(1, 2).n(1, 2).n(2, 4).n(1, 1).z(1)), false},
        {"a palette of 255 entries", with(RES_PALETTE, DAT_PALETTE, Bytes(1023)), false},
        {"a short sky, all mask colour", with(RES_SKY, DAT_BITMAP, bitmap(8, 1, 100, 100)), true},
        {"a true-colour bitmap", with(RES_CURSOR, DAT_BITMAP, bitmap(24, 2, 2, 12)), true},
        {"a true-colour bitmap one byte short", with(RES_CURSOR, DAT_BITMAP, bitmap(24, 2, 2, 11)), false},
        {"a 16-bit bitmap one byte short", with(RES_CURSOR, DAT_BITMAP, bitmap(16, 2, 2, 7)), false},
        {"a bitmap with alpha", with(RES_CURSOR, DAT_BITMAP, bitmap(-32, 1, 1, 4)), false},
        {"a 4096-pixel side", with(RES_TROOPER, DAT_BITMAP, bitmap(8, 4096, 1, 4096)), true},
        {"a 4097-pixel width", with(RES_TROOPER, DAT_BITMAP, bitmap(8, 4097, 1, 4097)), false},
        {"a 4097-pixel height", with(RES_TROOPER, DAT_BITMAP, bitmap(8, 1, 4097, 4097)), false},
        {"a width of 0", with(RES_TROOPER, DAT_BITMAP, bitmap(8, 0, 1, 0)), false},
        {"a height of 0", with(RES_TROOPER, DAT_BITMAP, bitmap(8, 1, 0, 0)), false},
        {"a stereo 16-bit sample", with(RES_SND_SHOT, DAT_SAMPLE, sample(-16, 2, 8)), true},
        {"a stereo 16-bit sample one byte short", with(RES_SND_SHOT, DAT_SAMPLE, sample(-16, 2, 7)), false},
        {"a 12-bit sample", with(RES_SND_SHOT, DAT_SAMPLE, sample(12, 1, 2)), false},
        {"a sample of negative length", with(RES_SND_SHOT, DAT_SAMPLE, sample(8, -1, 4)), false},
        {"an old fixed font", with(RES_FONT, DAT_FONT, B().n(8, 2).z(95 * 8)), true},
        {"an old fixed font one byte short", with(RES_FONT, DAT_FONT, B().n(8, 2).z(95 * 8 - 1)), false},
        {"an old proportional font of one glyph", with(RES_FONT, DAT_FONT, bitmap(-1, 2, 1, 2)), true},
        {"an old proportional glyph one byte short", with(RES_FONT, DAT_FONT, bitmap(-1, 2, 1, 1)), false},
        {"a monochrome font", with(RES_FONT, DAT_FONT, font(1).range(1, 9, 2)), true},
        {"a monochrome glyph one byte short", with(RES_FONT, DAT_FONT, font(1).range(255, 9, 1)), false},
        {"a font without ranges", with(RES_FONT, DAT_FONT, font(0)), false},
        {"a range ending before it starts", with(RES_FONT, DAT_FONT, font(1).n(8, 1).n(66, 4).n(65, 4)), false},
        {"a colour range of depth 7", with(RES_FONT, DAT_FONT, font(1).range(7, 1, 1)), false},
        {"monochrome and colour ranges", with(RES_FONT, DAT_FONT, font(2).range(8, 1, 1).range(1, 1, 1)), false},
    };
    for (const Case& c : cases) {
        bool refused = false;
        EXPECT_TRUE(refusedOrSound(c.file, &refused)) << c.what;
        EXPECT_EQ(!refused, c.accepted) << c.what;
    }
}

TEST(DatafileCheck, CutAndDamagedFilesNeverCrashTheLoading)
{
    for (const Bytes& whole : {readFile(VOLLIX_DATA_FILE), datafile(smallest()), datafile(smallest(), PER_OBJECT),
                               datafile(smallest(), WHOLE)}) {
        const pid_t child = fork();
        if (child == 0) { // a crash ends the child, not the test program
            bool ok = true, refused = false;
            for (size_t at = 0; at < whole.size(); at += whole.size() > 10000 ? 997 : 1) { // every byte of the small files
                ok = refusedOrSound(Bytes(whole.begin(), whole.begin() + at), &refused) && refused && ok;
                for (int flip : {0x01, 0x80, 0xff}) {
                    Bytes damaged = whole;
                    damaged[at] ^= flip;
                    ok = refusedOrSound(damaged) && ok;
                }
            }
            _exit(ok ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a cut or damaged " << whole.size() << "-byte file";
    }
}

} // namespace
