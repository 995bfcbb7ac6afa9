#pragma once
// System checks and actions of the setup: the Windows family, the
// administrator test and the restart of Windows.
#include <windows.h>

// Windows families; exactly one is returned.
constexpr int WINFAMILY_95 = 0x01;  // Windows 95, Win32s, anything unknown, or the query failed
constexpr int WINFAMILY_98 = 0x02;
constexpr int WINFAMILY_ME = 0x04;
constexpr int WINFAMILY_NT4 = 0x10; // Windows NT 4.0 and earlier
constexpr int WINFAMILY_NT5 = 0x20; // Windows 2000 and later

int GetWindowsFamily();

// True when the caller's token (the thread's while it impersonates, else the
// process's) lists the built-in Administrators group, whatever the group's
// attributes (a deny-only group counts). Any failure gives false.
bool IsUserAdministrator();

// Enables the shutdown privilege (on the NT family) and asks Windows to
// restart, without forcing running programs to close. Reports nothing: a
// refused restart simply lets the setup end.
void RestartWindows();
