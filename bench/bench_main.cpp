// Times one logic step, one frame and the frame's copy at the heaviest load
// the presets allow, against the 60 Hz frame budget; and the frame with its
// copy to a window grown 1 to 4 times by F11.
#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/scaled_copy.h"
#include "app/startup.h"
#include "game/game.h"
#include "res/resource_access.h"
#include "scenario.h"

namespace {

constexpr double BUDGET_US = 1e6 / 60.0;
constexpr int FUN_PRESET = 3;
constexpr int REPETITIONS = 5;

using Clock = std::chrono::steady_clock;

// The calling thread's processor time: what the work costs, without the
// time the scheduler gives to other processes on a busy machine.
double threadSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Every timed iteration of every run, by benchmark name, in microseconds.
struct Samples {
    std::vector<double> wall;
    std::vector<double> cpu;
};
std::map<std::string, Samples> samples;

// Runs setup untimed, then times fn alone, in wall and in thread time; the
// library gets the thread time, so its figures hold on a shared machine.
template <class Setup, class Fn>
void timeEach(benchmark::State& state, const std::string& name, Setup setup, Fn fn)
{
    Samples& out = samples[name];
    for (auto _ : state) {
        setup();
        const auto t0 = Clock::now();
        const double c0 = threadSeconds();
        fn();
        const double c1 = threadSeconds();
        const auto t1 = Clock::now();
        state.SetIterationTime(c1 - c0);
        out.wall.push_back(std::chrono::duration<double>(t1 - t0).count() * 1e6);
        out.cpu.push_back((c1 - c0) * 1e6);
    }
}

// The load must be what the benchmark claims, or the figures mean nothing.
bool loadIsAtLimit(benchmark::State& state, const Game& game)
{
    if (game.squad.alive() == 1000 && game.shells.size() == 45)
        return true;
    state.SkipWithError("load is not 1000 alive troopers and 45 shells");
    return false;
}

struct Bench {
    Game* game;
    BITMAP* frame;
    BITMAP* copy;
};

// One logic step with LEFT and SPACE held on Fun (reload 0: a shell every step).
void stepAt(benchmark::State& state, Bench b, Load load, const std::string& name)
{
    placeLoad(*b.game, load);
    if (!loadIsAtLimit(state, *b.game))
        return;
    const PlayKeys keys{true, false, true};
    timeEach(state, name,
             [&] {
                 placeLoad(*b.game, load);
                 b.game->gunAngle = 0;
                 b.game->reloadCountdown = 0;
             },
             [&] { benchmark::DoNotOptimize(b.game->logicStep(keys)); });
}

// The scene and the score line drawn over the previous frame, as the play loop does.
void frameAt(benchmark::State& state, Bench b, Load load, const std::string& name)
{
    placeLoad(*b.game, load);
    if (!loadIsAtLimit(state, *b.game))
        return;
    b.game->gunAngle = 30;
    // The turned parachute pictures are made once, on the game's first
    // trooper frame; that one-off cost is not a frame's.
    b.game->drawScene(b.frame);
    timeEach(state, name, [] {},
             [&] {
                 b.game->drawScene(b.frame);
                 b.game->drawScoreLine(b.frame);
             });
}

// The whole-frame copy into another 640x480 8-bit bitmap.
void copyFrame(benchmark::State& state, Bench b, const std::string& name)
{
    timeEach(state, name, [] {}, [&] { blit(b.frame, b.copy, 0, 0, 0, 0, 640, 480); });
}

// The long game's frame and its copy, every pixel changed, to a window scale
// times 640x480 (a memory bitmap of that size): the most a grown window costs.
void frameGrown(benchmark::State& state, Bench b, int scale, const std::string& name)
{
    placeLoad(*b.game, Load::LongGame);
    b.game->gunAngle = 30;
    b.game->drawScene(b.frame); // the turned pictures, once
    BITMAP* window = create_bitmap(640 * scale, 480 * scale);
    timeEach(state, name, [] {},
             [&] {
                 b.game->drawScene(b.frame);
                 b.game->drawScoreLine(b.frame);
                 stretch_blit(b.frame, window, 0, 0, 640, 480, 0, 0, 640 * scale, 480 * scale);
             });
    destroy_bitmap(window);
}

// With VOLLIX_BENCH_WINDOW set (and an X display), the grown copies go to a
// real window, which adds the library's conversion for the X server.
bool realWindow()
{
    return std::getenv("VOLLIX_BENCH_WINDOW") != nullptr;
}

// The long game going on, the gun turning and firing: each frame and what a
// window scale times 640x480 is sent of it, the bands that changed.
void frameChanged(benchmark::State& state, Bench b, int scale, const std::string& name)
{
    placeLoad(*b.game, Load::LongGame);
    b.game->gunAngle = 30;
    b.game->drawScene(b.frame);
    BITMAP* shown = create_bitmap(640, 480);
    const bool windowed = realWindow() && set_gfx_mode(GFX_AUTODETECT_WINDOWED, 640 * scale, 480 * scale, 0, 0) == 0;
    BITMAP* window = windowed ? screen : create_bitmap(640 * scale, 480 * scale);
    BITMAP* grown = create_bitmap(640 * scale, 480 * scale);
    clear_bitmap(grown); // its memory touched once, as the window does when it grows
    if (windowed) // the window starts as the frame, as after F11
        stretch_blit(b.frame, window, 0, 0, 640, 480, 0, 0, 640 * scale, 480 * scale);
    blit(b.frame, shown, 0, 0, 0, 0, 640, 480);
    const PlayKeys keys{true, false, true};
    timeEach(state, name, [&] { b.game->logicStep(keys); },
             [&] {
                 b.game->drawScene(b.frame);
                 b.game->drawScoreLine(b.frame);
                 copyChanged(b.frame, shown, grown, window, scale);
             });
    destroy_bitmap(grown);
    if (!windowed)
        destroy_bitmap(window);
    destroy_bitmap(shown);
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const std::size_t i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[i];
}

struct Figures {
    double median;
    double p99;
    double max;
};

Figures figuresOf(const std::vector<double>& v)
{
    if (v.empty())
        return Figures{0, 0, 0};
    return Figures{percentile(v, 0.5), percentile(v, 0.99), percentile(v, 1.0)};
}

// One row: median, p99 and max in microseconds and as shares of the budget.
void printRow(const std::string& name, const char* clock, const std::vector<double>& v)
{
    const Figures f = figuresOf(v);
    std::printf("%-26s %-6s %7zu %9.1f %6.2f%% %9.1f %6.2f%% %9.1f %6.2f%%\n", name.c_str(), clock, v.size(),
                f.median, 100 * f.median / BUDGET_US, f.p99, 100 * f.p99 / BUDGET_US, f.max,
                100 * f.max / BUDGET_US);
}

// The step + frame sums for one load and clock, as shares of the budget.
void printSum(const char* load, const char* clock, bool cpu)
{
    auto pick = [cpu](const std::string& name) {
        const Samples& s = samples[name];
        return figuresOf(cpu ? s.cpu : s.wall);
    };
    const Figures step = pick(std::string("logic_step/") + load);
    const Figures frame = pick(std::string("frame/") + load);
    const Figures copy = pick("blit_640x480");
    std::printf("%-15s %-5s median %8.1f us = %6.2f%%   p99 %8.1f us = %6.2f%%   worst %8.1f us = %6.2f%%"
                "   worst + copy %6.2f%%\n",
                load, clock, step.median + frame.median, 100 * (step.median + frame.median) / BUDGET_US,
                step.p99 + frame.p99, 100 * (step.p99 + frame.p99) / BUDGET_US, step.max + frame.max,
                100 * (step.max + frame.max) / BUDGET_US, 100 * (step.max + frame.max + copy.max) / BUDGET_US);
}

// Load average of the machine, to judge the wall-clock figures.
std::string loadAverage()
{
    char text[64] = "?";
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (!std::fgets(text, sizeof text, f))
            text[0] = 0;
        std::fclose(f);
    }
    std::string s = text;
    return s.substr(0, s.find(' ', s.find(' ', s.find(' ') + 1) + 1));
}

