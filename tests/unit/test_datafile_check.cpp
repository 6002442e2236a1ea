// The datafile checks: the game's file passes; cut, damaged and foreign files
// are refused without crashing; well-formed files that are not the game's
// are refused by loadResources.
#include <allegro.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "app/startup.h"
#include "res/datafile_check.h"
#include "res/resources.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Object {
    long type;
    Bytes content;
};

enum class Packing { None, PerObject, Whole };

// Appends big-endian fields to a byte string.
struct Builder {
    Bytes bytes;
    Builder& n(long value, int size)
    {
        for (int i = size - 1; i >= 0; --i)
            bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
        return *this;
    }
    Builder& zeros(long count) { bytes.resize(bytes.size() + count); return *this; }
};

// An 8-bit (or other depth) picture of zero pixels.
Bytes picture(int bits, int width, int height)
{
    const int pixelBytes = bits == 8 ? 1 : bits <= 16 ? 2 : 3;
    return Builder().n(bits, 2).n(width, 2).n(height, 2).zeros(long(width) * height * pixelBytes).bytes;
}

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

long field32(const Bytes& bytes, size_t at)
{
    return static_cast<int>(bytes[at] << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3]);
}

// Splits the uncompressed datafile the build makes into its objects, without properties.
std::vector<Object> splitObjects(const Bytes& file)
{
    std::vector<Object> objects;
    size_t at = 12;
    for (long i = 0; i < field32(file, 8); ++i) {
        while (field32(file, at) == DAT_PROPERTY)
            at += 12 + field32(file, at + 8);
        const long size = field32(file, at + 4);
        objects.push_back({field32(file, at), Bytes(file.begin() + at + 12, file.begin() + at + 12 + size)});
        at += 12 + size;
    }
    return objects;
}

// Writes objects as a datafile through the library, compressed as asked.
void writeDatafile(const std::string& path, const std::vector<Object>& objects, Packing packing)
{
    PACKFILE* file = pack_fopen(path.c_str(), packing == Packing::Whole ? F_WRITE_PACKED : F_WRITE_NOPACK);
    pack_mputl(DAT_MAGIC, file);
    pack_mputl(static_cast<long>(objects.size()), file);
    for (const Object& object : objects) {
        pack_mputl(object.type, file);
        PACKFILE* chunk = pack_fopen_chunk(file, packing == Packing::PerObject);
        pack_fwrite(object.content.data(), static_cast<long>(object.content.size()), chunk);
        pack_fclose_chunk(chunk);
    }
    pack_fclose(file);
}

// Runs a check in a child process, so that a crash fails the test instead of
// ending the test program; true when the child exited normally with success.
bool passesInChild(const std::function<bool()>& check)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(check() ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Loads and releases a file; false when loadResources accepts an unusable one.
bool loadsSafely(const std::string& path)
{
    DATAFILE* resources = loadResources(path.c_str());
    const bool usable = !resources || datafileUsable(resources);
    if (resources)
        unload_datafile(resources);
    return usable;
}

class DatafileCheck : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vollix-datafile-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        const Bytes real = readFile(VOLLIX_DATA_FILE);
        ASSERT_GT(real.size(), 12u) << VOLLIX_DATA_FILE;
        ASSERT_EQ(field32(real, 0), F_NOPACK_MAGIC) << "the build makes an uncompressed datafile";
        objects_ = splitObjects(real);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    // Writes a one-object datafile and checks it.
    bool objectWellFormed(long type, const Bytes& content)
    {
        writeDatafile(path("one.dat"), {{type, content}}, Packing::None);
        return datafileWellFormed(path("one.dat").c_str());
    }

    std::string dir_;
    std::vector<Object> objects_;
};

TEST_F(DatafileCheck, RealFilePassesBothChecks)
{
    EXPECT_TRUE(datafileWellFormed(VOLLIX_DATA_FILE));
    DATAFILE* resources = loadResources(VOLLIX_DATA_FILE);
    ASSERT_NE(resources, nullptr);
    unload_datafile(resources);
}

