// Feeds arbitrary bytes to the high-score file reader: a failed load changes
// nothing, names end within their 16 bytes, and whatever was loaded survives
// a save and a load.
#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>

#undef NDEBUG // the invariants are the point of the run
#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "scores/high_score_table.h"

static std::filesystem::path dir; // a private folder, removed at exit

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char name[] = "/tmp/vollix-fuzz-XXXXXX";
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0 || !mkdtemp(name))
        std::abort();
    dir = name;
    std::atexit([] { std::filesystem::remove_all(dir); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FILE* f = std::fopen((dir / "in").c_str(), "wb");
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    HighScoreTable t, back;
    t.fillDefault("Orlem Vasket", 800, 200);
    const auto before = t.encode();
    assert(t.load((dir / "in").c_str()) || t.encode() == before);
    for (int i = 0; i < HIGH_SCORE_ENTRIES; ++i)
        assert(strnlen(t.name(i), HIGH_SCORE_NAME_BYTES) < HIGH_SCORE_NAME_BYTES);
    assert(t.save((dir / "out").c_str()) && back.load((dir / "out").c_str()) && back.encode() == t.encode());
    return 0;
}
