#include "package/child_process.h"

namespace {
// CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP
const DWORD kCreationFlags = 0x210;
} // namespace

bool CChildProcess::Start(const char* applicationName, char* commandLine)
{
    Close();
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info;
    ZeroMemory(&info, sizeof(info));
    if (!CreateProcessA(applicationName, commandLine, nullptr, nullptr, FALSE, kCreationFlags, nullptr, nullptr,
                        &startup, &info))
        return false;
    m_hProcess.Reset(info.hProcess);
    m_hThread.Reset(info.hThread);
    return true;
}

void CChildProcess::WaitForEnd()
{
    if (m_hProcess)
        WaitForSingleObject(m_hProcess.Get(), INFINITE);
}

void CChildProcess::Close()
{
    m_hThread.Reset();
    m_hProcess.Reset();
}

bool RunAndWait(char* commandLine, const char* applicationName)
{
    CChildProcess child;
    if (!child.Start(applicationName, commandLine))
        return false;
    child.WaitForEnd();
    return true;
}

bool BringWindowToFront(HWND window)
{
    DWORD targetThread = GetWindowThreadProcessId(window, nullptr);
    if (targetThread == 0)
        return false;
    DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    // With no foreground window there is no lock to get past.
    if (foregroundThread == 0 || foregroundThread == targetThread) {
        SetForegroundWindow(window);
        return true;
    }
    // Tie the window's input to the foreground window's thread for the
    // moment of the switch, with the lock time-out at 0, then undo both.
    // The time-out is only touched when its value could be saved, so that
    // the system's setting is never left changed.
    AttachThreadInput(targetThread, foregroundThread, TRUE);
    DWORD savedTimeout = 0;
    bool saved = SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &savedTimeout, 0) != FALSE;
    if (saved)
        SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
    SetForegroundWindow(window);
    if (saved)
        SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(savedTimeout)), 0);
    AttachThreadInput(targetThread, foregroundThread, FALSE);
    // Where undoing the attachment takes the foreground away again (Wine),
    // there is no lock to get past any more: switch once more directly.
    if (GetForegroundWindow() != window)
        SetForegroundWindow(window);
    return true;
}
