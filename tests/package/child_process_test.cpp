// Starting a program and waiting for it (RunAndWait), and raising another
// thread's or process's window (BringWindowToFront), with the stand-ins.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "package/child_process.h"
#include "tests/package/installer_test_support.h"
#include "tests/support/ansi_text.h"
#include "tests/support/child_process.h"
#include "tests/support/standin_journal.h"
#include "tests/support/test_paths.h"
#include "tests/support/ui_driver.h"
#include "tests/support/wait_until.h"

using namespace testing_support;
using installer_testing::CopyProgram;
using installer_testing::WindowOnOwnThread;

namespace {
HRESULT RunLine(const std::string& ansiLine, const char* applicationName = nullptr)
{
    std::vector<char> line(ansiLine.begin(), ansiLine.end());
    line.push_back('\0');
    return RunAndWait(line.data(), applicationName);
}

DWORD ForegroundLockTimeout()
{
    DWORD value = 0;
    SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &value, 0);
    return value;
}

void SetForegroundLockTimeout(DWORD value)
{
    SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(value)), 0);
}

// Keeps the system's foreground lock time-out at a value of the test's
// choosing and puts the old one back afterwards.
class ScopedLockTimeout {
public:
    explicit ScopedLockTimeout(DWORD value) : m_dwOld(ForegroundLockTimeout()) { SetForegroundLockTimeout(value); }
    ~ScopedLockTimeout() { SetForegroundLockTimeout(m_dwOld); }

private:
    DWORD m_dwOld;
};

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

// Test windows are left to the end of the process: hiding or destroying a
// shown top-level window costs two seconds under Wine without a window manager.
HWND CreatePlainWindow(const wchar_t* title, bool activate, bool show = true)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = PlainWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"BCSetupTestWindow";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, title, WS_OVERLAPPEDWINDOW, 40, 40, 300, 200, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    if (show)
        ShowWindow(window, activate ? SW_SHOW : SW_SHOWNOACTIVATE);
    return window;
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Makes window the foreground window the way the user would, by clicking it
// into the foreground from its own thread, and says whether it took.
bool MakeForeground(HWND window)
{
    for (int attempt = 0; attempt < 100 && GetForegroundWindow() != window; ++attempt) {
        SetForegroundWindow(window);
        PumpMessages();
        Sleep(10);
    }
    return GetForegroundWindow() == window;
}

bool WaitForForeground(HWND window, DWORD timeoutMs = 5000)
{
    return WaitUntil(
        [window] {
            if (GetForegroundWindow() == window)
                return true;
            PumpMessages();
            return false;
        },
        timeoutMs);
}

} // namespace

TEST(RunAndWait, MissingProgramGivesFalse)
{
    std::string folder = ToAnsi(MakeScratchFolder("run-missing"));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), RunLine("\"" + folder + "missing.exe\" /Q"));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
              RunLine(folder + "missing.exe", (folder + "missing.exe").c_str()));
    EXPECT_TRUE(FAILED(RunLine("")));
}

TEST(RunAndWait, WaitsForTheEndAndIgnoresTheExitCode)
{
    std::string folder = MakeScratchFolder("run-exit-code");
    ScopedJournal journal(folder);
    // The child inherits this process's environment: that is how it is scripted.
    ScopedEnvironmentVariable exitCode("BCSETUP_WMFDIST_EXIT_CODE", "7");
    ScopedEnvironmentVariable delay("BCSETUP_WMFDIST_DELAY_MS", "400");
    std::string program = ToAnsi(BinPath("wmfdist.exe"));
    EXPECT_EQ(S_OK, RunLine("\"" + program + "\" /Q"));
    // The stand-in writes its line as its last act: it is there, so the run waited.
    std::vector<JournalEntry> entries = journal.Entries();
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ("wmfdist", entries[0].name);
    EXPECT_EQ("\"" + BinPath("wmfdist.exe") + "\" /Q", entries[0].commandLine);
    EXPECT_EQ("installed silently", entries[0].action);
    // The setup's own current folder is the child's.
    wchar_t current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, current);
    EXPECT_EQ(Narrow(current), entries[0].folder);
}

// With blanks in an unquoted path the platform tries each shorter prefix as
// a program first; naming the program explicitly runs only the named file.
TEST(RunAndWait, NamedProgramRunsInsteadOfAProgramAtAShorterPrefix)
{
    std::string scratch = MakeScratchFolder("run-prefix");
    std::string work = scratch + "Work Folder\\";
    ASSERT_TRUE(CreateDirectoryW(Widen(work).c_str(), nullptr));
    ASSERT_TRUE(CopyProgram("wmfdist.exe", work + "wmfdist.exe"));
    ASSERT_TRUE(CopyProgram("DivXPro.exe", scratch + "Work.exe")); // planted
    ScopedJournal journal(scratch);
    std::string installer = ToAnsi(work + "wmfdist.exe");

    // The hazard exists here: without a program name the planted one runs.
    EXPECT_EQ(S_OK, RunLine(installer + " /Q"));
    std::vector<JournalEntry> entries = journal.Entries();
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(scratch + "Work.exe", entries[0].program);

    EXPECT_EQ(S_OK, RunLine(installer + " /Q", installer.c_str()));
    entries = journal.Entries();
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(work + "wmfdist.exe", entries[1].program);
    EXPECT_EQ(work + "wmfdist.exe /Q", entries[1].commandLine);
    EXPECT_EQ("installed silently", entries[1].action);
}