// The per-iteration table and the step+frame sums, as shares of 16.7 ms.
void printSummary(const std::string& loadBefore)
{
    std::printf("\nPer iteration over all repetitions; budget %.1f us (one 60 Hz frame).\n", BUDGET_US);
    std::printf("cpu = the benchmark thread's processor time, wall = elapsed time.\n");
    std::printf("Load average before / after: %s / %s\n", loadBefore.c_str(), loadAverage().c_str());
    std::printf("%-26s %-6s %7s %9s %7s %9s %7s %9s %7s\n", "", "clock", "samples", "median", "budget", "p99",
                "budget", "max", "budget");
    for (const auto& [name, s] : samples) {
        printRow(name, "cpu", s.cpu);
        printRow(name, "wall", s.wall);
    }
    std::printf("\nstep + frame:\n");
    for (const char* load : {"all_descending", "most_descending", "long_game"}) {
        printSum(load, "cpu", true);
        printSum(load, "wall", false);
    }
    for (const char* kind : {"grown", "changed"}) {
        std::printf("\nlong_game frame + %s to a grown window (cpu), worst share of the budget and what it leaves:\n",
                    kind[0] == 'g' ? "whole copy" : "changed bands");
        for (int scale = 1; scale <= 4; ++scale) {
            const Figures f = figuresOf(samples["frame_" + std::string(kind) + "/" + std::to_string(scale) + "x"].cpu);
            std::printf("%dx  median %7.1f us  worst %7.1f us = %5.2f%%  leaves %5.1f%%\n", scale, f.median, f.max,
                        100 * f.max / BUDGET_US, 100 - 100 * f.max / BUDGET_US);
        }
    }
}

