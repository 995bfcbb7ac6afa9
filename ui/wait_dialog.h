#pragma once
// The small "please wait" window shown while the installers run. It lives on
// a worker thread of its own (CWaitDialogThread), cannot be closed from
// outside (no close box; commands sent to it are ignored), and while it
// exists it refuses every request to end the Windows session and records
// that one came, so that the setup can offer the restart itself at the end.
#include <windows.h>

#include "ui/dialog_base.h"

class CWaitDialog : public CDialogBase {
public:
    CWaitDialog();

    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // 1 once a request to end the session reached the window; never reset.
    // Read it only after the window's thread has ended.
    BOOL WasShutdownAsked() const { return m_bShutdownAsked; }

protected:
    BOOL m_bShutdownAsked;
};
