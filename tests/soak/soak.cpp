// A million logic steps on each preset with random keys, checking the
// battlefield's invariants after every step and that memory settles.
#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <unistd.h>

#include "../unit/fake_resources.h"
#include "game/game.h"

namespace {

long residentPages()
{
    long pages = 0, resident = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm && std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
        resident = 0;
    if (statm)
        std::fclose(statm);
    return resident;
}

// Games back to back on one preset, as the play loop runs them; the first broken invariant, or null.
const char* soak(Game& game, long steps)
{
    std::mt19937 keys(game.presetIndex);
    game.startGame();
    long settled = 0;
    for (long step = 1; step <= steps; ++step) {
        const unsigned bits = keys();
        game.logicStep(PlayKeys{(bits & 3) == 1, (bits & 3) == 2, (bits & 4) != 0});
        int standing = 0;
        for (const Trooper& t : game.squad.members()) {
            standing += t.state != Falling;
            if (t.x < 0 || t.x >= 630 || t.sway < -15.5f || t.sway > 15.5f)
                return "trooper column or sway";
        }
        if (game.squad.alive() != standing || game.squad.takeKills() || game.squad.takeLanding())
            return "alive count, or events left untaken";
        if (game.shells.size() > 45 || game.gunAngle % 2 || game.gunAngle < -64 || game.gunAngle > 64 || game.score < 0)
            return "shells, gun or score";
        if (game.squad.landed() >= game.landingLimit) {
            game.squad.clear();
            game.shells.clear();
            game.startGame();
        }
        if (step == steps / 10)
            settled = residentPages();
    }
#ifndef __SANITIZE_ADDRESS__ // its quarantine keeps freed memory
    if (residentPages() - settled > 256)
        return "memory grows";
#endif
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    const long steps = argc > 1 ? std::atol(argv[1]) : 1000000;
    char dir[] = "/tmp/vollix-soak-XXXXXX";
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0 || !mkdtemp(dir) || chdir(dir) != 0)
        return 2;
    set_color_depth(8);
    int failures = 0;
    {
        FakeResources fake;
        Game game(fake.data());
        for (int preset = 0; preset < 4; ++preset) {
            std::srand(1000 + preset);
            game.presetIndex = preset;
            game.applyPreset();
            const char* broken = soak(game, steps);
            std::printf("%-10s %ld steps: %s\n", game.presetName, steps, broken ? broken : "ok");
            failures += broken != nullptr;
        }
        game.releaseBitmaps();
    }
    std::remove("hiscores.hst");
    rmdir(dir);
    return failures == 0 ? 0 : 1;
}
