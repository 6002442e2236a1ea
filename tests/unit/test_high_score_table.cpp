// The high-score table: placement rules, unsigned scores, its packed file, and
// saves that fail part way.
#include "scores/high_score_table.h"
#include "scores/table_file.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdarg>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
std::string failingCall; // the seam under test, if any
int failingErrno = 0;

// Runs a call through to the kernel, or fails it when it is the seam under test.
template <class Call> int seam(const char* name, Call call)
{
    return failingCall == name ? (errno = failingErrno, -1) : static_cast<int>(call());
}
} // namespace

// These stand in for the C library's calls in this program, the game's and the library's alike.
extern "C" int rename(const char* a, const char* b) noexcept
{ return seam("rename", [&] { return syscall(SYS_renameat, AT_FDCWD, a, AT_FDCWD, b); }); }
extern "C" int fsync(int fd) { return seam("fsync", [&] { return syscall(SYS_fsync, fd); }); }
extern "C" int flock(int fd, int op) noexcept { return seam("flock", [&] { return syscall(SYS_flock, fd, op); }); }
extern "C" int open(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = (flags & O_CREAT) ? va_arg(args, mode_t) : 0;
    va_end(args);
    return seam((flags & O_EXCL) ? "create" : "-", [&] { return syscall(SYS_openat, AT_FDCWD, path, flags, mode); });
}

namespace {

using Scores = std::vector<std::uint32_t>;
const Scores DEFAULTS = {800, 650, 500, 350, 200};
const Scores ALL_800(HIGH_SCORE_ENTRIES, 800);

// Sets the five scores directly, with empty names.
void setScores(HighScoreTable& t, const Scores& scores)
{
    unsigned char p[HIGH_SCORE_FILE_BYTES] = {};
    for (int i = 0; i < HIGH_SCORE_ENTRIES; ++i)
        std::memcpy(p + i * HIGH_SCORE_ENTRY_BYTES + HIGH_SCORE_NAME_BYTES, &scores[i], 4); // little-endian host
    t.decode(p);
}

Scores scoresOf(const HighScoreTable& t)
{
    Scores s;
    for (int i = 0; i < HIGH_SCORE_ENTRIES; ++i)
        s.push_back(t.score(i));
    return s;
}

} // namespace

TEST(HighScoreRules, InsertReplacesFirstLowestAndSortsStably)
{
    struct Case { Scores before; std::uint32_t score; Scores after; int newPlace; };
    const Case cases[] = {
        {DEFAULTS, 500, {800, 650, 500, 500, 350}, 3},                  // below the older equal score
        {{800, 500, 200, 200, 200}, 200, {800, 500, 200, 200, 200}, 2}, // takes the first lowest place
        {ALL_800, 900, {900, 800, 800, 800, 800}, 0},
        {ALL_800, 800, ALL_800, 0},
        {{100, 5, 50, 60, 70}, 200, {200, 100, 70, 60, 50}, 0},        // unsorted file order
        {DEFAULTS, 0x80000000u, {0x80000000u, 800, 650, 500, 350}, 0},  // unsigned
    };
    for (const Case& c : cases) {
        HighScoreTable t;
        setScores(t, c.before);
        t.insert("New", c.score);
        EXPECT_EQ(scoresOf(t), c.after) << c.score;
        EXPECT_STREQ(t.name(c.newPlace), "New") << c.score;
    }
}

TEST(HighScoreRules, DefaultsQualifyingAndNames)
{
    HighScoreTable t;
    t.fillDefault("Orlem Vasket", 800, 200);
    EXPECT_EQ(scoresOf(t), DEFAULTS);
    EXPECT_FALSE(t.load("no-such-folder/hiscores.hst"));
    EXPECT_EQ(scoresOf(t), DEFAULTS) << "a failed load leaves the table as it was";
    EXPECT_EQ((std::pair{t.qualifies(200), t.qualifies(199)}), (std::pair{true, false}));
    setScores(t, {0xFFFFFFFFu, 0x80000000u, 0x80000000u, 0x80000000u, 0x80000000u});
    EXPECT_EQ((std::pair{t.qualifies(0x7FFFFFFFu), t.qualifies(0x80000000u)}), (std::pair{false, true}));

    t.fillDefault("ABCDEFGHIJKLMNO", 0x04030201, 0); // a name that ends in its sixteenth byte, a little-endian score
    const auto packed = t.encode();
    EXPECT_EQ(std::vector(packed.begin() + 15, packed.begin() + 20), (std::vector<unsigned char>{0, 1, 2, 3, 4}));
    unsigned char raw[HIGH_SCORE_FILE_BYTES] = {};
    std::memset(raw, 'Z', 16);             // no NUL at all
    std::memcpy(raw + 21, "junk!", 5);     // junk after an empty name's NUL
    t.decode(raw);
    EXPECT_EQ(t.name(0), std::string(15, 'Z'));
    EXPECT_STREQ(t.name(1), "");
    for (int b = 1; b < 16; ++b)
        EXPECT_EQ(t.encode()[20 + b], 0) << b;
}

