// Logic steps on each preset with random keys (a million unless a count is given),
// games back to back as the play loop runs them: a guard against crashes and, in
// the sanitizer build, undefined behaviour on inputs no other test plans.
#define ALLEGRO_NO_MAGIC_MAIN
#include <allegro.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <unistd.h>

#include "../unit/fake_resources.h"
#include "game/game.h"

int main(int argc, char** argv)
{
    const long steps = argc > 1 ? std::atol(argv[1]) : 1000000;
    char dir[] = "/tmp/vollix-soak-XXXXXX"; // where the game keeps its table
    if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0 || !mkdtemp(dir) || chdir(dir) != 0)
        return 2;
    for (int preset = 0; preset < 4; ++preset) {
        FakeResources fake;
        Game game(fake.data());
        std::srand(preset);
        std::mt19937 keys(preset);
        game.presetIndex = preset;
        game.applyPreset();
        for (long step = 0; step < steps; ++step) {
            if (step == 0 || game.squad.landed() >= game.landingLimit) {
                game.squad.clear();
                game.shells.clear();
                game.startGame();
            }
            const unsigned bits = keys();
            game.logicStep(PlayKeys{(bits & 3) == 1, (bits & 3) == 2, (bits & 4) != 0});
        }
        game.releaseBitmaps();
    }
    std::filesystem::remove_all(dir);
    return 0;
}
