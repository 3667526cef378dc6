#pragma once
// Runs the calling thread's messages for tests that wait for something a window does.

#include <windows.h>

#include <functional>

namespace testing_support {

// Pumps the thread's messages, input included, until `done` is true or `timeoutMs` has passed;
// returns `done`'s last answer.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs = 2000);

}  // namespace testing_support
