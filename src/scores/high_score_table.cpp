#include "scores/high_score_table.h"

#include <cstring>

#include "scores/table_file.h"
#include "scores/table_lock.h"

namespace {

// Length of a name held in at most 16 bytes, cut to 15 characters when no NUL comes.
std::size_t boundedNameLength(const char* bytes)
{
    std::size_t len = 0;
    while (len < static_cast<std::size_t>(HIGH_SCORE_NAME_MAX) && bytes[len] != '\0')
        ++len;
    return len;
}

// Stores a name NUL-terminated with every byte after the NUL zeroed.
void storeName(char (&dest)[HIGH_SCORE_NAME_BYTES], const char* src)
{
    std::memset(dest, 0, sizeof dest);
    if (src != nullptr)
        std::memcpy(dest, src, boundedNameLength(src));
}

HighScoreEntry makeEntry(const char* name, std::uint32_t score)
{
    HighScoreEntry entry{};
    storeName(entry.name, name);
    entry.score = score;
    return entry;
}

} // namespace

// Acquires the five entries, zeroed.
HighScoreTable::HighScoreTable()
    : entries(std::make_unique<std::array<HighScoreEntry, HIGH_SCORE_ENTRIES>>())
{
}

// Takes the whole table from a packed file, or leaves it untouched when the
// file cannot be read or holds less than a whole table. The shared lock keeps
// out a save rewriting the file in place.
bool HighScoreTable::load(const char* fileName)
{
    const TableLock lock(fileName, TableLock::Kind::Shared);
    return read(fileName);
}

void HighScoreTable::refresh(const char* fileName)
{
    {
        const TableLock lock(fileName, TableLock::Kind::Shared);
        readOrDefault(fileName);
    }
    putBackUnsaved();
}

// Holds the exclusive lock from the read to the end of the write, so that no
// other game's save comes in between. The writer never leaves the file worse
// than it was.
bool HighScoreTable::save(const char* fileName)
{
    const TableLock lock(fileName, TableLock::Kind::Exclusive);
    readOrDefault(fileName);
    putBackUnsaved();
    if (!writeTableFile(fileName, encode()))
        return false;
    unsaved.clear();
    return true;
}

bool HighScoreTable::read(const char* fileName)
{
    TablePayload payload;
    if (!readTableFile(fileName, payload))
        return false;
    decode(payload.data());
    return true;
}

void HighScoreTable::readOrDefault(const char* fileName)
{
    if (!read(fileName))
        fillDefault(DEFAULT_TABLE_NAME, DEFAULT_TABLE_TOP, DEFAULT_TABLE_BOTTOM);
}

// The name entry's own rule decides: a name that another game's higher scores
// pushed out of the file stays out.
void HighScoreTable::putBackUnsaved()
{
    for (const HighScoreEntry& entry : unsaved)
        if (qualifies(entry.score))
            insert(entry.name, entry.score);
}

// Gives all places one name and scores from top down in equal steps.
void HighScoreTable::fillDefault(const char* name, std::int32_t top, std::int32_t bottom)
{
    // Wide arithmetic keeps extreme inputs defined; the quotient always fits 32 bits.
    const std::int64_t step = (static_cast<std::int64_t>(top) - bottom) / 4;
    std::int64_t value = top;
    for (HighScoreEntry& entry : *entries) {
        storeName(entry.name, name);
        entry.score = static_cast<std::uint32_t>(value);
        value -= step;
    }
}

// True as soon as one entry's score does not exceed the given one.
bool HighScoreTable::qualifies(std::uint32_t score) const
{
    for (const HighScoreEntry& entry : *entries) {
        if (entry.score <= score)
            return true;
    }
    return false;
}

// Overwrites the first entry holding the lowest score, then re-sorts.
void HighScoreTable::insert(const char* name, std::uint32_t score)
{
    std::array<HighScoreEntry, HIGH_SCORE_ENTRIES>& e = *entries;
    int target = 0;
    for (int i = 1; i < HIGH_SCORE_ENTRIES; ++i) {
        if (e[i].score < e[target].score)
            target = i;
    }
    e[target] = makeEntry(name, score);
    sort();
}

void HighScoreTable::confirm(const char* name, std::uint32_t score)
{
    unsaved.push_back(makeEntry(name, score));
}

// Insertion sort; an entry moves up only past strictly lower scores, so ties keep their order.
void HighScoreTable::sort()
{
    std::array<HighScoreEntry, HIGH_SCORE_ENTRIES>& e = *entries;
    for (int i = 1; i < HIGH_SCORE_ENTRIES; ++i) {
        const HighScoreEntry taken = e[i];
        int j = i;
        while (j > 0 && e[j - 1].score < taken.score) {
            e[j] = e[j - 1];
            --j;
        }
        e[j] = taken;
    }
}

// Lays the entries out as 16 name bytes (zero after the NUL) and a little-endian score.
std::array<unsigned char, HIGH_SCORE_FILE_BYTES> HighScoreTable::encode() const
{
    std::array<unsigned char, HIGH_SCORE_FILE_BYTES> payload{};
    for (int i = 0; i < HIGH_SCORE_ENTRIES; ++i) {
        const HighScoreEntry& entry = (*entries)[i];
        unsigned char* out = payload.data() + i * HIGH_SCORE_ENTRY_BYTES;
        std::memcpy(out, entry.name, boundedNameLength(entry.name));
        for (int b = 0; b < 4; ++b)
            out[HIGH_SCORE_NAME_BYTES + b] = static_cast<unsigned char>(entry.score >> (8 * b));
    }
    return payload;
}

// Reads 100 payload bytes, cutting any name that lacks a NUL to 15 characters.
void HighScoreTable::decode(const unsigned char* payload)
{
    for (int i = 0; i < HIGH_SCORE_ENTRIES; ++i) {
        HighScoreEntry& entry = (*entries)[i];
        const unsigned char* in = payload + i * HIGH_SCORE_ENTRY_BYTES;
        char raw[HIGH_SCORE_NAME_BYTES];
        std::memcpy(raw, in, sizeof raw);
        std::memset(entry.name, 0, sizeof entry.name);
        std::memcpy(entry.name, raw, boundedNameLength(raw));
        std::uint32_t score = 0;
        for (int b = 0; b < 4; ++b)
            score |= static_cast<std::uint32_t>(in[HIGH_SCORE_NAME_BYTES + b]) << (8 * b);
        entry.score = score;
    }
}
