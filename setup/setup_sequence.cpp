// The setup sequence, step by step: preconditions and refusals, the work
// folder, the DirectX check, the destination, the wait window, the main
// installer and its companions, the DirectX offer, and the outcome.
#include "setup/setup_sequence.h"

#include <windows.h>
#include <objbase.h>

#include <memory>
#include <new>

#include "base/last_error.h"
#include "base/module_instance.h"
#include "base/setup_log.h"
#include "dxver/dx_version.h"
#include "package/child_process.h"
#include "package/companion_installers.h"
#include "package/main_installer.h"
#include "resource_ids.h"
#include "setup/administrator_check.h"
#include "setup/exit_codes.h"
#include "setup/reg_location.h"
#include "setup/registry.h"
#include "setup/restart_windows.h"
#include "setup/run_state.h"
#include "setup/setup_paths.h"
#include "setup/work_folder.h"
#include "ui/folder_dialog.h"
#include "ui/message_box.h"
#include "ui/wait_dialog_thread.h"

namespace {
const ULONGLONG kMinTempFreeBytes = 209715200ULL; // 200 MiB for the work folder
const DWORD kDirectX9 = 0x00090000;
const int kCaptionSize = 256;
const int kVersionTextSize = 24;

class CSetupSequence {
public:
    explicit CSetupSequence(const CSetupOptions& options) : m_Options(options)
    {
        m_szCaption[0] = 0;
        m_ProductKey.Set(HKEY_LOCAL_MACHINE, PRODUCT_KEY);
        m_SetupMgrKey.Set(HKEY_LOCAL_MACHINE, SETUP_MANAGER_KEY);
    }

    int Run();

private:
    bool IsDirectX9Present();
    bool ChooseDestination();
    void StartWaitDialog();
    void RunInstallers();
    bool OfferDirectX();
    void EndWaitDialog();
    // Ends the run early: the wait window and the folder dialog go, the
    // setup manager learns of it, and the run completes without success.
    int Abandon();
    int Complete();
    int ShowMessage(UINT id, UINT buttons) { return ShowSetupMessage(id, buttons, m_szCaption); }

