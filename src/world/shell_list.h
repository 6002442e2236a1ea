#pragma once

#include <allegro.h>
#include <cstddef>
#include <list>

// One shell in flight: centre and velocity in pixels per logic step.
struct Shell {
    float x;
    float y;
    float vx;
    float vy;
};

// The shells in flight, oldest first.
class ShellList {
public:
    ShellList() = default;
    ~ShellList() = default;
    ShellList(const ShellList&) = delete;
    ShellList& operator=(const ShellList&) = delete;

    // Launches a shell from the barrel tip at the given gun angle.
    void fire(int gunAngle);
    // Moves every shell one step and drops those past the left, right or top edge.
    void update();
    // Draws every shell as a small orange disc.
    void draw(BITMAP* dest) const;
    // Consumes the oldest shell inside the inclusive box; 1 if one was found, -1 if none.
    int hitTest(int left, int top, int width, int height);
    // Removes every shell.
    void clear();

    // Read-only view for the benchmark and tests.
    const std::list<Shell>& items() const { return shells; }
    std::size_t size() const { return shells.size(); }
    // Puts a shell in flight exactly as given (scenario set-up for tests and the benchmark).
    void place(const Shell& shell) { shells.push_back(shell); }

private:
    std::list<Shell> shells;
};
