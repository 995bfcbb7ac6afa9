#pragma once
// How a test scripts a stand-in: environment variables named after the
// stand-in's prefix (BCSETUP_SETUP_, BCSETUP_WMFDIST_, BCSETUP_DIVX_).
// The setup passes its environment on to the installers it starts, so a test
// sets them before it starts the setup.
//   <prefix>EXIT_CODE    exit code of the run (decimal, may be negative)
//   <prefix>DELAY_MS     milliseconds to wait before the run's action
//   <prefix>REGISTRY     registry values to set, see standin_registry.h
//   <prefix>WINDOW       "show", "noactivate" (shown without taking the
//                        focus) or "none"
//   <prefix>TITLE        title of the stand-in's window
//   <prefix>END_SESSION  "1": ask Windows to end the session while running
// The installer stand-in reads three more:
//   BCSETUP_SETUP_ACTION           "install" or "cancel" instead of waiting
//                                  for a button
//   BCSETUP_SETUP_REQUIRE_REBOOT   "1": the installation needs a restart
//   BCSETUP_SETUP_WINDOW_DELAY_MS  milliseconds before its window shows, as
//                                  a real installer takes a moment to unpack
//                                  itself (DELAY_MS counts from the showing)
#include <windows.h>

#include <string>

namespace standin {

enum class WindowMode { Default, Show, NoActivate, None };

struct Script {
    bool hasExitCode = false;
    int exitCode = 0;
    DWORD delayMs = 0;
    std::wstring registry;
    WindowMode window = WindowMode::Default;
    std::wstring title;
    bool endSession = false;
};

// The variable's value; empty when it is not set.
std::wstring EnvironmentText(const std::wstring& name);

Script ReadScript(const std::wstring& prefix);

// ExitWindowsEx for a log-off, which needs no privilege; the windows of the
// session are asked first and may refuse. False when the request failed.
bool AskToEndSession();

// The stand-ins' answer to WM_QUERYENDSESSION (reason: its lParam): true
// when every other program's windows agree to end the session, each asked
// here before the answer. Windows since Vista asks every program before it
// ends any; Wine, as Windows XP did, asks one process at a time, in the
// order of their ids, and ends each that agreed before asking the next. A
// stand-in that agreed at once would be ended whenever its id sorts before
// that of the program that refuses (the setup's wait window), which under
// Wine is a matter of which freed ids it reuses; asking the others first
// gives the outcome Windows gives, whatever the order.
bool OtherProgramsAgreeToEndTheSession(LPARAM reason);

} // namespace standin
