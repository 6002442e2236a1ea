#include "game/game.h"

#include <cstring>

#include "game/menu_rules.h"
#include "game/presets.h"
#include "game/star_field.h"
#include "res/placements.h"
#include "res/resource_access.h"

namespace {
// True when an 8-bit picture has no pixel of its mask colour.
bool opaque8(BITMAP* picture)
{
    if (bitmap_color_depth(picture) != 8)
        return false;
    const int mask = bitmap_mask_color(picture);
    for (int y = 0; y < picture->h; ++y)
        if (std::memchr(picture->line[y], mask, picture->w))
            return false;
    return true;
}

const char* const HIGH_SCORE_FILE = "hiscores.hst";
} // namespace

Game::Game(DATAFILE* data)
    : resources(data), background(nullptr), score(0), gunAngle(0), reloadCountdown(0),
      pointsPerKill(0), reloadTicks(0), landingLimit(0), spawnOdds(1), maxAlive(0),
      presetName(""), presetIndex(DEFAULT_PRESET), volume(DEFAULT_VOLUME)
{
    makeBackground();
    applyPreset();
}

Game::~Game()
{
    // Runs after the library is down: only the packed-file calls are used.
    saveHighScores();
}

void Game::saveHighScores()
{
    highScores.save(HIGH_SCORE_FILE);
}

void Game::refreshHighScores()
{
    highScores.refresh(HIGH_SCORE_FILE);
}

void Game::applyPreset()
{
    const NamedPreset& chosen = PRESETS[presetIndex];
    reloadTicks = chosen.values.reloadTicks;
    landingLimit = chosen.values.landingLimit;
    spawnOdds = chosen.values.spawnOdds;
    maxAlive = chosen.values.maxAlive;
    pointsPerKill = chosen.values.pointsPerKill;
    presetName = chosen.name;
}

void Game::playCue(SAMPLE* sample)
{
    if (!sample || volume == 0)
        return;
    play_sample(sample, volume * 25, 128, 1000, 0);
}

void Game::makeBackground()
{
    if (!background)
        background = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    if (!background)
        return; // no memory: the scene is drawn without its sky
    clear_bitmap(background);
    BITMAP* sky = resourceBitmap(resources, RES_SKY);
    for (int x = 0; x < background->w; ++x)
        draw_sprite(background, sky, x, 0);
    const int white = makecol(255, 255, 255);
    for (const Star& star : starField())
        circlefill(background, star.x, star.y, star.radius, white);
    backgroundOpaque = opaque8(background);
}

void Game::releaseBitmaps()
{
    if (background)
        destroy_bitmap(background);
    background = nullptr;
    squad.releaseSprites();
}