TEST(HighScoreFile, SavesArePackedAndAFailedOneLeavesTheOldFileAsItWas)
{
    const std::string dir = ::testing::TempDir() + "vollix-table-" + std::to_string(getpid()), file = dir + "/hiscores.hst";
    auto readRaw = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    std::filesystem::create_directories(dir);
    struct Seam { const char* call; int err; bool shortWrites; bool saved; bool newFile; };
    const Seam seams[] = {
        {"", 0, false, true, true},
        {"", 0, true, false, false}, // a full disk: the packer hides it, the read-back shows it
        {"fsync", EIO, false, false, false},
        {"rename", EIO, false, false, false},
        {"create", ENOSPC, false, false, false},
        {"create", EACCES, false, true, false}, // a folder that admits no new file: rewritten in place
        {"create", EACCES, true, false, false}, // ... and the old bytes put back when that fails
        {"flock", ENOLCK, false, true, true},   // a file system without locks: saved as before, without a wait
    };
    ASSERT_TRUE(HighScoreTable().save(file.c_str())); // the default table
    const std::string old = readRaw(file);
    rlimit limit {};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit cut {static_cast<rlim_t>(old.size()), limit.rlim_max}; // no file grows past the old one
    signal(SIGXFSZ, SIG_IGN);
    for (const Seam& s : seams) {
        SCOPED_TRACE(std::string(s.call) + (s.shortWrites ? " with short writes" : ""));
        std::ofstream(file, std::ios::binary) << old;
        chmod(file.c_str(), 0640);
        struct stat before {}, after {};
        stat(file.c_str(), &before);
        HighScoreTable t;
        for (const char* name : {"ABCDEFGHIJKLMNO", "PQRSTUVWXYZabcd", "efghijklmnopqrs"})
            t.confirm(name, 1000); // packs to more bytes than the old table
        setrlimit(RLIMIT_FSIZE, s.shortWrites ? &cut : &limit);
        failingCall = s.call;
        failingErrno = s.err;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(t.save(file.c_str()), s.saved);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        failingCall.clear();
        setrlimit(RLIMIT_FSIZE, &limit);
        stat(file.c_str(), &after);
        EXPECT_EQ(after.st_ino != before.st_ino, s.newFile);
        EXPECT_EQ(after.st_mode & 07777, 0640u);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
        HighScoreTable back;
        EXPECT_EQ(back.load(file.c_str()) && back.encode() == t.encode(), s.saved);
        EXPECT_EQ(readRaw(file) == old, !s.saved);
        EXPECT_TRUE(t.save(file.c_str()) && back.load(file.c_str()) && back.score(0) == 1000u) << "kept for the next save";
    }
    std::filesystem::remove_all(dir);
}

// A save puts this run's unsaved names into the table another game left on disk, each only if it still earns
// a place there by the name entry's rule, and holds the result; a name saved before is never put back, and a
// run with nothing new leaves the table as the other game left it.
TEST(HighScoreFile, ASaveMergesThisRunsNewNamesIntoTheTableOnDisk)
{
    const std::string file = ::testing::TempDir() + "vollix-merge-" + std::to_string(getpid());
    struct Case { Scores disk; std::uint32_t mine; Scores after; int minePlace; };
    const Case cases[] = {
        {{900, 800, 650, 500, 350}, 700, {900, 800, 700, 650, 500}, 2}, // the other game's names stay
        {{900, 700, 650, 500, 350}, 700, {900, 700, 700, 650, 500}, 2}, // a tie: below the other game's entry
        {Scores(HIGH_SCORE_ENTRIES, 5000), 700, Scores(HIGH_SCORE_ENTRIES, 5000), -1}, // no longer in the five
    };
    for (const Case& c : cases) {
        std::filesystem::remove(file);
        HighScoreTable mine, other, disk;
        mine.confirm("Old", 600);
        ASSERT_TRUE(mine.save(file.c_str()));
        mine.confirm("Mine", c.mine);
        setScores(other, c.disk); // another game's save pushed "Old" out
        writeTableFile(file.c_str(), other.encode());
        EXPECT_TRUE(mine.save(file.c_str()));
        ASSERT_TRUE(disk.load(file.c_str()));
        EXPECT_EQ(scoresOf(disk), c.after);
        EXPECT_EQ(disk.encode(), mine.encode());
        for (int i = 0; i < HIGH_SCORE_ENTRIES; ++i)
            EXPECT_EQ(std::string(disk.name(i)), i == c.minePlace ? "Mine" : "") << i;
        writeTableFile(file.c_str(), other.encode());
        EXPECT_TRUE(mine.save(file.c_str()) && disk.load(file.c_str()) && disk.encode() == other.encode());
        chmod(file.c_str(), 0444); // frozen: a name that cannot be saved is still this run's
        mine.confirm("Kept", 9999);
        EXPECT_FALSE(mine.save(file.c_str()));
        mine.refresh(file.c_str());
        EXPECT_STREQ(mine.name(0), "Kept");
    }
    std::filesystem::remove(file);
}

TEST(HighScoreFile, ANameNoOneCouldTypeMakesTheTableDamaged)
{
    const std::string file = ::testing::TempDir() + "vollix-names-" + std::to_string(getpid());
    struct Case { int at; unsigned char byte; bool loads; int size = HIGH_SCORE_FILE_BYTES; };
    const Case cases[] = {{0, 31, false}, {81, 32, true}, {81, 127, true}, {81, 128, false}, {94, 1, false},
                          {95, 1, true} /* past the fifteen characters read */, {3, 1, true} /* after the NUL */,
                          {100, 0, false, 101}, {0, 'A', false, 99} /* a byte too many or too few */};
    for (const Case& c : cases) {
        unsigned char raw[HIGH_SCORE_FILE_BYTES + 1] = {'A', 'b'};
        std::memset(raw + 80, 'A', 16); // the last name has no NUL
        raw[c.at] = c.byte;
        PACKFILE* f = pack_fopen(file.c_str(), "wp");
        pack_fwrite(raw, c.size, f);
        pack_fclose(f);
        EXPECT_EQ(HighScoreTable().load(file.c_str()), c.loads) << c.at << " " << int(c.byte);
    }
    std::filesystem::remove(file);
}
