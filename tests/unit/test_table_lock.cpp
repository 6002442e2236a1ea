// Games sharing one table at once, as separate processes through the real load and save; the lock's edges.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>

#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "scores/high_score_table.h"
#include "scores/table_lock.h"

namespace {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Runs work in a child process that dies with the test (a hung one at the test's time limit: the library's
// reader spins for ever on a table cut short under it); returns its exit status, or -1.
int exitStatus(pid_t pid)
{
    int status = -1;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
pid_t spawn(const std::function<int()>& work)
{
    const pid_t pid = fork();
    if (pid == 0)
        prctl(PR_SET_PDEATHSIG, SIGKILL), _exit(work());
    return pid;
}
} // namespace

// Four games save 50 names each at once while a fifth reads the table over and over: the table ends with the
// five highest of all 200, each once, no read finds it damaged or missing, and no save leaks a descriptor. The
// table is replaced by each save, then, with a second name (a hard link), rewritten in its own file.
TEST(TableLock, GamesSavingAtOnceLoseNoNameAndReadersSeeWholeTables)
{
    for (const bool linked : {false, true}) {
        const std::string dir = ::testing::TempDir() + "vollix-lock-" + std::to_string(getpid()), file = dir + "/t";
        fs::create_directories(dir);
        ASSERT_TRUE(HighScoreTable().save(file.c_str()) && (!linked || link(file.c_str(), (file + "2").c_str()) == 0));
        int running[2];
        ASSERT_EQ(pipe(running), 0);
        const pid_t reader = spawn([&] {
            int loads = close(running[1]), failed = 0;
            for (pollfd done{running[0], POLLIN, 0}; poll(&done, 1, 0) == 0; ++loads)
                failed += !HighScoreTable().load(file.c_str());
            return failed > 0 || loads <= 0;
        });
        pid_t savers[4];
        for (int game = 0; game < 4; ++game)
            savers[game] = spawn([&, game] {
                const auto files = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
                const auto open = files();
                HighScoreTable table;
                for (int k = 0; k < 50; ++k) {
                    table.confirm(("G" + std::to_string(game) + "-" + std::to_string(k)).c_str(), 1000 + 4 * k + game);
                    if (!table.save(file.c_str()))
                        return 1;
                }
                return files() == open ? 0 : 2;
            });
        for (pid_t saver : savers)
            EXPECT_EQ(exitStatus(saver), 0) << "a save failed, or leaked a descriptor";
        close(running[1]);
        EXPECT_EQ(exitStatus(reader), 0) << "a read found the table damaged or missing";
        close(running[0]);
        HighScoreTable end;
        ASSERT_TRUE(end.load(file.c_str()));
        const char* names[] = {"G3-49", "G2-49", "G1-49", "G0-49", "G3-48"};
        for (int i = 0; i < HIGH_SCORE_ENTRIES; ++i)
            EXPECT_EQ(std::pair(std::string(end.name(i)), end.score(i)), std::pair(std::string(names[i]), 1199u - i));
        EXPECT_EQ(fs::hard_link_count(file), linked ? 2u : 1u);
        fs::remove_all(dir);
    }
}

// Without a table yet, the lock makes an empty one with a new table's mode (for two first saves to take turns
// on), and removes it when no save took its place; a read makes none, and an empty table that was there stays;
// none of these waits. A lock held elsewhere (a stopped game) holds a save up for two seconds, sleeping, and
// then it saves all the same.
TEST(TableLock, AFirstTableAndALockHeldElsewhere)
{
    const std::string file = ::testing::TempDir() + "vollix-first-" + std::to_string(getpid());
    const mode_t umasked = umask(0277);
    const auto start = Clock::now();
    const auto madeWhileLocked = [&](TableLock::Kind kind) { return TableLock(file.c_str(), kind), fs::exists(file); };
    EXPECT_EQ(std::tuple(madeWhileLocked(TableLock::Kind::Shared), madeWhileLocked(TableLock::Kind::Exclusive),
                         fs::exists(file)), std::tuple(false, true, false));
    std::ofstream{file};
    EXPECT_TRUE(madeWhileLocked(TableLock::Kind::Exclusive) && fs::remove(file));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
    {
        const TableLock stopped(file.c_str(), TableLock::Kind::Exclusive);
        struct stat st {};
        EXPECT_TRUE(stat(file.c_str(), &st) == 0 && st.st_size == 0 && (st.st_mode & 07777) == 0600);
        HighScoreTable mine;
        mine.confirm("Late", 1000);
        const auto [saving, cpu] = std::pair(Clock::now(), std::clock());
        EXPECT_TRUE(mine.save(file.c_str()));
        const auto waited = Clock::now() - saving;
        EXPECT_TRUE(waited >= std::chrono::seconds(2) && waited < std::chrono::milliseconds(2500));
        EXPECT_LT(std::clock() - cpu, CLOCKS_PER_SEC / 2);
    }
    umask(umasked);
    HighScoreTable back;
    EXPECT_TRUE(back.load(file.c_str()) && std::string(back.name(0)) == "Late" && fs::remove(file));
}