TEST(BringWindowToFront, InvalidWindowGivesFalseAndChangesNothing)
{
    HWND own = CreatePlainWindow(L"own", true);
    ASSERT_TRUE(MakeForeground(own));
    ScopedLockTimeout lockTimeout(43210);
    HWND gone = CreatePlainWindow(L"gone", false, false);
    DestroyWindow(gone);
    EXPECT_FALSE(BringWindowToFront(gone));
    EXPECT_FALSE(BringWindowToFront(nullptr));
    EXPECT_EQ(own, GetForegroundWindow());
    EXPECT_EQ(43210u, ForegroundLockTimeout());
}

TEST(BringWindowToFront, WindowOfTheForegroundThread)
{
    HWND first = CreatePlainWindow(L"first", true);
    HWND second = CreatePlainWindow(L"second", false);
    ASSERT_TRUE(MakeForeground(first));
    ScopedLockTimeout lockTimeout(43210);
    EXPECT_TRUE(BringWindowToFront(second));
    EXPECT_TRUE(WaitForForeground(second));
    EXPECT_EQ(43210u, ForegroundLockTimeout());
}

TEST(BringWindowToFront, WindowOfAnotherThreadAndTheLockTimeoutAfterwards)
{
    HWND own = CreatePlainWindow(L"own", true);
    ASSERT_TRUE(MakeForeground(own));
    WindowOnOwnThread other(L"other thread", SW_SHOWNOACTIVATE);
    ASSERT_NE(nullptr, other.Window());
    ASSERT_EQ(own, GetForegroundWindow());
    ScopedLockTimeout lockTimeout(43210);
    EXPECT_TRUE(BringWindowToFront(other.Window()));
    EXPECT_TRUE(WaitForForeground(other.Window()));
    EXPECT_EQ(43210u, ForegroundLockTimeout());
}

TEST(BringWindowToFront, WindowOfAnotherProcess)
{
    HWND own = CreatePlainWindow(L"own", true);
    ASSERT_TRUE(MakeForeground(own));
    std::string folder = MakeScratchFolder("front-process");
    ScopedJournal journal(folder);
    ChildProcess companion;
    // Started without arguments the stand-in asks in a window, here one that
    // does not take the focus.
    ASSERT_TRUE(
        companion.Start(BinPath("wmfdist.exe"), "wmfdist.exe", {"", {{"BCSETUP_WMFDIST_WINDOW", "noactivate"}}}));
    HWND window = WaitForWindow(companion.Handle(), companion.Id(), "Windows Media Format Runtime");
    ASSERT_NE(nullptr, window);
    EXPECT_FALSE(WaitForForeground(window, 500)) << "the stand-in's window took the focus by itself";
    ScopedLockTimeout lockTimeout(43210);
    EXPECT_TRUE(BringWindowToFront(window));
    EXPECT_TRUE(WaitForForeground(window));
    EXPECT_EQ(43210u, ForegroundLockTimeout());
    PressButton(window, IDCANCEL);
    DWORD code = 0;
    EXPECT_TRUE(companion.WaitForExit(10000, &code));
    EXPECT_EQ(1602u, code);
}

// With no foreground window at all there is no lock to get past: the window
// is brought to the front directly.
TEST(BringWindowToFront, NoForegroundWindow)
{
    HWND own = CreatePlainWindow(L"own", true);
    ASSERT_TRUE(MakeForeground(own));
    WindowOnOwnThread other(L"other thread", SW_SHOWNOACTIVATE);
    WindowOnOwnThread target(L"target", SW_SHOWNOACTIVATE);
    // Under Wine, undoing an input attachment leaves no foreground window.
    DWORD ownThread = GetCurrentThreadId();
    DWORD otherThread = GetWindowThreadProcessId(other.Window(), nullptr);
    AttachThreadInput(otherThread, ownThread, TRUE);
    SetForegroundWindow(other.Window());
    AttachThreadInput(otherThread, ownThread, FALSE);
    if (GetForegroundWindow() != nullptr)
        GTEST_SKIP() << "this system keeps a foreground window";
    EXPECT_TRUE(BringWindowToFront(target.Window()));
    EXPECT_TRUE(WaitForForeground(target.Window()));
}
