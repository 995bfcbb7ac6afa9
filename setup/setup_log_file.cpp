#include "setup/setup_log_file.h"

#include <cstring>

#include "base/setup_log.h"
#include "resource_ids.h"
#include "setup/exit_codes.h"
#include "setup/work_folder.h"

namespace {
const char kDefaultLogName[] = "BCSetup.log";

const char* YesNo(bool value)
{
    return value ? "yes" : "no";
}
} // namespace

void StartSetupLog(const CSetupOptions& options, bool productQuit, const ProductProbeReport& probe)
{
    if (options.m_bLog) {
        char path[SETUP_PATH_SIZE + sizeof(kDefaultLogName)];
        if (options.m_strLogPath.IsEmpty()) {
            char temp[SETUP_PATH_SIZE];
            GetTemporaryFolder(temp);
            std::strcpy(path, temp);
            std::strcat(path, kDefaultLogName);
        }
        const char* file = options.m_strLogPath.IsEmpty() ? path : options.m_strLogPath.GetData();
        HRESULT result = OpenSetupLog(file);
        if (FAILED(result))
            LogFailure(result, "Failed to open the log file %s", file);
    }
    LogEvent("BCSetup %s started", BCSETUP_VERSION_TEXT);
    LogEvent("Command line: %s", GetCommandLineA());
    LogEvent("Switches: RunningAsSetupMgr=%s Silent=%s NoWaitDlg=%s LaunchDX9=%s Log=%s",
             YesNo(options.m_bRunningAsSetupMgr), YesNo(options.m_bSilent), YesNo(options.m_bNoWaitDlg),
             YesNo(options.m_bLaunchDX9), options.m_strLogPath.IsEmpty() ? YesNo(options.m_bLog)
                                                                           : options.m_strLogPath.GetData());
    LogEvent("User interface language 0x%04X, user locale 0x%04X, ANSI code page %u",
             static_cast<unsigned>(GetUserDefaultUILanguage()), static_cast<unsigned>(GetUserDefaultLCID()),
             GetACP());
    LogEvent("Product probe: %s, %d signals to quit, %lu ms", productQuit ? "not running" : "still running",
             probe.signals, static_cast<unsigned long>(probe.milliseconds));
}

int EndSetupLog(int exitCode)
{
    LogEvent("Setup ended, exit code %d (%s)", exitCode, exitCode == SETUP_EXIT_OK ? "ran to its end" : "refused");
    CloseSetupLog();
    return exitCode;
}
