#pragma once
// Running the installers: start a program as a new process and wait for its
// end, and raise another process's window to the front.
#include <windows.h>

#include "base/text_string.h"
#include "base/unique_handle.h"

// One started child process. Owns its process and thread handles and closes
// them on every path. Its start and end go to the setup log.
class CChildProcess {
public:
    // CreateProcessA with a start-up record that imposes nothing, handles not
    // inherited, a new console and process group (0x210), the setup's own
    // environment and current folder. The child sees commandLine as its
    // command line. With applicationName the program is named explicitly:
    // only that file can run, whatever blanks the command line holds.
    // Without it the program is the command line's first token. The
    // platform's failure when it can't be started.
    HRESULT Start(const char* applicationName, char* commandLine);
    // Waits without a time-out for the process to end. S_FALSE when none
    // was started; the platform's failure when the wait failed.
    HRESULT WaitForEnd();
    HANDLE GetProcess() const { return m_hProcess.Get(); }
    void Close();

private:
    UniqueKernelHandle m_hProcess;
    UniqueKernelHandle m_hThread;
    CTextString m_strProgram; // for the log
    DWORD m_dwStartTicks = 0;
};

// Starts commandLine and blocks until the process has ended. S_OK once it
// was started and waited for, whatever its exit code (a wait that fails is
// logged and still counts as run); the platform's failure when it can't be
// started. applicationName, when given, names the program file to run (see
// CChildProcess::Start).
HRESULT RunAndWait(char* commandLine, const char* applicationName = nullptr);

// Makes window the foreground window, even when it belongs to another
// process and the foreground lock would refuse it. False when the window's
// thread cannot be determined (no such window).
bool BringWindowToFront(HWND window);
