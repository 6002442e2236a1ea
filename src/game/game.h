#pragma once

#include <allegro.h>
#include <cstdint>

#include "scores/high_score_table.h"
#include "world/shell_list.h"
#include "world/trooper_squad.h"

class Frame;
class Gamepad;
class Window;
struct PadState;

// Keys held during one logic step of a game.
struct PlayKeys {
    bool left;
    bool right;
    bool fire;
};

// Which cues a logic step played, as bits.
enum StepCue : unsigned {
    CUE_SHOT = 1,
    CUE_CHUTE_HIT = 2,
    CUE_LANDING = 4,
    CUE_BODY_HIT = 8
};

// What the program does after a visit of the main menu.
enum class MenuResult { ShowAgain, Exit };

// The session: lives from just after the window opens until the program ends.
// Every screen is one of its operations.
class Game {
public:
    explicit Game(DATAFILE* resources);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Copies the preset at presetIndex into the session.
    void applyPreset();
    // Plays a sample once at the session volume; silent at volume 0 or without a sample.
    void playCue(SAMPLE* sample);
    // Paints the sky strip and a fresh field of 150 stars into the background.
    void makeBackground();
    // Releases the background and the turned trooper pictures while the
    // library is still up (called at shutdown).
    void releaseBitmaps();

    // Draws background, barrel, base, shells and troopers into a frame.
    void drawScene(BITMAP* frame) const;
    // Prints "Score: %d" in the built-in font at the top left.
    void drawScoreLine(BITMAP* frame) const;

    // One visit of the main menu; Exit when the player chose it or a quit was asked for.
    MenuResult runMenu();
    // Runs one game from the reset to the end of the game.
    void play();
    // Resets the game state for a new game.
    void startGame();
    // One fixed logic step with the given keys; returns the StepCue bits played.
    unsigned logicStep(const PlayKeys& keys);
    // The turning, growing banner, then a wait for one key.
    void showGameOver();
    // Takes a name for a qualifying score; a confirmed name is saved at once.
    void enterName();
    // Merges this run's new names into hiscores.hst; a failed save leaves the
    // file as it was and keeps them for the next one.
    void saveHighScores();
    // Reads hiscores.hst again, which another game may have changed since.
    void refreshHighScores();
    // Lists the table until a key is waiting.
    void showHighScores();

    // Between frames, and in the waits that show none: F11 grows or shrinks
    // the window. Every screen calls it before it shows a frame.
    void followF11();
    // Shows a finished frame: every screen's one copy to the screen.
    void show(const Frame& frame);
    // Reads the pad once; a pad nobody touches when there is none.
    PadState readPad();

    DATAFILE* resources;
    BITMAP* background;
    std::int32_t score;
    std::int32_t gunAngle;
    std::int32_t reloadCountdown;
    std::int32_t pointsPerKill;
    std::int32_t reloadTicks;
    std::int32_t landingLimit;
    std::int32_t spawnOdds;
    std::int32_t maxAlive;
    const char* presetName;
    std::int32_t presetIndex;
    TrooperSquad squad;
    ShellList shells;
    // Read from disk where it is used (a game's end, the table screen, each
    // save), as another game may change the file at any time: not at start-up.
    HighScoreTable highScores;
    std::int32_t volume;
    // Lent by main; a Game without them (tests, the benchmark) copies its
    // frames at 640x480 and has no pad.
    Window* window = nullptr;
    Gamepad* pad = nullptr;

private:
    // True when the background holds no mask-coloured pixel, so that copying
    // it whole puts down exactly what drawing it as a sprite would.
    bool backgroundOpaque = false;
};