TEST_F(DatafileCheck, CutFilesAreRefusedWithoutCrashing)
{
    for (Packing packing : {Packing::None, Packing::PerObject, Packing::Whole}) {
        writeDatafile(path("whole.dat"), objects_, packing);
        const Bytes whole = readFile(path("whole.dat"));
        auto everyCutRefused = [&] {
            bool ok = datafileWellFormed(path("whole.dat").c_str()) && loadResources(path("whole.dat").c_str());
            std::vector<size_t> cuts = {whole.size() / 2, whole.size() * 2 / 3, whole.size() * 3 / 4, whole.size() * 9 / 10};
            for (size_t cut = 0; cut < whole.size(); cut += 997)
                cuts.push_back(cut);
            for (size_t cut : cuts) {
                writeFile(path("cut.dat"), Bytes(whole.begin(), whole.begin() + cut));
                if (datafileWellFormed(path("cut.dat").c_str()) || loadResources(path("cut.dat").c_str())) {
                    std::fprintf(stderr, "cut at %zu of %zu accepted\n", cut, whole.size());
                    ok = false;
                }
            }
            return ok;
        };
        EXPECT_TRUE(passesInChild(everyCutRefused)) << "packing " << static_cast<int>(packing);
    }
}

TEST_F(DatafileCheck, DamagedBytesNeverCrashTheLoader)
{
    // Every byte of each object's type, size and content header, then
    // random bytes anywhere, in each packing.
    writeDatafile(path("plain.dat"), objects_, Packing::None);
    const Bytes plain = readFile(path("plain.dat"));
    auto headersSurvive = [&] {
        bool ok = true;
        for (size_t start = 12, i = 0; i < objects_.size(); start += 12 + objects_[i++].content.size())
            for (size_t at = start; at < start + 24; ++at)
                for (unsigned char flip : {0x01, 0x80, 0xff}) {
                    Bytes damaged = plain;
                    damaged[at] ^= flip;
                    writeFile(path("damaged.dat"), damaged);
                    ok = loadsSafely(path("damaged.dat")) && ok;
                }
        return ok;
    };
    EXPECT_TRUE(passesInChild(headersSurvive));
    for (Packing packing : {Packing::None, Packing::PerObject, Packing::Whole}) {
        writeDatafile(path("whole.dat"), objects_, packing);
        const Bytes whole = readFile(path("whole.dat"));
        auto randomDamageSurvives = [&] {
            bool ok = true;
            for (unsigned seed = 1; seed <= 150; ++seed) {
                std::mt19937 random(seed);
                Bytes damaged = whole;
                for (int flips = 1 + seed % 3; flips > 0; --flips)
                    damaged[random() % damaged.size()] ^= 1 + random() % 255;
                writeFile(path("damaged.dat"), damaged);
                ok = loadsSafely(path("damaged.dat")) && ok;
            }
            return ok;
        };
        EXPECT_TRUE(passesInChild(randomDamageSurvives)) << "packing " << static_cast<int>(packing);
    }
}

TEST_F(DatafileCheck, WellFormedFilesThatAreNotTheGamesAreRefused)
{
    // Every file here is well formed, so a refusal comes from the usability check.
    auto accepted = [&](const std::vector<Object>& objects) {
        writeDatafile(path("other.dat"), objects, Packing::PerObject);
        EXPECT_TRUE(datafileWellFormed(path("other.dat").c_str()));
        DATAFILE* resources = loadResources(path("other.dat").c_str());
        if (resources)
            unload_datafile(resources);
        return resources != nullptr;
    };
    std::vector<Object> fewer(objects_.begin(), objects_.end() - 1);
    std::vector<Object> more = objects_;
    more.push_back(objects_[RES_SKY]);
    std::vector<Object> swapped = objects_;
    std::swap(swapped[RES_TROOPER], swapped[RES_SND_BODY_HIT]);
    std::vector<Object> lowSky = objects_, shortBarrel = objects_;
    lowSky[RES_SKY].content = picture(8, 640, 479);
    shortBarrel[RES_BARREL].content = picture(8, 3, 30);
    for (const auto& objects : {fewer, more, swapped, lowSky, shortBarrel})
        EXPECT_FALSE(accepted(objects));

    std::vector<Object> smallest = objects_;
    smallest[RES_SKY].content = picture(8, 1, 480);
    smallest[RES_BARREL].content = picture(8, 3, 31);
    smallest[RES_CURSOR].content = picture(8, 1, 1);
    EXPECT_TRUE(accepted(smallest));
}

