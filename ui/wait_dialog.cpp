#include "ui/wait_dialog.h"

#include "resource_ids.h"

CWaitDialog::CWaitDialog() : CDialogBase(IDD_WAIT), m_bShutdownAsked(FALSE) {}

INT_PTR CWaitDialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        // Buttons, menus and commands sent by other programs must not close
        // the window: those with code 0, and IDOK and IDCANCEL with any code.
        if (HIWORD(wParam) == 0 || LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            return FALSE;
        break;
    case WM_QUERYENDSESSION:
        m_bShutdownAsked = TRUE;
        SetWindowLongPtrA(*m_phWnd, DWLP_MSGRESULT, FALSE);
        return TRUE;
    default: break;
    }
    return CDialogBase::DialogProc(message, wParam, lParam);
}
