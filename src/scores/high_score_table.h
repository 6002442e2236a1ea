#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

constexpr int HIGH_SCORE_ENTRIES = 5;
constexpr int HIGH_SCORE_NAME_MAX = 15;
constexpr int HIGH_SCORE_NAME_BYTES = HIGH_SCORE_NAME_MAX + 1;
constexpr int HIGH_SCORE_ENTRY_BYTES = 20;
constexpr int HIGH_SCORE_FILE_BYTES = HIGH_SCORE_ENTRIES * HIGH_SCORE_ENTRY_BYTES;

// The characters a name may hold: those the name entry can type, 32 to 127.
// A table whose names hold others comes from a damaged or foreign file.
constexpr bool isNameCharacter(int c)
{
    return c >= 32 && c <= 127;
}

// The table a first game starts with, and the one that stands in for a
// missing or damaged file.
constexpr const char* DEFAULT_TABLE_NAME = "Orlem Vasket";
constexpr std::int32_t DEFAULT_TABLE_TOP = 800;
constexpr std::int32_t DEFAULT_TABLE_BOTTOM = 200;

// One place: a NUL-terminated name and an unsigned score.
struct HighScoreEntry {
    char name[HIGH_SCORE_NAME_BYTES];
    std::uint32_t score;
};
static_assert(sizeof(HighScoreEntry) == HIGH_SCORE_ENTRY_BYTES, "an entry is 20 bytes");

// The five best scores, kept in hiscores.hst as a packed 100-byte payload:
// per entry 16 name bytes then the score as 4 little-endian bytes. Other
// games may share the file: every save merges the names this run confirmed
// into the table on disk, so none is lost to another game's save.
class HighScoreTable {
public:
    HighScoreTable();
    ~HighScoreTable() = default;
    HighScoreTable(const HighScoreTable&) = delete;
    HighScoreTable& operator=(const HighScoreTable&) = delete;

    // Reads the table; false (table untouched) when the file is not a regular
    // file that can be read and holds a whole table of names that can be typed.
    bool load(const char* fileName);
    // The table on disk, or the default table in place of a missing or damaged
    // one, with the names this run confirmed and has not saved yet put back in.
    void refresh(const char* fileName);
    // Merges and writes: reads the table on disk, puts this run's unsaved names
    // into it (each only if it still earns a place there), writes the result
    // and holds it. True when the file now holds it; a failed save leaves the
    // file as it was and keeps the names for the next save.
    bool save(const char* fileName);
    // Fills all five places with one name and scores spread evenly from top to bottom.
    void fillDefault(const char* name, std::int32_t top, std::int32_t bottom);
    // True when the score is at least the lowest score in the table.
    bool qualifies(std::uint32_t score) const;
    // Replaces the first entry with the lowest score and re-sorts.
    void insert(const char* name, std::uint32_t score);
    // A name the player confirmed, for the next save to merge in.
    void confirm(const char* name, std::uint32_t score);
    // Stable insertion sort, highest score first.
    void sort();

    const char* name(int i) const { return (*entries)[i].name; }
    std::uint32_t score(int i) const { return (*entries)[i].score; }

    // The payload exactly as it goes to disk.
    std::array<unsigned char, HIGH_SCORE_FILE_BYTES> encode() const;
    // Takes a 100-byte payload; every name comes out NUL-terminated within 16 bytes.
    void decode(const unsigned char* payload);

private:
    // The file's table, without taking its lock; false (table untouched) as load.
    bool read(const char* fileName);
    // The file's table, or the default one, without taking its lock.
    void readOrDefault(const char* fileName);
    // Inserts each unsaved name, oldest first, that earns a place.
    void putBackUnsaved();

    std::unique_ptr<std::array<HighScoreEntry, HIGH_SCORE_ENTRIES>> entries;
    std::vector<HighScoreEntry> unsaved; // confirmed since the last save that reached the file
};
