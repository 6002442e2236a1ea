// Feeds arbitrary bytes to the high-score file reader and checks what it leaves behind.
#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>

#include "scores/high_score_table.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

namespace {

std::string workDir;

// Stops the run with a message naming the broken invariant.
void require(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Every name ends within its 16 bytes and carries only zeros after the NUL.
void checkNames(const HighScoreTable& t)
{
    const std::array<unsigned char, HIGH_SCORE_FILE_BYTES> p = t.encode();
    for (int i = 0; i < HIGH_SCORE_ENTRIES; ++i) {
        require(strnlen(t.name(i), HIGH_SCORE_NAME_BYTES) < HIGH_SCORE_NAME_BYTES, "name NUL-terminated");
        std::size_t len = std::strlen(t.name(i));
        for (std::size_t b = len; b < HIGH_SCORE_NAME_BYTES; ++b)
            require(p[i * HIGH_SCORE_ENTRY_BYTES + b] == 0, "zeros after the NUL");
    }
}

// Removes the working directory when the fuzzer exits.
void removeWorkDir()
{
    std::remove((workDir + "/in.hst").c_str());
    std::remove((workDir + "/out.hst").c_str());
    rmdir(workDir.c_str());
}

} // namespace

// Starts the library without a window and makes a private working directory.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0)
        std::abort();
    char tmpl[] = "/tmp/vollix-fuzz-XXXXXX";
    if (mkdtemp(tmpl) == nullptr)
        std::abort();
    workDir = tmpl;
    std::atexit(removeWorkDir);
    return 0;
}

// Writes the input as the file, loads it, and checks the table and a save/load round trip.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string in = workDir + "/in.hst";
    const std::string out = workDir + "/out.hst";
    FILE* f = std::fopen(in.c_str(), "wb");
    require(f != nullptr, "input file created");
    if (size > 0)
        std::fwrite(data, 1, size, f);
    std::fclose(f);

    HighScoreTable t;
    t.fillDefault("Orlem Vasket", 800, 200);
    if (size >= 4) // vary the table held before the load
        t.insert("Before", static_cast<std::uint32_t>(data[0]) | (data[size - 1] << 8));
    const std::array<unsigned char, HIGH_SCORE_FILE_BYTES> before = t.encode();

    const bool loaded = t.load(in.c_str());
    checkNames(t);
    if (!loaded)
        require(t.encode() == before, "failed load leaves the table untouched");

    t.save(out.c_str());
    HighScoreTable back;
    require(back.load(out.c_str()), "saved table loads");
    require(back.encode() == t.encode(), "save and load round-trip");
    checkNames(back);

    std::remove(in.c_str());
    std::remove(out.c_str());
    return 0;
}
