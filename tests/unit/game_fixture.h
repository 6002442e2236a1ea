#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "fake_resources.h"
#include "game/game.h"
#include "seam.h"

// Each test runs in a fresh folder (the Game keeps hiscores.hst in the
// working directory), with a Game on fake resources and a clean seam.
class GameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        home = std::filesystem::current_path();
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        seam::reset();
        std::srand(42);
        game = std::make_unique<Game>(fake.data());
    }
    void TearDown() override
    {
        game->releaseBitmaps();
        game.reset();
        seam::reset();
        std::filesystem::current_path(home);
        std::filesystem::remove_all(dir);
    }

    FakeResources fake;
    std::unique_ptr<Game> game;
    std::filesystem::path home, dir = ::testing::TempDir() + "vollix-game-" + std::to_string(getpid());
};
