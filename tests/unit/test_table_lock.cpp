// Games sharing one table at once, as separate processes through the real load and save.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "scores/high_score_table.h"

namespace {
// Runs work in a child process, which dies with the test; its exit status is what work returns.
pid_t spawn(const std::function<int()>& work)
{
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        _exit(work());
    }
    return pid;
}

// The child's exit status; -1 when it has not ended within 3 s (the library's reader spins for ever on a
// table cut short under it), and it is then ended.
int exitStatus(pid_t pid)
{
    int status = 0;
    for (int ms = 0; waitpid(pid, &status, WNOHANG) == 0; ++ms) {
        if (ms == 3000) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        usleep(1000);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

// Four games save 50 names each at once while a fifth reads the table over and over: the table ends with the
// five highest of all 200, each once, and no read finds it damaged or missing. The table is replaced by each
// save, then, with a second name (a hard link), rewritten in its own file.
TEST(TableLock, GamesSavingAtOnceLoseNoNameAndReadersSeeWholeTables)
{
    for (const bool linked : {false, true}) {
        const std::string dir = ::testing::TempDir() + "vollix-lock-" + std::to_string(getpid()),
                          file = dir + "/hiscores.hst";
        std::filesystem::create_directories(dir);
        ASSERT_TRUE(HighScoreTable().save(file.c_str()));
        ASSERT_TRUE(!linked || link(file.c_str(), (dir + "/twin.hst").c_str()) == 0);
        int running[2];
        ASSERT_EQ(pipe(running), 0);
        const pid_t reader = spawn([&] {
            close(running[1]);
            int loads = 0, failed = 0;
            for (pollfd done{running[0], POLLIN, 0}; poll(&done, 1, 0) == 0; ++loads)
                failed += !HighScoreTable().load(file.c_str());
            return failed > 0 || loads == 0;
        });
        std::vector<pid_t> savers;
        for (int game = 0; game < 4; ++game)
            savers.push_back(spawn([&, game] {
                HighScoreTable table;
                for (int k = 0; k < 50; ++k) {
                    table.confirm(("G" + std::to_string(game) + "-" + std::to_string(k)).c_str(), 1000 + 4 * k + game);
                    if (!table.save(file.c_str()))
                        return 1;
                }
                return 0;
            }));
        for (pid_t saver : savers)
            EXPECT_EQ(exitStatus(saver), 0) << "a save failed";
        close(running[1]);
        EXPECT_EQ(exitStatus(reader), 0) << "a read found the table damaged or missing";
        close(running[0]);
        HighScoreTable end;
        ASSERT_TRUE(end.load(file.c_str()));
        const char* names[] = {"G3-49", "G2-49", "G1-49", "G0-49", "G3-48"};
        for (int i = 0; i < HIGH_SCORE_ENTRIES; ++i)
            EXPECT_EQ(std::pair(std::string(end.name(i)), end.score(i)), std::pair(std::string(names[i]), 1199u - i));
        struct stat a {}, b {};
        EXPECT_TRUE(!linked || (stat(file.c_str(), &a) == 0 && stat((dir + "/twin.hst").c_str(), &b) == 0
                                && a.st_ino == b.st_ino)) << "the link kept";
        std::filesystem::remove_all(dir);
    }
}