TEST_F(DatafileCheck, ObjectContentMustMatchItsType)
{
    const Bytes font = Builder().n(0, 2).n(1, 2).n(1, 1).n(32, 4).n(33, 4).n(8, 2).n(2, 2).zeros(2).n(9, 2).n(1, 2).zeros(2).bytes;
    const Bytes rle = Builder().n(8, 2).n(4, 2).n(2, 2).n(6, 4).n(-1, 1).n(2, 1).zeros(3).n(0, 1).bytes;
    const Bytes bitmap = picture(8, 2, 2);
    const Bytes nested = Builder().n(1, 4).n(DAT_BITMAP, 4).n(long(bitmap.size()), 4).n(long(bitmap.size()), 4).bytes;
    Bytes nestedFull = nested;
    nestedFull.insert(nestedFull.end(), bitmap.begin(), bitmap.end());
    Bytes nestedBad = nested;
    nestedBad.insert(nestedBad.end(), bitmap.begin(), bitmap.end() - 1);

    EXPECT_TRUE(objectWellFormed(DAT_FONT, font));
    EXPECT_TRUE(objectWellFormed(DAT_RLE_SPRITE, rle));
    EXPECT_TRUE(objectWellFormed(DAT_FILE, nestedFull));
    EXPECT_TRUE(objectWellFormed(DAT_ID('X', 'Y', 'Z', 'W'), Bytes(5, 0xff)));
    EXPECT_TRUE(objectWellFormed(DAT_SAMPLE, Builder().n(-16, 2).n(8000, 2).n(3, 4).zeros(12).bytes));

    EXPECT_FALSE(objectWellFormed(DAT_FILE, nestedBad));
    EXPECT_FALSE(objectWellFormed(DAT_FONT, Bytes(font.begin(), font.end() - 1)));
    EXPECT_FALSE(objectWellFormed(DAT_FONT, Builder().n(8, 2).zeros(95 * 8).bytes));
    EXPECT_FALSE(objectWellFormed(DAT_FONT, Builder().n(0, 2).n(1, 2).n(0, 1).n(33, 4).n(32, 4).bytes));
    EXPECT_FALSE(objectWellFormed(DAT_RLE_SPRITE, Builder().n(8, 2).n(2, 2).n(1, 2).n(4, 4).n(3, 1).zeros(3).bytes));
    EXPECT_FALSE(objectWellFormed(DAT_SAMPLE, Builder().n(-16, 2).n(8000, 2).n(3, 4).zeros(11).bytes));
    EXPECT_FALSE(objectWellFormed(DAT_SAMPLE, Builder().n(12, 2).n(8000, 2).n(1, 4).zeros(2).bytes));
    EXPECT_FALSE(objectWellFormed(DAT_BITMAP, Bytes(bitmap.begin(), bitmap.end() - 1)));
    EXPECT_FALSE(objectWellFormed(DAT_BITMAP, picture(8, 0, 2)));
    EXPECT_FALSE(objectWellFormed(DAT_BITMAP, Builder().n(7, 2).n(1, 2).n(1, 2).zeros(4).bytes));
    EXPECT_FALSE(objectWellFormed(DAT_PALETTE, Bytes(1023, 0)));
    EXPECT_FALSE(objectWellFormed(DAT_MIDI, Builder().n(96, 2).n(5, 4).zeros(4).bytes));
}

TEST_F(DatafileCheck, ForeignFilesAreRefused)
{
    const unsigned char png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    std::mt19937 random(7);
    Bytes noise(4096);
    for (unsigned char& byte : noise)
        byte = static_cast<unsigned char>(random());
    writeFile(path("png.dat"), Bytes(std::begin(png), std::end(png)));
    writeFile(path("noise.dat"), noise);
    writeFile(path("empty.dat"), {});
    writeFile(path("huge-count.dat"), Builder().n(F_NOPACK_MAGIC, 4).n(DAT_MAGIC, 4).n(0x7fffffff, 4).bytes);
    writeFile(path("no-objects.dat"), Builder().n(F_NOPACK_MAGIC, 4).n(DAT_MAGIC, 4).n(0, 4).bytes);
    PACKFILE* text = pack_fopen(path("text.dat").c_str(), F_WRITE_PACKED);
    pack_fputs("high scores, not pictures\n", text);
    pack_fclose(text);

    for (const char* name : {"png.dat", "noise.dat", "empty.dat", "huge-count.dat", "no-objects.dat", "text.dat", "missing.dat"})
        EXPECT_TRUE(passesInChild([&] { return !loadResources(path(name).c_str()); })) << name;
}

} // namespace
