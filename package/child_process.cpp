#include "package/child_process.h"

#include "base/setup_log.h"
#include "package/disk_file.h"

namespace {
// CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP
const DWORD kCreationFlags = 0x210;
} // namespace

HRESULT CChildProcess::Start(const char* applicationName, char* commandLine)
{
    Close();
    m_strProgram.Assign(applicationName ? applicationName : commandLine);
    const char* program = m_strProgram.GetData() ? m_strProgram.GetData() : "";
    // The child inherits our current folder.
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, folder);
    LogEvent("Starting %s, command line: %s, working folder: %s", program, commandLine ? commandLine : "", folder);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info;
    ZeroMemory(&info, sizeof(info));
    if (!CreateProcessA(applicationName, commandLine, nullptr, nullptr, FALSE, kCreationFlags, nullptr, nullptr,
                        &startup, &info)) {
        HRESULT result = LastErrorResult();
        LogFailure(result, "Failed to start %s", program);
        return result;
    }
    m_hProcess.Reset(info.hProcess);
    m_hThread.Reset(info.hThread);
    m_dwStartTicks = GetTickCount();
    return S_OK;
}

HRESULT CChildProcess::WaitForEnd()
{
    if (!m_hProcess)
        return S_FALSE;
    const char* program = m_strProgram.GetData() ? m_strProgram.GetData() : "";
    if (WaitForSingleObject(m_hProcess.Get(), INFINITE) == WAIT_FAILED) {
        HRESULT result = LastErrorResult();
        LogFailure(result, "Failed to wait for %s", program);
        return result;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(m_hProcess.Get(), &exitCode);
    LogEvent("%s ended after %lu ms, exit code %lu (0x%08lX)", program,
             static_cast<unsigned long>(GetTickCount() - m_dwStartTicks), static_cast<unsigned long>(exitCode),
             static_cast<unsigned long>(exitCode));
    return S_OK;
}

void CChildProcess::Close()
{
    m_hThread.Reset();
    m_hProcess.Reset();
}

HRESULT RunAndWait(char* commandLine, const char* applicationName)
{
    CChildProcess child;
    HRESULT result = child.Start(applicationName, commandLine);
    if (FAILED(result))
        return result;
    // Only a program that could not be started counts as failed: a failed
    // wait is in the log, and the run goes on.
    child.WaitForEnd();
    return S_OK;
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
        SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                              reinterpret_cast<void*>(static_cast<UINT_PTR>(savedTimeout)), 0);
    AttachThreadInput(targetThread, foregroundThread, FALSE);
    // Where undoing the attachment takes the foreground away again (Wine),
    // there is no lock to get past any more: switch once more directly.
    if (GetForegroundWindow() != window)
        SetForegroundWindow(window);
    return true;
}
