#include "tests/package/installer_test_support.h"

#include "tests/support/child_process.h"
#include "tests/support/test_paths.h"

using testing_support::Narrow;
using testing_support::Widen;

namespace installer_testing {

const char kInstallerTitle[] = "かんたん映像箱 インストーラ";

namespace {
const wchar_t kProductKey[] = L"Software\\Korvane\\Brixelcast";

void DeleteProductValue(const wchar_t* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, name);
        RegCloseKey(key);
    }
}

void ClearInstallerValues()
{
    for (const wchar_t* name : {L"CANCELED", L"RequireReboot", L"Path"})
        DeleteProductValue(name);
}

bool QueryProductValue(const std::string& name, DWORD* type, void* data, DWORD* size)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    LONG result = RegQueryValueExW(key, Widen(name).c_str(), nullptr, type, static_cast<BYTE*>(data), size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}
} // namespace

ScopedProductKey::ScopedProductKey(const std::string& programsPath)
{
    ClearInstallerValues();
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        std::wstring text = Widen(programsPath);
        RegSetValueExW(key, L"ProgramsPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
}

ScopedProductKey::~ScopedProductKey()
{
    ClearInstallerValues();
    DeleteProductValue(L"ProgramsPath");
}

bool ReadProductDword(const std::string& name, DWORD* value)
{
    DWORD type = 0;
    DWORD size = sizeof(*value);
    return QueryProductValue(name, &type, value, &size) && type == REG_DWORD;
}

std::string ReadProductText(const std::string& name)
{
    wchar_t text[1024] = {};
    DWORD type = 0;
    DWORD size = sizeof(text) - sizeof(wchar_t);
    if (!QueryProductValue(name, &type, text, &size) || type != REG_SZ)
        return std::string();
    return Narrow(text);
}

WindowOnOwnThread::WindowOnOwnThread(const wchar_t* title, int showCommand, WNDPROC procedure)
    : m_pTitle(title), m_nShowCommand(showCommand), m_pProcedure(procedure ? procedure : PlainWindowProc)
{
    m_hReady = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_hThread = CreateThread(nullptr, 0, &WindowOnOwnThread::Main, this, 0, &m_dwThreadId);
    if (m_hThread)
        WaitForSingleObject(m_hReady, 10000);
}

WindowOnOwnThread::~WindowOnOwnThread()
{
    if (m_hThread) {
        PostThreadMessageW(m_dwThreadId, WM_QUIT, 0, 0);
        WaitForSingleObject(m_hThread, 10000);
        CloseHandle(m_hThread);
    }
    CloseHandle(m_hReady);
}

DWORD WINAPI WindowOnOwnThread::Main(void* parameter)
{
    WindowOnOwnThread* self = static_cast<WindowOnOwnThread*>(parameter);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"BCSetupTestOwnWindow";
    RegisterClassW(&windowClass);
    self->m_hWindow = CreateWindowExW(0, windowClass.lpszClassName, self->m_pTitle, WS_OVERLAPPEDWINDOW, 60, 60, 320,
                                      160, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (self->m_hWindow)
        SetWindowLongPtrW(self->m_hWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->m_pProcedure));
    if (self->m_hWindow && self->m_nShowCommand != SW_HIDE)
        ShowWindow(self->m_hWindow, self->m_nShowCommand);
    // Queue exists from here on: a WM_QUIT posted later is not lost.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    SetEvent(self->m_hReady);
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    // The window goes with the thread.
    return 0;
}

BackgroundRun::BackgroundRun(std::function<bool()> call) : m_Call(std::move(call))
{
    m_hThread = CreateThread(nullptr, 0, &BackgroundRun::Main, this, 0, nullptr);
}

BackgroundRun::~BackgroundRun()
{
    if (m_hThread) {
        WaitForSingleObject(m_hThread, INFINITE);
        CloseHandle(m_hThread);
    }
}

bool BackgroundRun::Finished(DWORD timeoutMs) const
{
    return !m_hThread || WaitForSingleObject(m_hThread, timeoutMs) == WAIT_OBJECT_0;
}

DWORD WINAPI BackgroundRun::Main(void* parameter)
{
    BackgroundRun* self = static_cast<BackgroundRun*>(parameter);
    self->m_bResult = self->m_Call();
    return 0;
}

HWND FindTopLevelWindow(const std::string& title)
{
    return FindWindowW(nullptr, Widen(title).c_str());
}

void WorkFolderTest::MakeFolders(const std::string& scratchName)
{
    m_strScratch = testing_support::MakeScratchFolder(scratchName);
    m_strWork = m_strScratch + "work\\";
    ASSERT_TRUE(CreateDirectoryW(Widen(m_strWork).c_str(), nullptr));
}

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CopyProgram(const std::string& binFileName, const std::string& target)
{
    return CopyFileW(Widen(testing_support::BinPath(binFileName)).c_str(), Widen(target).c_str(), FALSE) != FALSE;
}

std::string CurrentFolder()
{
    wchar_t folder[MAX_PATH];
    DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
    return Narrow(std::wstring(folder, length));
}

} // namespace installer_testing
