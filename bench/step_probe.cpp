// LD_PRELOAD probe for the unmodified game: counts whole-frame copies to the
// screen, logic steps and the 60 Hz timer's ticks, into a small file that
// another process can read.
//
// A logic step calls rand() exactly once from Game::logicStep (a spawn calls
// it again from TrooperSquad::spawn), so rand() calls whose return address
// lies inside logicStep count the steps. VOLLIX_PROBE_STEP gives that
// function's offset and size in the executable ("0xOFFSET:SIZE", from nm -S);
// VOLLIX_PROBE_OUT names the counter file (little-endian uint64: steps, frames,
// ticks). The ticks less the steps is what the game dropped or has yet to run.
#include <allegro.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

struct Counters {
    std::atomic<std::uint64_t> steps;
    std::atomic<std::uint64_t> frames;
    std::atomic<std::uint64_t> ticks;
};

Counters* counters = nullptr;
std::uintptr_t stepBegin = 0;
std::uintptr_t stepEnd = 0;
void (*timerRoutine)() = nullptr;

// The game's timer routine, counted.
void countedTick()
{
    if (counters)
        counters->ticks.fetch_add(1, std::memory_order_relaxed);
    timerRoutine();
}

// The load address of the main executable: the first object dl_iterate_phdr reports.
int firstObject(dl_phdr_info* info, size_t, void* out)
{
    *static_cast<std::uintptr_t*>(out) = info->dlpi_addr;
    return 1;
}

// Maps the counter file and resolves logicStep's address range, once.
__attribute__((constructor)) void setUp()
{
    const char* out = std::getenv("VOLLIX_PROBE_OUT");
    if (out) {
        const int fd = open(out, O_RDWR | O_CREAT, 0644);
        if (fd >= 0 && ftruncate(fd, sizeof(Counters)) == 0) {
            void* p = mmap(nullptr, sizeof(Counters), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
            if (p != MAP_FAILED)
                counters = static_cast<Counters*>(p);
        }
        if (fd >= 0)
            close(fd);
    }
    const char* range = std::getenv("VOLLIX_PROBE_STEP");
    if (range) {
        char* end = nullptr;
        const std::uintptr_t offset = std::strtoull(range, &end, 16);
        const std::uintptr_t size = (end && *end == ':') ? std::strtoull(end + 1, nullptr, 0) : 0;
        std::uintptr_t base = 0;
        dl_iterate_phdr(firstObject, &base);
        stepBegin = base + offset;
        stepEnd = stepBegin + size;
    }
}

using RandFn = int (*)();
using BlitFn = void (*)(BITMAP*, BITMAP*, int, int, int, int, int, int);
using InstallFn = int (*)(void (*)(), long);

} // namespace

// Counts the calls made from logicStep, then hands over to the real rand().
extern "C" int rand()
{
    static RandFn real = reinterpret_cast<RandFn>(dlsym(RTLD_NEXT, "rand"));
    const auto caller = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
    if (counters && caller >= stepBegin && caller < stepEnd)
        counters->steps.fetch_add(1, std::memory_order_relaxed);
    return real();
}

// Counts copies to the screen, then hands over to the library's blit().
extern "C" void blit(BITMAP* source, BITMAP* dest, int sx, int sy, int dx, int dy, int w, int h)
{
    static BlitFn real = reinterpret_cast<BlitFn>(dlsym(RTLD_NEXT, "blit"));
    if (counters && dest == screen)
        counters->frames.fetch_add(1, std::memory_order_relaxed);
    real(source, dest, sx, sy, dx, dy, w, h);
}

// Installs the game's one timer routine behind the tick counter.
extern "C" int install_int_ex(void (*proc)(), long speed)
{
    static InstallFn real = reinterpret_cast<InstallFn>(dlsym(RTLD_NEXT, "install_int_ex"));
    timerRoutine = proc;
    return real(countedTick, speed);
}
