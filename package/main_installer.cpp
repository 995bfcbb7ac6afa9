#include "package/main_installer.h"

#include "base/setup_log.h"
#include "base/text_string.h"
#include "package/child_process.h"
#include "package/disk_file.h"
#include "package/multimedia_clock.h"
#include "package/package_archive.h"
#include "package/payload_extraction.h"
#include "resource_ids.h"

namespace {
const char kPackageFileName[] = "BCSetup_IS.bin";
const char kInstallerFileName[] = "setup.exe";
// The installer window's title, "かんたん映像箱 インストーラ". Compared as
// Unicode text so that it is found whatever the system's code page.
const wchar_t kInstallerTitle[] = L"\u304B\u3093\u305F\u3093\u6620\u50CF\u7BB1 \u30A4\u30F3\u30B9\u30C8\u30FC\u30E9";
const DWORD kSearchMs = 10000;
const DWORD kSearchIntervalMs = 500;

// Looks for the installer's window right after the start and then every
// 500 ms for about 10 seconds, and raises it once found. The search ends
// early when the installer has already ended.
void RaiseInstallerWindow(HANDLE installer)
{
    CMultimediaClock clock;
    DWORD start = clock.Now();
    for (;;) {
        HWND window = FindWindowW(nullptr, kInstallerTitle);
        if (WaitForSingleObject(installer, kSearchIntervalMs) == WAIT_OBJECT_0) {
            LogEvent("The installer ended before its window was raised");
            return;
        }
        if (window) {
            BringWindowToFront(window);
            LogEvent("Installer window found after %lu ms and raised", static_cast<unsigned long>(clock.Now() - start));
            return;
        }
        if (clock.Now() - start >= kSearchMs) {
            LogEvent("Installer window not found within %lu ms", static_cast<unsigned long>(kSearchMs));
            return;
        }
    }
}
} // namespace

HRESULT RunMainInstaller(const HeldFolder& workFolder, HWND ownerWindow)
{
    if (!IsHeld(workFolder))
        return E_INVALIDARG;
    // The package is unpacked through the handle that has held it against
    // writers since its bytes were checked: the bytes unpacked are those checked.
    CDiskFile package;
    HRESULT result = ExtractPayload(IDR_PAYLOAD_MAIN, workFolder, kPackageFileName, package);
    if (FAILED(result))
        return result;
    // Every entry, setup.exe among them, is held against writers from its
    // writing until the installer has ended.
    CHeldFileList entries;
    result = UnpackPackage(package, workFolder, &entries);
    package.Close();
    if (FAILED(result))
        return result;

    CTextString installerPath;
    if (!installerPath.Format("%s%s", workFolder.path, kInstallerFileName))
        return E_OUTOFMEMORY;
    // The installer sees its unquoted path as its command line; naming the
    // program explicitly keeps a program planted at a shorter prefix of a
    // path with blanks (C:\Documents.exe) from running instead.
    CTextString commandLine(installerPath);
    if (!commandLine.GetData())
        return E_OUTOFMEMORY;
    CChildProcess installer;
    result = installer.Start(installerPath.GetData(), commandLine.GetData());
    if (FAILED(result))
        return result;

    RaiseInstallerWindow(installer.GetProcess());
    bool ownerHidden = false;
    if (IsWindowVisible(ownerWindow)) {
        ShowWindow(ownerWindow, SW_HIDE);
        ownerHidden = true;
    }
    // Started is run: a failed wait is in the log, and the run goes on.
    installer.WaitForEnd();
    installer.Close();
    if (ownerHidden)
        ShowWindow(ownerWindow, SW_SHOW);

    entries.Clear();
    DeleteDiskFile(workFolder, kInstallerFileName); // a file left goes with the work folder
    return S_OK;
}
