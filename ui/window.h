#pragma once
// The root of the window classes: an object bound to at most one window.
#include <windows.h>

class CWindow {
public:
    CWindow();
    // Destroys a window that still exists.
    virtual ~CWindow();
    // Default processing for the bound window.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    // The bound window; null while none exists.
    HWND GetHandle() const { return *m_phWnd; }

protected:
    // Every operation reads and writes the handle through this cell, which
    // points at m_hWnd from construction on.
    HWND* m_phWnd;
    HINSTANCE m_hInstance;
    HWND m_hWnd;
};
