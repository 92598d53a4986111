#pragma once
// Running the message loop in tests until something has happened.

#include <windows.h>

#include <chrono>
#include <functional>

namespace korvex {
class CApp;
}

namespace korvex::test {

// Dispatches messages of this thread (pre-translated by `app` when given)
// until `done` is true or `timeout` has passed; returns whether `done` became
// true. Waits for messages without spinning.
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(5),
               CApp* app = nullptr);

}  // namespace korvex::test
