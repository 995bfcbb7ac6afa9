// Stand-in for the person at the screen: walks through one typical run of the
// setup from the medium, takes a picture of each screen and reports the
// outcome. Used by `make run` when there is no display.
//
//   walkthrough.exe MEDIUM_FOLDER PICTURE_FOLDER
//
// Starts MEDIUM_FOLDER\Setup\BCSetup.exe, accepts the proposed destination,
// lets the installer stand-in install, answers the closing message, then
// prints the exit code, the files in "ProgramsPath" and the registry values.
// The installer stand-in holds its window back for a moment, as a real
// installer does while it unpacks itself, so that the wait window can be
// seen (and pictured) before the installer's window covers it.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/machine_registry.h"
#include "tests/support/message_texts.h"
#include "tests/support/screen_picture.h"
#include "tests/support/test_paths.h"
#include "tests/support/ui_driver.h"
#include "tests/support/wait_until.h"

using namespace testing_support;

namespace {
const char kInstallerTitle[] = "かんたん映像箱 インストーラ";
const DWORD kStepWaitMs = 60000;
// How long the installer stand-in holds its window back, and then waits
// before it installs (natively; grown where programs run emulated).
const DWORD kInstallerWindowDelayMs = 2000;
const DWORD kInstallerActionDelayMs = 2500;

void ListFolder(const std::string& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(Widen(folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        std::printf("    (nothing there)\n");
        return;
    }
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            std::printf("    %s\n", Narrow(name).c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

void Picture(const std::string& folder, const char* name)
{
    Sleep(400); // let the window finish painting
    std::string path = folder + name + ".bmp";
    std::printf("  picture: %s%s\n", SaveScreenPicture(path) ? "" : "FAILED ", path.c_str());
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: walkthrough.exe MEDIUM_FOLDER PICTURE_FOLDER\n");
        return 2;
    }
    std::string medium = argv[1];
    std::string pictures = argv[2];
    if (medium.back() != '\\')
        medium += '\\';
    if (pictures.back() != '\\')
        pictures += '\\';
    std::string setupPath = medium + "Setup\\BCSetup.exe";

    LaunchOptions options;
    options.environment = {{"BCSETUP_SETUP_ACTION", "install"},
                           {"BCSETUP_SETUP_WINDOW_DELAY_MS", std::to_string(Scaled(kInstallerWindowDelayMs))},
                           {"BCSETUP_SETUP_DELAY_MS", std::to_string(kInstallerActionDelayMs)}};
    ChildProcess setup;
    std::printf("Starting %s\n", setupPath.c_str());
    if (!setup.Start(setupPath, Quote(setupPath), options)) {
        std::printf("The setup could not be started.\n");
        return 1;
    }

    HWND folder = WaitForWindow(setup.Handle(), setup.Id(), FolderDialogCaption(), kStepWaitMs);
    if (folder) {
        std::printf("1. Destination folder dialog, proposing %s\n", ControlText(folder, 1005).c_str());
        Picture(pictures, "1-destination");
        PressButton(folder, IDOK);
    }
    HWND wait = WaitForWindow(setup.Handle(), setup.Id(), SetupCaption(), kStepWaitMs);
    if (wait && !GetDlgItem(wait, 0xFFFF)) {
        std::printf("2. Wait window\n");
        Picture(pictures, "2-wait");
        // Said when the picture may show the installer instead.
        if (FindWindowW(nullptr, Widen(kInstallerTitle).c_str()))
            std::printf("  (the installer's window was already up)\n");
    }
    HWND installer = nullptr;
    DWORD start = GetTickCount();
    while (!installer && GetTickCount() - start < kStepWaitMs && setup.IsRunning()) {
        installer = FindWindowW(nullptr, Widen(kInstallerTitle).c_str());
        Sleep(50);
    }
    if (installer) {
        std::printf("3. The product's installer\n");
        Picture(pictures, "3-installer");
    }
    HWND box = WaitForMessageBox(setup.Handle(), setup.Id(), SetupCaption(), 5 * kStepWaitMs);
    if (box) {
        std::printf("4. Closing message: %s\n", MessageBoxText(box).c_str());
        Picture(pictures, "4-message");
        PressButton(box, GetDlgItem(box, IDNO) ? IDNO : IDOK);
    }
    DWORD code = 0;
    if (!setup.WaitForExit(kStepWaitMs, &code)) {
        std::printf("The setup did not end.\n");
        return 1;
    }
    std::printf("\nOutcome\n  exit code: %ld\n", static_cast<long>(code));
    std::string installed = ReadMachineValue(kProductKey, "ProgramsPath");
    std::printf("  ProgramsPath: %s\n", installed.c_str());
    std::printf("  files there:\n");
    ListFolder(installed);
    for (const char* name : {"RequireReboot", "CANCELED", "Path"})
        std::printf("  %s: %s\n", name, ReadMachineValue(kProductKey, name).c_str());
    return code == 0 ? 0 : 1;
}
