#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

#include "fake_resources.h"
#include "game/game.h"

// Runs each test in a fresh directory (the Game reads and writes
// hiscores.hst in the working directory) with a Game on fake resources.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vollix-game-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        char here[4096];
        ASSERT_NE(getcwd(here, sizeof here), nullptr);
        oldDir = here;
        ASSERT_EQ(chdir(dir.c_str()), 0);
        std::srand(42);
        game = std::make_unique<Game>(fake.data());
    }
    void TearDown() override
    {
        if (game) {
            game->releaseBitmaps();
            game.reset();
        }
        if (!oldDir.empty()) {
            ASSERT_EQ(chdir(oldDir.c_str()), 0);
        }
        std::system(("rm -rf '" + dir + "'").c_str());
    }

    FakeResources fake;
    std::unique_ptr<Game> game;
    std::string dir;
    std::string oldDir;
};