    const CSetupOptions& m_Options;
    char m_szCaption[kCaptionSize];
    CWorkFolder m_WorkFolder; // removed by Complete, or with the sequence on a refusal
    CTextString m_strDirectXSetup;
    RunState m_State;
    CRegLocation m_ProductKey;
    CRegLocation m_SetupMgrKey;
    std::unique_ptr<CFolderDialog> m_pFolderDialog;
    std::unique_ptr<CWaitDialogThread> m_pWaitThread;
};

// Steps that can refuse the run come first; nothing is left behind by a refusal.
int CSetupSequence::Run()
{
    // The free space that counts is where the work folder goes.
    char tempFolder[SETUP_PATH_SIZE];
    GetWorkFolderParent(tempFolder);

    ULARGE_INTEGER freeToCaller;
    if (!GetDiskFreeSpaceExA(tempFolder, &freeToCaller, nullptr, nullptr)) {
        LogFailure(LastErrorResult(), "Failed to read the free space of the temporary folder %s", tempFolder);
        ShowSetupMessage(IDS_NO_TEMP_SPACE, MB_OK);
        return SETUP_EXIT_REFUSED;
    }
    LogEvent("Temporary folder %s: %llu bytes free, %llu needed", tempFolder,
             static_cast<unsigned long long>(freeToCaller.QuadPart), kMinTempFreeBytes);
    if (freeToCaller.QuadPart < kMinTempFreeBytes) {
        ShowSetupMessage(IDS_NO_TEMP_SPACE, MB_OK);
        return SETUP_EXIT_REFUSED;
    }
    const bool administrator = IsUserAdministrator();
    LogEvent("Administrator: %s", administrator ? "yes" : "no");
    if (!administrator) {
        ShowSetupMessage(IDS_NOT_ADMINISTRATOR, MB_OK);
        return SETUP_EXIT_REFUSED;
    }
    if (FAILED(m_WorkFolder.Create(tempFolder)))
        return SETUP_EXIT_REFUSED;

    m_ProductKey.DeleteValue("RequireReboot");
    CoInitialize(nullptr); // stays initialised until the process ends
    LoadStringA(g_hInstance, IDS_CAPTION, m_szCaption, kCaptionSize);

    if (!m_WorkFolder.Confirm())
        return Complete();
    // The installers unpack and run what they like in their temporary
    // folder, elevated as we are: theirs is a held folder in ours, not the
    // user's, which every program of the user can write. Children inherit
    // our environment.
    if (FAILED(m_WorkFolder.CreateInstallersTemp()) ||
        !SetEnvironmentVariableA("TEMP", m_WorkFolder.GetInstallersTempPath()) ||
        !SetEnvironmentVariableA("TMP", m_WorkFolder.GetInstallersTempPath())) {
        m_State.bFailed = true;
        ShowMessage(IDS_SETUP_FAILED, MB_OK);
        return Complete();
    }
    m_ProductKey.DeleteValue("CANCELED");

    const bool directX9Present = IsDirectX9Present();
    if (!directX9Present) {
        m_State.bOfferDirectX = true;
        m_strDirectXSetup = FindDirectXSetupOnMedium();
        if (m_strDirectXSetup.IsEmpty()) {
            ShowMessage(IDS_DIRECTX_MISSING, MB_OK);
            return SETUP_EXIT_REFUSED; // the work folder goes with the sequence
        }
    }
    if (m_Options.m_bLaunchDX9) {
        // Asked for by the switch: offer the medium's DirectX setup even when
        // DirectX 9.0 is present, if the medium has one.
        m_State.bOfferDirectX = true;
        if (directX9Present)
            m_strDirectXSetup = FindDirectXSetupOnMedium();
    }

    if (m_Options.m_bRunningAsSetupMgr)
        m_SetupMgrKey.DeleteValue("Abort");

    if (!ChooseDestination()) {
        m_State.bCancelled = true;
        return Abandon();
    }

    StartWaitDialog();
    HRESULT result = RunMainInstaller(m_WorkFolder.GetHeld(), m_pWaitThread ? m_pWaitThread->GetWindow() : nullptr);
    if (FAILED(result)) {
        LogFailure(result, "The main installer failed");
        m_State.bFailed = true;
    }

    if (m_ProductKey.ReadFlag("CANCELED", 0)) {
        LogEvent("The main installer was cancelled");
        m_State.bCancelled = true;
        return Abandon();
    }
    RunInstallers();
    if (m_State.bFailed)
        ShowMessage(IDS_SETUP_FAILED, MB_OK);

    // Declining the DirectX setup abandons the run only when DirectX 9.0 is
    // missing; offered by the switch alone, No just skips it.
    if (!OfferDirectX() && !directX9Present)
        return Abandon();
    EndWaitDialog();
    if (!m_State.bFailed)
        m_State.bCompleted = true;
    return Complete();
}

bool CSetupSequence::IsDirectX9Present()
{
    DWORD version = 0;
    char text[kVersionTextSize] = "Unknown Version";
    HRESULT hr = GetDXVersion(&version, text, kVersionTextSize);
    return !FAILED(hr) && version >= kDirectX9;
}

// The dialog is shown unless the product key's "Path" is set; the chosen
// folder goes back to "ProgramsPath" with a trailing backslash.
bool CSetupSequence::ChooseDestination()
{
    CTextString programsPath;
    CTextString path;
    m_ProductKey.ReadString(programsPath, "ProgramsPath", "");
    m_ProductKey.ReadString(path, "Path", "");
    m_pFolderDialog.reset(new (std::nothrow) CFolderDialog(programsPath.GetData()));
    if (!m_pFolderDialog) {
        LogFailure(E_OUTOFMEMORY, "Failed to make the folder dialog");
        return false;
    }
    if (path.IsEmpty() && m_pFolderDialog->DoModal(nullptr, 0) != 1) {
        LogEvent("Folder dialog cancelled");
        return false;
    }

    CTextString folder(m_pFolderDialog->GetFolder());
    folder.AddBackslash();
    const char* destination = folder.IsEmpty() ? "" : folder.GetData();
    LogEvent(path.IsEmpty() ? "Destination %s, confirmed in the folder dialog"
                            : "Destination %s, taken from \"ProgramsPath\" as \"Path\" is set",
             destination);
    m_ProductKey.WriteString("ProgramsPath", destination);
    return true;
}

void CSetupSequence::StartWaitDialog()
{
    m_pWaitThread.reset(new (std::nothrow) CWaitDialogThread());
    if (!m_pWaitThread) {
        LogFailure(E_OUTOFMEMORY, "Failed to make the wait window's thread");
        return; // the installers run without a wait window
    }
    HRESULT result = m_pWaitThread->Start(true);
    if (FAILED(result))
        LogFailure(result, "Failed to start the wait window's thread");
    HWND window = m_pWaitThread->GetWindow();
    if (!m_Options.m_bNoWaitDlg && window)
        ShowWindow(window, SW_SHOW);
    LogEvent(window && !m_Options.m_bNoWaitDlg ? "Wait window shown" : "Wait window not shown");
}

// The companions run only after a successful main installer, DivX first.
void CSetupSequence::RunInstallers()
{
    if (m_State.bFailed)
        return;
    HRESULT result = RunDivXSetup(m_WorkFolder.GetHeld());
    if (FAILED(result)) {
        LogFailure(result, "The DivX installer failed");
        m_State.bFailed = true;
        return;
    }
    result = RunWmfRuntimeSetup(m_WorkFolder.GetHeld());
    if (FAILED(result)) {
        LogFailure(result, "The Windows Media Format runtime installer failed");
        m_State.bFailed = true;
    }
}

// False when the user declined the DirectX setup.
bool CSetupSequence::OfferDirectX()
{
    if (!m_State.bOfferDirectX || m_strDirectXSetup.IsEmpty())
        return true;
    if (ShowMessage(IDS_DIRECTX_QUESTION, MB_YESNO) != IDYES)
        return false;
    // The program is named on its own, so that on a medium folder with blanks
    // no program at a shorter prefix of the path can start instead.
    CTextString commandLine(m_strDirectXSetup);
    HRESULT result = RunAndWait(commandLine.GetData(), m_strDirectXSetup.GetData());
    if (FAILED(result))
        LogFailure(result, "The DirectX setup failed (the run goes on)");
    return true;
}

void CSetupSequence::EndWaitDialog()
{
    if (m_pWaitThread) {
        m_pWaitThread->Stop(true, false, false);
        m_State.bRestartRequired = m_pWaitThread->WasShutdownAsked() != FALSE;
        if (m_State.bRestartRequired)
            LogEvent("The wait window refused to end the Windows session: a restart is needed");
    }
    m_pWaitThread.reset();
    m_pFolderDialog.reset();
}

int CSetupSequence::Abandon()
{
    LogEvent("Setup abandoned");
    m_State.bAborted = true;
    // Ends the wait window's thread without consulting its end-session record.
    m_pWaitThread.reset();
    m_pFolderDialog.reset();
    if (m_Options.m_bRunningAsSetupMgr)
        RegWriteDword(HKEY_LOCAL_MACHINE, SETUP_MANAGER_KEY, "Abort", 1);
    return Complete();
}

int CSetupSequence::Complete()
{
    LogEvent("Outcome: completed=%s failed=%s cancelled=%s aborted=%s", m_State.bCompleted ? "yes" : "no",
             m_State.bFailed ? "yes" : "no", m_State.bCancelled ? "yes" : "no", m_State.bAborted ? "yes" : "no");
    m_WorkFolder.Remove();
    if (!m_State.bRestartRequired)
        m_State.bRestartRequired = m_ProductKey.ReadFlag("RequireReboot", 0);

    if (m_Options.m_bRunningAsSetupMgr) {
        // The setup manager reads "Abort" after we exit: a run whose installer
        // failed must not pass for an installed product there.
        if (m_State.bFailed && !m_State.bAborted)
            RegWriteDword(HKEY_LOCAL_MACHINE, SETUP_MANAGER_KEY, "Abort", 1);
        if (m_State.bRestartRequired)
            RegWriteDword(HKEY_LOCAL_MACHINE, SETUP_MANAGER_KEY, "RequireReboot", 1);
        return SETUP_EXIT_OK;
    }
    if (m_Options.m_bSilent)
        return SETUP_EXIT_OK;

    if (m_State.bCompleted && m_State.bRestartRequired) {
        if (ShowMessage(IDS_RESTART_QUESTION, MB_YESNO) == IDYES)
            RestartWindows();
    } else if (m_State.bCompleted) {
        ShowMessage(IDS_SETUP_COMPLETE, MB_OK);
    } else if (m_State.bCancelled) {
        ShowMessage(IDS_SETUP_ABORTED, MB_OK);
    }
    return SETUP_EXIT_OK;
}
} // namespace

int RunSetupSequence(const CSetupOptions& options)
{
    CSetupSequence sequence(options);
    return sequence.Run();
}
