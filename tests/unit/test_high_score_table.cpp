// The high-score table: placement rules, unsigned scores and its packed file.
#include "scores/high_score_table.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Payload = std::array<unsigned char, HIGH_SCORE_FILE_BYTES>;

// Sets the five scores directly, all under one name.
void setScores(HighScoreTable& t, const std::vector<std::uint32_t>& scores)
{
    Payload p{};
    for (int i = 0; i < HIGH_SCORE_ENTRIES; ++i) {
        std::memcpy(p.data() + i * HIGH_SCORE_ENTRY_BYTES, "old", 3);
        for (int b = 0; b < 4; ++b)
            p[i * HIGH_SCORE_ENTRY_BYTES + 16 + b] = static_cast<unsigned char>(scores[i] >> (8 * b));
    }
    t.decode(p.data());
}

std::vector<std::uint32_t> scoresOf(const HighScoreTable& t)
{
    std::vector<std::uint32_t> s;
    for (int i = 0; i < HIGH_SCORE_ENTRIES; ++i)
        s.push_back(t.score(i));
    return s;
}

// The table the game starts with when no file exists.
void fillGameDefaults(HighScoreTable& t)
{
    t.fillDefault("Orlem Vasket", 800, 200);
}

} // namespace

TEST(HighScoreRules, InsertTiesGoBelowOlderEqualScores)
{
    HighScoreTable t;
    fillGameDefaults(t);
    t.insert("New", 500);
    EXPECT_EQ(scoresOf(t), (std::vector<std::uint32_t>{800, 650, 500, 500, 350}));
    EXPECT_STREQ(t.name(2), "Orlem Vasket");
    EXPECT_STREQ(t.name(3), "New");
}

TEST(HighScoreRules, InsertTyingLowestTakesFirstLowestPlace)
{
    HighScoreTable t;
    setScores(t, {800, 500, 200, 200, 200});
    t.insert("New", 200);
    EXPECT_EQ(scoresOf(t), (std::vector<std::uint32_t>{800, 500, 200, 200, 200}));
    EXPECT_STREQ(t.name(2), "New");
    EXPECT_STREQ(t.name(3), "old");
    EXPECT_STREQ(t.name(4), "old");

    HighScoreTable all;
    setScores(all, {800, 800, 800, 800, 800});
    all.insert("Top", 900);
    EXPECT_STREQ(all.name(0), "Top");
    EXPECT_EQ(all.score(0), 900u);
    setScores(all, {800, 800, 800, 800, 800});
    all.insert("Tie", 800);
    EXPECT_STREQ(all.name(0), "Tie");
    EXPECT_STREQ(all.name(1), "old");
}

TEST(HighScoreRules, InsertIntoUnsortedTableReplacesFirstLowestThenSorts)
{
    HighScoreTable t;
    setScores(t, {100, 900, 50, 300, 50});
    t.insert("New", 60);
    EXPECT_EQ(scoresOf(t), (std::vector<std::uint32_t>{900, 300, 100, 60, 50}));
}

TEST(HighScoreRules, QualifiesAgainstDefaults)
{
    HighScoreTable t;
    fillGameDefaults(t);
    EXPECT_EQ(scoresOf(t), (std::vector<std::uint32_t>{800, 650, 500, 350, 200}));
    EXPECT_TRUE(t.qualifies(200));
    EXPECT_FALSE(t.qualifies(199));
    EXPECT_FALSE(t.qualifies(0));
}

TEST(HighScoreRules, ScoresCompareUnsigned)
{
    HighScoreTable t;
    fillGameDefaults(t);
    EXPECT_TRUE(t.qualifies(0x80000000u));
    t.insert("Half", 0x80000000u);
    t.insert("Max", 0xFFFFFFFFu);
    EXPECT_STREQ(t.name(0), "Max");
    EXPECT_STREQ(t.name(1), "Half");
    EXPECT_EQ(t.score(2), 800u);

    setScores(t, {0xFFFFFFFFu, 0x80000000u, 0x80000000u, 0x80000000u, 0x80000000u});
    EXPECT_FALSE(t.qualifies(0x7FFFFFFFu));
    EXPECT_TRUE(t.qualifies(0x80000000u));
}

TEST(HighScoreRules, FillDefaultSteps)
{
    HighScoreTable t;
    t.fillDefault("A", 801, 200);
    EXPECT_EQ(scoresOf(t), (std::vector<std::uint32_t>{801, 651, 501, 351, 201}));
    t.fillDefault("B", 100, 500);
    EXPECT_EQ(scoresOf(t), (std::vector<std::uint32_t>{100, 200, 300, 400, 500}));
    t.fillDefault("C", INT32_MIN, INT32_MAX); // must stay defined
    EXPECT_EQ(t.score(0), 0x80000000u);
}