// Registers every benchmark with its repetitions and the "max" statistic.
void registerAll(Bench b)
{
    auto common = [](benchmark::internal::Benchmark* bm, int iterations) {
        bm->UseManualTime()
            ->Unit(benchmark::kMicrosecond)
            ->Iterations(iterations)
            ->Repetitions(REPETITIONS)
            ->ComputeStatistics("max", [](const std::vector<double>& v) {
                return *std::max_element(v.begin(), v.end());
            });
    };
    for (auto [load, label] : {std::pair{Load::AllDescending, "all_descending"},
                               std::pair{Load::MostDescending, "most_descending"},
                               std::pair{Load::LongGame, "long_game"}}) {
        const std::string step = std::string("logic_step/") + label;
        const std::string frame = std::string("frame/") + label;
        common(benchmark::RegisterBenchmark(step.c_str(),
                                            [b, load = load, step](benchmark::State& s) { stepAt(s, b, load, step); }),
               400);
        common(benchmark::RegisterBenchmark(
                   frame.c_str(), [b, load = load, frame](benchmark::State& s) { frameAt(s, b, load, frame); }),
               200);
    }
    for (int scale = 1; scale <= 4; ++scale) {
        const std::string name = "frame_grown/" + std::to_string(scale) + "x";
        common(benchmark::RegisterBenchmark(name.c_str(),
                                            [b, scale, name](benchmark::State& s) { frameGrown(s, b, scale, name); }),
               200);
        const std::string changed = "frame_changed/" + std::to_string(scale) + "x";
        common(benchmark::RegisterBenchmark(
                   changed.c_str(), [b, scale, changed](benchmark::State& s) { frameChanged(s, b, scale, changed); }),
               200);
    }
    common(benchmark::RegisterBenchmark("blit_640x480",
                                        [b](benchmark::State& s) { copyFrame(s, b, "blit_640x480"); }),
           2000);
}

// The datafile: $VOLLIX_DATA if set, else the one the build made.
std::string dataPath()
{
    const char* env = std::getenv("VOLLIX_DATA");
    if (env && *env)
        return env;
    return VOLLIX_DATA_FILE;
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (install_allegro(realWindow() ? SYSTEM_AUTODETECT : SYSTEM_NONE, &errno, std::atexit) != 0)
        return 2;
    set_color_depth(8);

    // Resolve the path before leaving the caller's directory.
    char absolute[PATH_MAX]; // what realpath may write
    const std::string data = dataPath();
    if (!realpath(data.c_str(), absolute)) {
        std::fprintf(stderr, "vollix_bench: cannot find %s (set VOLLIX_DATA)\n", data.c_str());
        return 1;
    }
    DATAFILE* resources = loadResources(absolute);
    if (!resources) {
        std::fprintf(stderr, "vollix_bench: %s is not a usable datafile\n", absolute);
        return 1;
    }
    select_palette(resourcePalette(resources, RES_PALETTE));

    // The Game reads and writes hiscores.hst in the working directory.
    char scratch[] = "/tmp/vollix-bench-XXXXXX";
    if (!mkdtemp(scratch) || chdir(scratch) != 0)
        return 1;

    {
        Game game(resources);
        game.presetIndex = FUN_PRESET;
        game.applyPreset();
        BITMAP* frame = create_bitmap(640, 480);
        BITMAP* copy = create_bitmap(640, 480);
        clear_bitmap(frame);
        registerAll(Bench{&game, frame, copy});
        const std::string loadBefore = loadAverage();
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        printSummary(loadBefore);
        game.squad.clear();
        game.shells.clear();
        destroy_bitmap(copy);
        destroy_bitmap(frame);
        game.releaseBitmaps();
    }
    unlink("hiscores.hst");
    if (chdir("/") == 0)
        rmdir(scratch);
    unload_datafile(resources);
    return 0;
}
