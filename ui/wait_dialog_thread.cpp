#include "ui/wait_dialog_thread.h"

CWaitDialogThread::CWaitDialogThread() : CQueueThread("Waitdlg")
{
    // The window lives on the worker, which must dispatch its messages.
    m_bPumpMessages = true;
}

CWaitDialogThread::~CWaitDialogThread()
{
    if (IsRunning())
        Stop(true, false, false);
}

HRESULT CWaitDialogThread::OnThreadInit()
{
    m_Dialog.Create(nullptr, 0);
    return S_OK;
}

void CWaitDialogThread::OnClose()
{
    m_Dialog.Close(0);
}

HRESULT CWaitDialogThread::OnThreadExit()
{
    if (m_Dialog.GetHandle())
        m_Dialog.Close(0);
    return CQueueThread::OnThreadExit();
}
