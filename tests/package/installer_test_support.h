#pragma once
// What the installer-run tests share: the product key's values the installer
// stand-in reads and leaves, a window on a thread of its own (as the wait
// window lives on its own thread in the setup), a run on a worker thread
// that the test watches, and small file helpers. Texts are UTF-8.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace installer_testing {

extern const char kInstallerTitle[]; // "かんたん映像箱 インストーラ"

// Sets "ProgramsPath" of the product key for the life of the object and
// clears "CANCELED", "RequireReboot" and "Path" before and after.
class ScopedProductKey {
public:
    explicit ScopedProductKey(const std::string& programsPath);
    ~ScopedProductKey();
    ScopedProductKey(const ScopedProductKey&) = delete;
    ScopedProductKey& operator=(const ScopedProductKey&) = delete;
};
// A 32-bit value of the product key; false when it is missing.
bool ReadProductDword(const std::string& name, DWORD* value);
// A text value of the product key; empty when it is missing.
std::string ReadProductText(const std::string& name);

// A top-level window created, and served, by a thread of its own; plain
// unless a window procedure is given.
class WindowOnOwnThread {
public:
    WindowOnOwnThread(const wchar_t* title, int showCommand, WNDPROC procedure = nullptr); // SW_HIDE: never shown
    ~WindowOnOwnThread();
    WindowOnOwnThread(const WindowOnOwnThread&) = delete;
    WindowOnOwnThread& operator=(const WindowOnOwnThread&) = delete;
    HWND Window() const { return m_hWindow; }

private:
    static DWORD WINAPI Main(void* parameter);
    const wchar_t* m_pTitle;
    int m_nShowCommand;
    WNDPROC m_pProcedure;
    HANDLE m_hReady = nullptr;
    HANDLE m_hThread = nullptr;
    DWORD m_dwThreadId = 0;
    HWND m_hWindow = nullptr;
};

// Runs a call on a worker thread; the test watches and acts meanwhile.
class BackgroundRun {
public:
    explicit BackgroundRun(std::function<bool()> call);
    ~BackgroundRun(); // waits for the end
    BackgroundRun(const BackgroundRun&) = delete;
    BackgroundRun& operator=(const BackgroundRun&) = delete;
    bool Finished(DWORD timeoutMs = 0) const;
    bool Result() const { return m_bResult; }

private:
    static DWORD WINAPI Main(void* parameter);
    std::function<bool()> m_Call;
    bool m_bResult = false;
    HANDLE m_hThread = nullptr;
};

// The installer stand-in's window, found by its (or another) title; null until it is up.
HWND FindTopLevelWindow(const std::string& title);

// A fixture with a fresh scratch folder and an empty work folder "work\"
// inside it, both with a trailing backslash.
class WorkFolderTest : public ::testing::Test {
protected:
    void MakeFolders(const std::string& scratchName);
    std::string m_strScratch;
    std::string m_strWork;
};

bool FileExists(const std::string& path);
bool CopyProgram(const std::string& binFileName, const std::string& target);
// The test's own current folder (UTF-8), which the installers inherit.
std::string CurrentFolder();

} // namespace installer_testing
