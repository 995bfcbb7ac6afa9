#pragma once
// The UI driver: finds another process's top-level windows (dialogs and
// message boxes), reads their texts and buttons, presses buttons and types
// into edit controls. Every wait has a time-out; texts are UTF-8.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/wait_until.h"

namespace testing_support {

// Visible top-level windows of a process, in the system's order.
std::vector<HWND> TopLevelWindows(DWORD processId);

// Waits until the process shows a visible top-level window whose caption is
// caption (any caption when empty). Null on time-out or when the process ends.
HWND WaitForWindow(HANDLE process, DWORD processId, const std::string& caption, DWORD timeoutMs = kDefaultWaitMs);

// Waits until the process shows a message box with that caption (a window
// with the message text control 0xFFFF; the wait window has the same caption).
HWND WaitForMessageBox(HANDLE process, DWORD processId, const std::string& caption, DWORD timeoutMs = kDefaultWaitMs);

// Waits until a window is gone (destroyed or hidden). False on time-out.
bool WaitForWindowGone(HWND window, DWORD timeoutMs = kDefaultWaitMs);

std::string WindowText(HWND window);
// The text of a message box (its static control 0xFFFF).
std::string MessageBoxText(HWND messageBox);
// Texts of the window's visible buttons, in child order, without '&'.
std::vector<std::string> ButtonTexts(HWND dialog);
// Clicks the button with that control id (IDOK, IDYES, ...), as the user would.
bool PressButton(HWND dialog, int controlId);
// Sets the text of an edit control of a dialog.
bool SetControlText(HWND dialog, int controlId, const std::string& text);
std::string ControlText(HWND dialog, int controlId);

// True when a message box (or dialog) shows an icon: a visible icon control
// that holds one.
bool ShowsIcon(HWND messageBox);
// Waits until the process shows a visible top-level window owned by owner
// (a message box or browser opened by that dialog). Null on time-out.
HWND WaitForOwnedWindow(DWORD processId, HWND owner, DWORD timeoutMs = kDefaultWaitMs);
// Texts (UTF-8) of a window's visible child controls of any kind, in child order.
std::vector<std::string> ChildTexts(HWND window);

} // namespace testing_support
