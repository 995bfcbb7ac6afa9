#pragma once
// Starting a program for a test: command line, extra environment variables
// and current folder; waiting for its end with a time-out. Texts are UTF-8.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace testing_support {

struct LaunchOptions {
    std::string currentFolder;                                    // empty: the test's own
    std::vector<std::pair<std::string, std::string>> environment; // set (or, with an empty value, removed)
};

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess(); // ends a child that still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts program with the whole command line commandLine (which should
    // name the program first, as Windows expects). False when it can't start.
    bool Start(const std::string& program, const std::string& commandLine, const LaunchOptions& options = {});
    // Waits for the end; false on time-out. The exit code goes to exitCode.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    bool IsRunning() const;
    void Terminate();

    DWORD Id() const { return m_dwProcessId; }
    HANDLE Handle() const { return m_hProcess; }

private:
    HANDLE m_hProcess = nullptr;
    DWORD m_dwProcessId = 0;
};

// Quotes one argument for a command line if it holds blanks.
std::string Quote(const std::string& argument);

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

} // namespace testing_support
