// Shows one screen of the setup for a screenshot: the destination folder
// dialog, the wait window or message 121, as the setup shows them.
//   ui_showcase.exe folder|wait|message READY_FILE DONE_FILE
// Once the screen is drawn it creates READY_FILE; it closes the screen when
// DONE_FILE appears (or after a minute) and exits.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>
#include <cstring>

#include "base/module_instance.h"
#include "resource_ids.h"
#include "tests/support/wait_until.h"
#include "ui/folder_dialog.h"
#include "ui/message_box.h"
#include "ui/wait_dialog.h"

namespace {
const DWORD kPaintSettleMs = 700;
const DWORD kLifetimeMs = 60000;
const DWORD kPollMs = 100;
const UINT_PTR kMessageTimer = 1;
const UINT kMessageDelayMs = 200;

const char* g_pszReadyFile = "";
const char* g_pszDoneFile = "";

bool FileExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

void MarkReady()
{
    HANDLE file = CreateFileA(g_pszReadyFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

BOOL CALLBACK CloseWindowOf(HWND window, LPARAM)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// Waits until the screen has settled, says so, and closes every top-level
// window of the screen's thread once the screenshot is taken.
DWORD WINAPI Conductor(LPVOID threadId)
{
    DWORD uiThread = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(threadId));
    Sleep(kPaintSettleMs);
    MarkReady();
    testing_support::WaitUntil([] { return FileExists(g_pszDoneFile); }, kLifetimeMs, kPollMs);
    PostThreadMessageA(uiThread, WM_QUIT, 0, 0);
    EnumThreadWindows(uiThread, CloseWindowOf, 0);
    return 0;
}

void ShowWaitWindow()
{
    CWaitDialog dialog;
    HWND window = dialog.Create(nullptr, 0);
    if (!window)
        return;
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    dialog.Close(0);
}

// The folder dialog with the message 121 on top of it.
class CShowcaseFolderDialog : public CFolderDialog {
public:
    explicit CShowcaseFolderDialog(bool withMessage) : CFolderDialog(nullptr), m_bWithMessage(withMessage) {}
    void OnInitDialog() override
    {
        CFolderDialog::OnInitDialog();
        // Once the dialog is on the screen, as the user's OK would.
        if (m_bWithMessage)
            SetTimer(*m_phWnd, kMessageTimer, kMessageDelayMs, nullptr);
    }
    void OnTimer(UINT_PTR timerId) override
    {
        KillTimer(*m_phWnd, timerId);
        OnOK();
    }
    void OnOK() override { ShowOwnedSetupMessage(*m_phWnd, IDS_INVALID_FOLDER, MB_OK | MB_ICONINFORMATION); }

private:
    bool m_bWithMessage;
};
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_hInstance = instance;
    if (__argc < 4)
        return 2;
    const char* screen = __argv[1];
    g_pszReadyFile = __argv[2];
    g_pszDoneFile = __argv[3];
    CoInitialize(nullptr);
    HANDLE conductor = CreateThread(nullptr, 0, Conductor,
                                    reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(GetCurrentThreadId())), 0, nullptr);
    if (std::strcmp(screen, "wait") == 0) {
        ShowWaitWindow();
    } else {
        CShowcaseFolderDialog dialog(std::strcmp(screen, "message") == 0);
        dialog.DoModal(nullptr, 0);
    }
    if (conductor) {
        WaitForSingleObject(conductor, kLifetimeMs);
        CloseHandle(conductor);
    }
    CoUninitialize();
    return 0;
}
