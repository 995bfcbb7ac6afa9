#pragma once
// Which family of Windows the setup runs on, for the steps that differ by it.

// Windows families; exactly one is returned.
constexpr int WINFAMILY_95 = 0x01; // Windows 95, Win32s, anything unknown, or the query failed
constexpr int WINFAMILY_98 = 0x02;
constexpr int WINFAMILY_ME = 0x04;
constexpr int WINFAMILY_NT4 = 0x10; // Windows NT 4.0 and earlier
constexpr int WINFAMILY_NT5 = 0x20; // Windows 2000 and later

int GetWindowsFamily();
