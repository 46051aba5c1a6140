#pragma once

#include <chrono>
#include <functional>

// The clock a server measures sessions and login limits by. Empty: the
// system's steady clock; tests give one they move themselves.
using ServerClock = std::function<std::chrono::steady_clock::time_point()>;

inline std::chrono::steady_clock::time_point serverNow(const ServerClock &clock)
{
    return clock ? clock() : std::chrono::steady_clock::now();
}
