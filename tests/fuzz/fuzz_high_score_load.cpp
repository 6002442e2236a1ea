// Feeds arbitrary bytes to the high-score file reader: a failed load changes
// nothing, names end within their 16 bytes, and a save over the file leaves
// the table it read back (the default one for a damaged file).
#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>
#include <unistd.h>

#undef NDEBUG // the invariants are the point of the run
#include <cassert>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

#include "scores/high_score_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string in = "/tmp/vollix-fuzz-" + std::to_string(getpid());
    static const bool started = install_allegro(SYSTEM_NONE, &errno, std::atexit) == 0
                                && !std::atexit([] { std::remove(in.c_str()); });
    assert(started);
    std::ofstream(in, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    HighScoreTable t, back;
    t.fillDefault("Orlem Vasket", 800, 200);
    const auto before = t.encode();
    assert(t.load(in.c_str()) || t.encode() == before);
    for (int i = 0; i < HIGH_SCORE_ENTRIES; ++i)
        assert(strnlen(t.name(i), HIGH_SCORE_NAME_BYTES) < HIGH_SCORE_NAME_BYTES);
    const auto read = t.encode();
    assert(t.save(in.c_str()) && t.encode() == read && back.load(in.c_str()) && back.encode() == read);
    return 0;
}
