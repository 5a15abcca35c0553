#pragma once
#include <chrono>
#include <functional>
#include <thread>

#include "core/Mozg.h"

// Runs the logic tick every 10 ms, as the main window's timer does, until
// the condition holds; false when it did not within the time-out.
inline bool TickUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        MozgTick();
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}
