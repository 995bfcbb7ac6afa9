#pragma once
// The wait window's own thread: a queue thread named "Waitdlg" that makes
// the (hidden) wait window when it starts, pumps its messages while it
// waits, and destroys it when the close command comes. The main thread
// starts it, shows the window (ShowWindow works across threads), stops it
// and only then reads whether a request to end the session came.
#include <windows.h>

#include "base/queue_thread.h"
#include "ui/wait_dialog.h"

class CWaitDialogThread : public CQueueThread {
public:
    CWaitDialogThread();
    // Stops a worker that still runs (close and quit posted, waited for
    // without limit) before the dialog member goes, so the window is never
    // torn down while the worker can still dispatch messages to it.
    ~CWaitDialogThread();

    // On the worker: makes the hidden wait window. Succeeds also when the
    // window cannot be made; the setup then runs without it.
    HRESULT OnThreadInit() override;
    // On the worker, for the close command: destroys the window.
    void OnClose() override;
    // On the worker as it ends: a window still there (the worker was ended
    // by a quit message) is destroyed on its own thread too.
    HRESULT OnThreadExit() override;

    // The wait window; null before Start, after Stop, or when it could not
    // be made.
    HWND GetWindow() const { return m_Dialog.GetHandle(); }
    // Read only after Stop: whether a request to end the session came.
    BOOL WasShutdownAsked() const { return m_Dialog.WasShutdownAsked(); }

protected:
    CWaitDialog m_Dialog;
};
