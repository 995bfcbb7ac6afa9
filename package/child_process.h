#pragma once
// Running the installers: start a program as a new process and wait for its
// end, and raise another process's window to the front.
#include <windows.h>

#include "base/unique_handle.h"

// One started child process. Owns its process and thread handles and closes
// them on every path.
class CChildProcess {
public:
    // CreateProcessA with a start-up record that imposes nothing, handles not
    // inherited, a new console and process group (0x210), the setup's own
    // environment and current folder. The child sees commandLine as its
    // command line. With applicationName the program is named explicitly:
    // only that file can run, whatever blanks the command line holds.
    // Without it the program is the command line's first token.
    bool Start(const char* applicationName, char* commandLine);
    // Waits without a time-out for the process to end.
    void WaitForEnd();
    HANDLE GetProcess() const { return m_hProcess.Get(); }
    void Close();

private:
    UniqueKernelHandle m_hProcess;
    UniqueKernelHandle m_hThread;
};

// Starts commandLine and blocks until the process has ended. False when it
// cannot be started; the child's exit code plays no part. applicationName,
// when given, names the program file to run (see CChildProcess::Start).
bool RunAndWait(char* commandLine, const char* applicationName = nullptr);

// Makes window the foreground window, even when it belongs to another
// process and the foreground lock would refuse it. False when the window's
// thread cannot be determined (no such window).
bool BringWindowToFront(HWND window);
