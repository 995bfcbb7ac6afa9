#pragma once
// Waiting for what another thread or process brings about: a condition
// tested again and again until it holds or the time is up.
#include <windows.h>

#include <functional>

namespace testing_support {

// How long a test waits for a window, a process or a condition unless it
// says otherwise.
const DWORD kDefaultWaitMs = 30000;
const DWORD kDefaultPollMs = 10;

// Tests condition until it holds (true) or timeoutMs have passed (false),
// sleeping pollMs between tests. The condition may do work of its own:
// pump messages, remember what it found.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultWaitMs,
               DWORD pollMs = kDefaultPollMs);

} // namespace testing_support
