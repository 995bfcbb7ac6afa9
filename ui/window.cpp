#include "ui/window.h"

#include "base/module_instance.h"

CWindow::CWindow() : m_phWnd(&m_hWnd), m_hInstance(g_hInstance), m_hWnd(nullptr) {}

CWindow::~CWindow()
{
    if (*m_phWnd) {
        DestroyWindow(*m_phWnd);
        *m_phWnd = nullptr;
    }
}

LRESULT CWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(*m_phWnd, message, wParam, lParam);
}
