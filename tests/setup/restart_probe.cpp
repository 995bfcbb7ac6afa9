// Calls RestartWindows and reports through its exit code:
//   0  RestartWindows returned, and the shutdown privilege, present but not
//      enabled before, is enabled afterwards (with --windows98: still not
//      enabled, as Windows 98 and Me have no privileges to enable)
//   2  the process token lacks the shutdown privilege
//   3  the privilege was already enabled, so the test would show nothing
//   4  the privilege is not as expected after the call
// With --whole-run it instead plays the user through a whole run of
// BCSetup.exe whose product installer asks for a restart, answers Yes to the
// restart question and reports:
//   0  the run went to its end with exit code 0 after the Yes
//   5  a screen did not come as expected, or the setup did not end well
// Run only in a throwaway Wine prefix: it asks Windows to restart.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "resource_ids.h"
#include "setup/restart_windows.h"
#include "tests/support/child_process.h"
#include "tests/support/message_texts.h"
#include "tests/support/setup_exit_codes.h"
#include "tests/support/test_paths.h"
#include "tests/support/ui_driver.h"

namespace {
const int kWholeRunFailed = 5;
const DWORD kStepWaitMs = 120000;

// SE_PRIVILEGE_* attributes of SeShutdownPrivilege in the process token; -1 when absent.
long ShutdownPrivilegeAttributes()
{
    LUID shutdown;
    HANDLE token = nullptr;
    if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &shutdown) ||
        !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return -1;
    DWORD size = 0;
    GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<DWORD> buffer(size / sizeof(DWORD) + 1);
    long attributes = -1;
    if (GetTokenInformation(token, TokenPrivileges, buffer.data(), static_cast<DWORD>(buffer.size() * sizeof(DWORD)),
                            &size)) {
        const TOKEN_PRIVILEGES* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
        for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
            const LUID& luid = privileges->Privileges[i].Luid;
            if (luid.LowPart == shutdown.LowPart && luid.HighPart == shutdown.HighPart)
                attributes = static_cast<long>(privileges->Privileges[i].Attributes);
        }
    }
    CloseHandle(token);
    return attributes;
}

int Failed(const char* what)
{
    std::printf("whole run: %s\n", what);
    return kWholeRunFailed;
}

// Destination accepted, the installer sets "RequireReboot", Yes to message 110.
int WholeRunAnsweringYes()
{
    using namespace testing_support;
    std::string program = BinPath("BCSetup.exe");
    LaunchOptions options;
    options.environment = {
        {"BCSETUP_SETUP_ACTION", "install"}, {"BCSETUP_SETUP_REQUIRE_REBOOT", "1"}, {"BCSETUP_SETUP_WINDOW", "none"}};
    ChildProcess setup;
    if (!setup.Start(program, Quote(program), options))
        return Failed("the setup could not be started");
    HWND dialog = WaitForWindow(setup.Handle(), setup.Id(), FolderDialogCaption(), kStepWaitMs);
    if (!dialog)
        return Failed("no folder dialog");
    PressButton(dialog, IDOK);
    HWND box = WaitForMessageBox(setup.Handle(), setup.Id(), SetupCaption(), kStepWaitMs);
    if (!box || MessageBoxText(box) != MessageText(IDS_RESTART_QUESTION))
        return Failed("no restart question");
    PressButton(box, IDYES);
    DWORD code = 1;
    if (!setup.WaitForExit(kStepWaitMs, &code) || code != kExitOk)
        return Failed("the setup did not end with exit code 0");
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && lstrcmpA(argv[1], "--whole-run") == 0)
        return WholeRunAnsweringYes();
    const bool windows98 = argc > 1 && lstrcmpA(argv[1], "--windows98") == 0;
    const long before = ShutdownPrivilegeAttributes();
    if (before < 0)
        return 2;
    if (before & SE_PRIVILEGE_ENABLED)
        return 3;
    RestartWindows();
    const bool enabled = (ShutdownPrivilegeAttributes() & SE_PRIVILEGE_ENABLED) != 0;
    return enabled != windows98 ? 0 : 4;
}
