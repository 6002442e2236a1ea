#pragma once

#include <cstdint>

// The gun at the foot of the screen: where it stands, how its barrel turns,
// how it reloads, and which way its angle points. The scene, the shells, the
// play step and the tools that compose scenes (icon, preview, benchmark) all
// take the gun's rules from here.
struct Gun {
    // The barrel turns about this screen point...
    static constexpr int PIVOT_X = 320;
    static constexpr int PIVOT_Y = 365;
    // ...which is this point of the barrel sprite.
    static constexpr int BARREL_PIVOT_X = 2;
    static constexpr int BARREL_PIVOT_Y = 30;
    // Top-left corner of the base, drawn over the barrel's foot.
    static constexpr int BASE_X = 295;
    static constexpr int BASE_Y = 348;
    // The barrel turns 2 units a step and at most a quarter turn (64 units)
    // either way from upright; 256 units make a full turn.
    static constexpr std::int32_t TURN_LIMIT = 64;
    static constexpr std::int32_t TURN_STEP = 2;
    // A shell leaves the barrel tip, this many of its steps out from the pivot.
    static constexpr double MUZZLE_STEPS = 2.75;

    // The angle in radians: 1.40625 degrees a unit, clockwise from upright.
    static constexpr double radians(std::int32_t angle) { return angle * 1.40625 * 0.017453292519943295; }

    // The angle after one step with LEFT and RIGHT as held; right is tested
    // against the angle left has just set.
    static constexpr std::int32_t turned(std::int32_t angle, bool left, bool right)
    {
        if (left && angle > -TURN_LIMIT)
            angle -= TURN_STEP;
        if (right && angle < TURN_LIMIT)
            angle += TURN_STEP;
        return angle;
    }

    // One step of the reload: a running countdown ticks down and holds fire;
    // a spent one fires while fire is held and starts again from reloadTicks.
    // True when the gun fires in this step.
    static constexpr bool fires(std::int32_t& countdown, bool fireHeld, std::int32_t reloadTicks)
    {
        if (countdown > 0) {
            --countdown;
            return false;
        }
        if (!fireHeld)
            return false;
        countdown = reloadTicks;
        return true;
    }
};
