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

// How many times longer than natively programs take here: BCSETUP_TIME_SCALE,
// set by the test scripts where the 32-bit side runs emulated; 1 without it.
DWORD TimeScale();

// A test's wait, timeoutMs as measured natively, grown by TimeScale();
// INFINITE stays INFINITE.
DWORD Scaled(DWORD timeoutMs);

// Tests condition until it holds (true) or Scaled(timeoutMs) have passed (false),
// sleeping pollMs between tests. The condition may do work of its own:
// pump messages, remember what it found.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultWaitMs, DWORD pollMs = kDefaultPollMs);

} // namespace testing_support
