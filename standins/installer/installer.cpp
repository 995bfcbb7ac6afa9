// Stand-in for the product's InstallShield setup, setup.exe, run by the
// setup from the unpacked main package. It honours the contract the setup
// relies on: no arguments; a window titled "かんたん映像箱 インストーラ" that shows
// the destination folder (the product key's "ProgramsPath"); Install copies
// the product into that folder and records it in the product key; Cancel
// (or closing the window) sets "CANCELED" = 1; it ends its process when done.
//
// Scripting variables BCSETUP_SETUP_* (see standins/common/standin_script.h):
// ACTION=install|cancel acts without a click after DELAY_MS;
// WINDOW_DELAY_MS holds the window back that long first;
// REQUIRE_REBOOT=1 sets "RequireReboot" = 1 with the installation;
// END_SESSION=1 asks Windows to end the session once the window is up;
// STARTED names a file that receives the performance counter as this
// process starts (the peer benchmark's start to setup.exe);
// WINDOW, TITLE, EXIT_CODE and REGISTRY as for every stand-in.
#include <windows.h>

#include <cwchar>
#include <string>

#include "standins/common/standin_journal.h"
#include "standins/common/standin_registry.h"
#include "standins/common/standin_script.h"
#include "standins/common/standin_window.h"
#include "standins/installer/product_installation.h"

namespace {
using namespace standin;

const wchar_t kName[] = L"setup";
const wchar_t kPrefix[] = L"BCSETUP_SETUP_";
// "かんたん映像箱 インストーラ"
const wchar_t kTitle[] = L"\u304B\u3093\u305F\u3093\u6620\u50CF\u7BB1 \u30A4\u30F3\u30B9\u30C8\u30FC\u30E9";
const int kExitBrokenPackage = 3;
const int kExitInstallFailed = 4;

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH * 2];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

struct Run {
    Script script;
    std::wstring action; // scripted: "install", "cancel" or empty (interactive)
    bool requireReboot = false;
    DWORD windowDelayMs = 0; // before the window shows
    std::wstring journal;    // what it did, for the journal line

    bool Interactive() const { return action.empty() && script.window != WindowMode::None; }

    void Note(const std::wstring& text)
    {
        if (!journal.empty())
            journal += L"; ";
        journal += text;
    }

    void Fail(const std::wstring& text)
    {
        Note(L"error: " + text);
        if (Interactive())
            MessageBoxW(nullptr, text.c_str(), script.title.empty() ? kTitle : script.title.c_str(),
                        MB_OK | MB_ICONERROR);
    }

    void EndSession() { Note(AskToEndSession() ? L"asked to end the session" : L"could not ask to end the session"); }

    // IDOK to install, IDCANCEL to cancel: by the user, or as scripted.
    int Choose(const std::wstring& destination)
    {
        int scripted = action == L"cancel" ? IDCANCEL : IDOK;
        if (script.window == WindowMode::None) {
            if (script.endSession)
                EndSession();
            Sleep(script.delayMs);
            return scripted;
        }
        WindowRequest request;
        request.title = script.title.empty() ? kTitle : script.title;
        request.text = L"Brixelcast will be installed in:\n\n" +
                       (destination.empty() ? std::wstring(L"(no folder given)") : destination);
        request.okText = L"&Install";
        request.cancelText = L"Cancel";
        request.activate = script.window != WindowMode::NoActivate;
        if (!action.empty()) {
            request.autoChoice = scripted;
            request.autoDelayMs = script.delayMs;
        }
        if (script.endSession)
            request.onShown = [this](HWND) { EndSession(); };
        Sleep(windowDelayMs);
        int choice = RunWindow(request);
        return choice == 0 ? scripted : choice;
    }

    int Execute()
    {
        std::wstring packageFolder = ProgramFolder();
        std::wstring missing = MissingPackageFile(packageFolder);
        if (!missing.empty()) {
            Fail(L"the package lacks " + missing);
            return kExitBrokenPackage;
        }
        std::wstring destination = ReadRegistryText(L"HKLM", kProductKey, L"ProgramsPath");
        int exitCode = script.hasExitCode ? script.exitCode : 0;
        if (Choose(destination) != IDOK) {
            WriteRegistryDword(L"HKLM", kProductKey, L"CANCELED", 1);
            Note(L"cancelled");
        } else {
            std::wstring error;
            if (!InstallProduct(packageFolder, destination, &error)) {
                Fail(error);
                return kExitInstallFailed;
            }
            Note(L"installed to " + destination);
            if (requireReboot) {
                WriteRegistryDword(L"HKLM", kProductKey, L"RequireReboot", 1);
                Note(L"restart required");
            }
        }
        if (!script.registry.empty())
            ApplyRegistryValues(script.registry, &journal);
        return exitCode;
    }
};

// For the peer benchmark: when this process started.
void StampStart()
{
    std::wstring path = EnvironmentText(std::wstring(kPrefix) + L"STARTED");
    if (path.empty())
        return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    std::string text = std::to_string(now.QuadPart);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    StampStart();
    Run run;
    run.script = ReadScript(kPrefix);
    run.action = EnvironmentText(std::wstring(kPrefix) + L"ACTION");
    run.requireReboot = EnvironmentText(std::wstring(kPrefix) + L"REQUIRE_REBOOT") == L"1";
    std::wstring windowDelay = EnvironmentText(std::wstring(kPrefix) + L"WINDOW_DELAY_MS");
    run.windowDelayMs = static_cast<DWORD>(std::wcstoul(windowDelay.c_str(), nullptr, 10));
    int exitCode = run.Execute();
    WriteJournal(kName, run.journal);
    return exitCode;
}