TEST(HighScoreRules, NamesAreNulTerminatedWithin16Bytes)
{
    HighScoreTable t;
    fillGameDefaults(t);
    t.insert("ABCDEFGHIJKLMNO", 900);
    Payload p = t.encode();
    EXPECT_EQ(std::memcmp(p.data(), "ABCDEFGHIJKLMNO", 15), 0);
    EXPECT_EQ(p[15], 0);

    Payload raw{};
    std::memset(raw.data(), 'Z', 16);           // no NUL at all
    std::memcpy(raw.data() + 20, "ab\0junk!", 8); // junk after the NUL
    t.decode(raw.data());
    EXPECT_STREQ(t.name(0), std::string(15, 'Z').c_str());
    EXPECT_STREQ(t.name(1), "ab");
    Payload back = t.encode();
    for (int b = 2; b < 16; ++b)
        EXPECT_EQ(back[20 + b], 0) << b;
}

// Each file test works in its own fresh directory.
class HighScoreFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/vollix-hs-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        file = dir + "/hiscores.hst";
    }
    void TearDown() override
    {
        chmod(dir.c_str(), 0755);
        std::filesystem::remove_all(dir);
    }

    // The raw file as bytes; empty when it cannot be read.
    static std::string readRaw(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void writeRaw(const std::string& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    // Names of everything in the test directory, sorted.
    std::vector<std::string> listing() const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Expects a load of the current file to fail without touching the table.
    void expectRejected()
    {
        HighScoreTable t;
        fillGameDefaults(t);
        t.insert("Kept", 4242);
        Payload before = t.encode();
        EXPECT_FALSE(t.load(file.c_str()));
        EXPECT_EQ(t.encode(), before);
    }

    std::string dir;
    std::string file;
};

TEST_F(HighScoreFile, SaveReplacesFileWithPackedPayloadThatLoadsBack)
{
    HighScoreTable t;
    fillGameDefaults(t);
    t.save(file.c_str());
    t.insert("Player", 0xDEADBEEFu);
    t.save(file.c_str()); // replaces the first file, leaving no temporary behind
    EXPECT_EQ(listing(), std::vector<std::string>{"hiscores.hst"});

    std::string raw = readRaw(file);
    ASSERT_GE(raw.size(), 4u);
    EXPECT_EQ(raw.substr(0, 4), "slh!"); // the packed-file magic, big-endian

    PACKFILE* f = pack_fopen(file.c_str(), "rp");
    ASSERT_NE(f, nullptr);
    unsigned char payload[HIGH_SCORE_FILE_BYTES + 1];
    EXPECT_EQ(pack_fread(payload, sizeof payload, f), HIGH_SCORE_FILE_BYTES);
    pack_fclose(f);
    Payload expected = t.encode();
    EXPECT_EQ(std::memcmp(payload, expected.data(), HIGH_SCORE_FILE_BYTES), 0);
    EXPECT_EQ(payload[16], 0xEF); // little-endian score of place 1
    EXPECT_EQ(payload[19], 0xDE);

    HighScoreTable back;
    EXPECT_TRUE(back.load(file.c_str()));
    EXPECT_STREQ(back.name(0), "Player");
    EXPECT_EQ(back.encode(), expected);
}

TEST_F(HighScoreFile, FailedLoadsLeaveTableUntouched)
{
    expectRejected(); // missing
    writeRaw(file, "");
    expectRejected(); // empty
    std::string noise;
    for (int i = 0; i < 300; ++i)
        noise.push_back(static_cast<char>((i * 73 + 11) & 0xFF));
    writeRaw(file, noise);
    expectRejected(); // not a packed file

    PACKFILE* f = pack_fopen(file.c_str(), "wp");
    ASSERT_NE(f, nullptr);
    unsigned char half[50] = {'x'};
    pack_fwrite(half, sizeof half, f);
    pack_fclose(f);
    expectRejected(); // packed but short

    std::remove(file.c_str());
    ASSERT_EQ(mkdir(file.c_str(), 0755), 0);
    expectRejected(); // a directory of that name
}

TEST_F(HighScoreFile, SaveFailuresLeaveOldFileIntact)
{
    HighScoreTable t;
    fillGameDefaults(t);
    t.save(file.c_str());
    const std::string old = readRaw(file);
    t.insert("Newer", 5000);

    // Parent path is a regular file: nothing can be created.
    std::string blocked = file + "/hiscores.hst";
    t.save(blocked.c_str());
    EXPECT_EQ(readRaw(file), old);

    if (geteuid() != 0) { // root ignores directory permissions
        ASSERT_EQ(chmod(dir.c_str(), 0555), 0);
        t.save(file.c_str());
        chmod(dir.c_str(), 0755);
        EXPECT_EQ(readRaw(file), old);
    }

    // The name is taken by a non-empty directory: the rename must fail, cleanly.
    std::string taken = dir + "/taken";
    ASSERT_EQ(mkdir(taken.c_str(), 0755), 0);
    writeRaw(taken + "/inside", "keep");
    t.save(taken.c_str());
    EXPECT_EQ(readRaw(taken + "/inside"), "keep");
    EXPECT_EQ(listing(), (std::vector<std::string>{"hiscores.hst", "taken"}));
}
