// When no 640x480 bitmap can be made, every screen gives up quietly instead
// of drawing into nothing.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "game_fixture.h"

namespace {

// Runs body in a child whose address space is capped just above what it uses
// and whose heap is used up; true when body returned true there.
template <typename Body>
bool starved(Body body)
{
    const pid_t child = fork();
    if (child == 0) {
        long pages = 0;
        FILE* statm = std::fopen("/proc/self/statm", "r");
        if (!statm || std::fscanf(statm, "%ld", &pages) != 1)
            _exit(3);
        const rlim_t cap = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + 64 * 1024;
        const rlimit limit{cap, cap};
        if (setrlimit(RLIMIT_AS, &limit) != 0)
            _exit(4);
        for (std::size_t block : {1u << 16, 1u << 12, 1u << 6})
            while (std::malloc(block)) {
            }
        _exit(create_bitmap(640, 480) == nullptr && body() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
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
    EXPECT_TRUE(starved([g] {
        const bool menuLeaves = g->runMenu(); // nothing to show: leave as by Exit
        g->play();
        g->score = 5;
        g->enterName(); // nowhere to type: dropped as with Esc
        g->showHighScores();
        return menuLeaves && g->highScores.score(0) == 0;
    }));
    g->releaseBitmaps(); // before the cap, or its memory would make room again
    EXPECT_TRUE(starved([g] {
        g->makeBackground(); // no sky: the scene goes without it
        return g->background == nullptr;
    }));
}
