// Balloon tooltips for the controls and windows of a dialog.
#include <windows.h>
#include <commctrl.h>

#include "ui/common_controls.h"
#include "ui/dialog_base.h"

namespace {
const int kToolTipTextSize = 1024;
const int kInitialDelayMs = 700;
const int kAutoPopMs = 30000;
} // namespace

bool CDialogBase::CreateToolTip()
{
    if (!LoadCommonControls())
        return false;
    m_hToolTip = CreateWindowExA(WS_EX_TOPMOST, "tooltips_class32", nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX | TTS_BALLOON, 0, 0, 0, 0, *m_phWnd, nullptr,
                                 m_hInstance, nullptr);
    if (!m_hToolTip)
        return false;
    SetWindowPos(m_hToolTip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    SendMessageA(m_hToolTip, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(kInitialDelayMs, 0));
    SendMessageA(m_hToolTip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(kAutoPopMs, 0));
    return true;
}

bool CDialogBase::AddToolTipWithText(HWND tool, char* text)
{
    if (!m_hToolTip)
        return false;
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE; // 44 bytes: understood by every version of the DLL
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = *m_phWnd;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.hinst = m_hInstance;
    info.lpszText = text;
    return SendMessageA(m_hToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) == 1;
}

bool CDialogBase::AddToolTip(HWND tool, const char* text)
{
    // The tooltip copies the text; the message only wants a non-const pointer.
    return AddToolTipWithText(tool, const_cast<char*>(text));
}

bool CDialogBase::AddToolTip(HWND tool, UINT stringId)
{
    char text[kToolTipTextSize] = "";
    LoadStringA(m_hInstance, stringId, text, kToolTipTextSize);
    return AddToolTipWithText(tool, text);
}

bool CDialogBase::AddToolTip(HWND tool)
{
    return AddToolTipWithText(tool, LPSTR_TEXTCALLBACKA);
}

bool CDialogBase::AddToolTip(int controlId, const char* text)
{
    return AddToolTip(GetDlgItem(*m_phWnd, controlId), text);
}

bool CDialogBase::AddToolTip(int controlId, UINT stringId)
{
    return AddToolTip(GetDlgItem(*m_phWnd, controlId), stringId);
}

bool CDialogBase::AddToolTip(int controlId)
{
    return AddToolTip(GetDlgItem(*m_phWnd, controlId));
}
