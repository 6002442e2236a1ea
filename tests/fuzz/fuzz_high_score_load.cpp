// Feeds arbitrary bytes to the high-score file reader and checks what it leaves behind.
#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>

#include "scores/high_score_table.h"

#undef NDEBUG // the invariants below are the point of the run
#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {
std::string dir; // a private folder for the input and the saved table
} // namespace

// Starts the library without a window and makes the private folder, removed at exit.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char name[] = "/tmp/vollix-fuzz-XXXXXX";
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0 || mkdtemp(name) == nullptr)
        std::abort();
    dir = name;
    std::atexit([] { std::filesystem::remove_all(dir); });
    return 0;
}

// A failed load changes nothing, names end within their 16 bytes, and whatever
// was loaded survives a save and a load.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string in = dir + "/in.hst", out = dir + "/out.hst";
    FILE* f = std::fopen(in.c_str(), "wb");
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    HighScoreTable t, back;
    t.fillDefault("Orlem Vasket", 800, 200);
    const auto before = t.encode();
    const bool loaded = t.load(in.c_str());
    assert(loaded || t.encode() == before);
    for (int i = 0; i < HIGH_SCORE_ENTRIES; ++i)
        assert(strnlen(t.name(i), HIGH_SCORE_NAME_BYTES) < HIGH_SCORE_NAME_BYTES);
    const bool reloaded = t.save(out.c_str()) && back.load(out.c_str());
    assert(reloaded && back.encode() == t.encode());
    return 0;
}
