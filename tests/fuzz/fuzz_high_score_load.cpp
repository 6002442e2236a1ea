// Feeds arbitrary bytes to the high-score file reader and checks what it leaves behind.
#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>

#include "scores/high_score_table.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {
std::string dir; // a private folder for the input and the saved table

// Stops the run, naming the broken invariant.
void require(bool ok, const char* what)
{
    if (!ok && std::fprintf(stderr, "invariant broken: %s\n", what) >= 0)
        std::abort();
}
} // namespace

// Starts the library without a window and makes the private folder, removed at exit.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char name[] = "/tmp/vollix-fuzz-XXXXXX";
    require(install_allegro(SYSTEM_NONE, &errno, std::atexit) == 0 && mkdtemp(name), "set-up");
    dir = name;
    std::atexit([] { std::filesystem::remove_all(dir); });
    return 0;
}

// A failed load changes nothing, names end within their 16 bytes, and whatever
// was loaded survives a save and a load.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FILE* f = std::fopen((dir + "/in.hst").c_str(), "wb");
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    HighScoreTable t, back;
    t.fillDefault("Orlem Vasket", 800, 200);
    const auto before = t.encode();
    require(t.load((dir + "/in.hst").c_str()) || t.encode() == before, "a failed load leaves the table untouched");
    for (int i = 0; i < HIGH_SCORE_ENTRIES; ++i)
        require(strnlen(t.name(i), HIGH_SCORE_NAME_BYTES) < HIGH_SCORE_NAME_BYTES, "names NUL-terminated");
    const std::string out = dir + "/out.hst";
    require(t.save(out.c_str()) && back.load(out.c_str()) && back.encode() == t.encode(), "save and load round-trip");
    return 0;
}
