// When a 640x480 bitmap cannot be made, every screen gives up quietly
// instead of drawing into nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "game_fixture.h"

namespace {

// Runs body in a child whose address space is capped just above what it
// uses now and whose heap is used up, so that no frame can be made; true
// when the child exits 0.
template <typename Body>
bool runStarved(Body body)
{
    const pid_t child = fork();
    if (child == 0) {
        long pages = 0;
        long resident = 0;
        FILE* statm = std::fopen("/proc/self/statm", "r");
        if (!statm || std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            _exit(3);
        std::fclose(statm);
        const rlim_t cap = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + 64 * 1024;
        const rlimit limit{cap, cap};
        if (setrlimit(RLIMIT_AS, &limit) != 0)
            _exit(4);
        // Use up what the heap still holds, so that nothing more can be had.
        for (std::size_t block : {1u << 16, 1u << 12, 1u << 6})
            for (;;) {
                void* volatile kept = std::malloc(block);
                if (!kept)
                    break;
            }
        if (create_bitmap(640, 480) != nullptr)
            _exit(5); // the cap did not bite
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        ADD_FAILURE() << "child status " << status;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST_F(GameTest, ScreensGiveUpQuietlyWhenNoFrameCanBeMade)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer needs more address space than the cap leaves";
#endif
    game->highScores.fillDefault("x", 0, 0);
    Game* g = game.get();
    EXPECT_TRUE(runStarved([g] {
        const bool menuLeaves = g->runMenu(); // nothing to show: leave as by Exit
        g->play();                            // no game without a frame
        g->score = 5;
        g->enterName(); // nowhere to type: dropped as with Esc
        g->showHighScores();
        return menuLeaves && g->highScores.score(0) == 0 && g->squad.members().empty();
    }));
    g->releaseBitmaps(); // before the cap, or its memory would make room again
    EXPECT_TRUE(runStarved([g] {
        g->makeBackground(); // no sky: the scene is drawn without it
        return g->background == nullptr;
    }));
}
