// One million logic steps on each preset with random keys and a seeded rand,
// checking the battlefield's invariants after every step and that memory
// settles instead of growing.
#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <unistd.h>

#include "../unit/fake_resources.h"
#include "game/game.h"
#include "game/presets.h"

namespace {

long residentKiB()
{
    long pages = 0;
    long resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return 0;
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
        resident = 0;
    std::fclose(statm);
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

int failures = 0;

void check(bool ok, const char* what, int preset, long step)
{
    if (!ok && failures++ < 20)
        std::printf("FAIL preset %d step %ld: %s\n", preset, step, what);
}

// Runs games back to back on one preset, as the play loop would.
void soakPreset(Game& game, int preset, long steps)
{
    game.presetIndex = preset;
    game.applyPreset();
    game.startGame();
    std::srand(1000 + preset);
    std::mt19937 keys(preset);
    long games = 0;
    long settledKiB = 0;
    for (long step = 1; step <= steps; ++step) {
        const unsigned bits = keys();
        game.logicStep(PlayKeys{(bits & 3) == 1, (bits & 3) == 2, (bits & 4) != 0});

        int descending = 0;
        int landed = 0;
        for (const Trooper& t : game.squad.members()) {
            descending += t.state == Descending;
            landed += t.state == Landed;
            check(t.x >= 0 && t.x < 630, "trooper column", preset, step);
            check(t.sway >= -15.5f && t.sway <= 15.5f, "sway range", preset, step);
        }
        check(game.squad.alive() == descending + landed, "alive == descending + landed", preset, step);
        check(game.squad.takeKills() == 0 && game.squad.takeChuteHit() == 0 &&
                  game.squad.takeLanding() == 0 && game.squad.takeBodyHit() == 0,
              "flags taken every step", preset, step);
        check(game.shells.size() <= 45, "at most 45 shells", preset, step);
        check(game.gunAngle % 2 == 0 && game.gunAngle >= -64 && game.gunAngle <= 64, "gun angle", preset,
              step);
        check(game.score >= 0, "score", preset, step);

        if (game.squad.landed() >= game.landingLimit) {
            ++games;
            game.squad.clear();
            game.shells.clear();
            game.startGame();
        }
        if (step == steps / 10)
            settledKiB = residentKiB();
    }
    const long endKiB = residentKiB();
    std::printf("preset %-10s %ld steps, %ld games, score %d, resident %ld KiB after 10%%, %ld KiB at end\n",
                PRESETS[preset].name, steps, games, game.score, settledKiB, endKiB);
#ifndef __SANITIZE_ADDRESS__
    // AddressSanitizer keeps freed memory in quarantine, so only a plain build can tell.
    check(endKiB - settledKiB < 1024, "memory grows", preset, steps);
#endif
    game.squad.clear();
    game.shells.clear();
}

} // namespace

int main(int argc, char** argv)
{
    const long steps = argc > 1 ? std::atol(argv[1]) : 1000000;
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0)
        return 2;
    set_color_depth(8);
    char dir[] = "/tmp/vollix-soak-XXXXXX";
    if (!mkdtemp(dir) || chdir(dir) != 0)
        return 2;
    {
        FakeResources fake;
        Game game(fake.data());
        for (int preset = 0; preset < PRESET_COUNT; ++preset)
            soakPreset(game, preset, steps);
        game.releaseBitmaps();
    }
    std::remove("hiscores.hst");
    rmdir(dir);
    std::printf("%d passed, %d failed\n", failures == 0 ? 1 : 0, failures == 0 ? 0 : 1);
    return failures == 0 ? 0 : 1;
}
