// LD_PRELOAD probe for the unmodified game: counts whole-frame copies to the
// screen, logic steps and the 60 Hz timer's ticks, into a small file that
// another process can read.
//
// A logic step calls rand() exactly once from Game::logicStep (a spawn calls
// it again from TrooperSquad::spawn), so rand() calls whose return address
// lies inside logicStep count the steps. The probe finds that function by its
// demangled name in the executable's own symbol table (the game must not be
// stripped). VOLLIX_PROBE_OUT names the counter file (little-endian uint64:
// steps, frames, ticks). The ticks less the steps is what the game dropped or
// has yet to run.
#include <allegro.h>
#include <cxxabi.h>
#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
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
// The function whose rand() calls are the steps, as its demangled name begins.
constexpr char STEP[] = "Game::logicStep(";

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

// True when a symbol's mangled name demangles to one that begins with STEP.
bool isStep(const char* mangled)
{
    int status = 0;
    char* name = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    const bool found = name && std::strncmp(name, STEP, sizeof STEP - 1) == 0;
    std::free(name);
    return found;
}

// Sets stepBegin and stepEnd from the symbol table of the executable's file.
void findStep()
{
    const int fd = open("/proc/self/exe", O_RDONLY);
    struct stat st {};
    void* file = fd >= 0 && fstat(fd, &st) == 0 ? mmap(nullptr, st.st_size, PROT_READ, MAP_PRIVATE, fd, 0)
                                                : MAP_FAILED;
    if (fd >= 0)
        close(fd);
    if (file == MAP_FAILED)
        return;
    const auto* bytes = static_cast<const char*>(file);
    const auto* header = reinterpret_cast<const Elf64_Ehdr*>(bytes);
    const auto* sections = reinterpret_cast<const Elf64_Shdr*>(bytes + header->e_shoff);
    for (int i = 0; i < header->e_shnum && stepEnd == 0; ++i) {
        if (sections[i].sh_type != SHT_SYMTAB)
            continue;
        const auto* symbols = reinterpret_cast<const Elf64_Sym*>(bytes + sections[i].sh_offset);
        const char* names = bytes + sections[sections[i].sh_link].sh_offset;
        for (std::size_t k = 0; k < sections[i].sh_size / sizeof(Elf64_Sym); ++k) {
            if (ELF64_ST_TYPE(symbols[k].st_info) == STT_FUNC && isStep(names + symbols[k].st_name)) {
                std::uintptr_t base = 0;
                dl_iterate_phdr(firstObject, &base);
                stepBegin = base + symbols[k].st_value;
                stepEnd = stepBegin + symbols[k].st_size;
                break;
            }
        }
    }
    munmap(file, st.st_size);
}

// Maps the counter file and finds logicStep's address range, once.
__attribute__((constructor)) void setUp()
{
    const char* out = std::getenv("VOLLIX_PROBE_OUT");
    if (!out)
        return;
    const int fd = open(out, O_RDWR | O_CREAT, S_IRUSR | S_IWUSR); // the caller's alone
    if (fd >= 0 && ftruncate(fd, sizeof(Counters)) == 0) {
        void* p = mmap(nullptr, sizeof(Counters), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (p != MAP_FAILED)
            counters = static_cast<Counters*>(p);
    }
    if (fd >= 0)
        close(fd);
    findStep();
    if (stepEnd == 0)
        std::fprintf(stderr, "step probe: no %s...) in the executable's symbols; steps are not counted\n", STEP);
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
