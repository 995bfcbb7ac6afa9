#pragma once
// The one small window the stand-ins show: a title, a text and up to two
// buttons (IDOK and IDCANCEL, so tests press them by id). Closing it counts
// as IDCANCEL. It can act on its own after a delay, as if a button had been
// pressed, so a scripted run needs no one at the screen.
#include <windows.h>

#include <functional>
#include <string>

#include "standins/common/standin_script.h"

namespace standin {

struct WindowRequest {
    std::wstring title;
    std::wstring text;
    std::wstring okText;     // empty: no OK button
    std::wstring cancelText; // empty: no Cancel button
    bool activate = true;    // false: shown without taking the focus
    int autoChoice = 0;      // IDOK or IDCANCEL pressed after autoDelayMs; 0: wait for the user
    DWORD autoDelayMs = 0;
    std::function<void(HWND)> onShown; // runs once the window is on screen
};

// Shows the window and runs its message loop until a button is pressed or
// the window is closed. Returns IDOK or IDCANCEL; 0 when no window could be made.
int RunWindow(const WindowRequest& request);

} // namespace standin
