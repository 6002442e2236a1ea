#include "platform/gamepad.h"
#include "platform/window.h"
#include "game/frame.h"
#include "game/game.h"

void Game::show(const Frame& frame)
{
    if (window)
        window->present(frame.get());
    else
        frame.show();
}

void Game::followF11()
{
    if (window)
        window->followF11();
}

PadState Game::readPad()
{
    return pad ? pad->poll() : PadState{};
}
