#include "setup/setup_log_file.h"

#include <wincrypt.h>

#include <cstdio>
#include <cstring>

#include "base/setup_log.h"
#include "resource_ids.h"
#include "setup/exit_codes.h"
#include "setup/work_folder.h"

namespace {
const int kLogNameTries = 8;

const char* YesNo(bool value)
{
    return value ? "yes" : "no";
}
} // namespace

unsigned NewLogNameNumber()
{
    unsigned number = 0;
    HCRYPTPROV provider = 0;
    if (CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT | CRYPT_SILENT)) {
        BOOL made = CryptGenRandom(provider, sizeof(number), reinterpret_cast<BYTE*>(&number));
        CryptReleaseContext(provider, 0);
        if (made)
            return number;
    }
    // No generator: still a name that differs from run to run. CREATE_NEW,
    // not the name, is what keeps a planted file from being written.
    LARGE_INTEGER counter = {};
    QueryPerformanceCounter(&counter);
    return static_cast<unsigned>(counter.QuadPart) ^ (GetCurrentProcessId() << 16) ^ GetTickCount();
}

HRESULT CreateDefaultSetupLog(const char* folder, char (&path)[SETUP_LOG_PATH_SIZE], unsigned (*nextNumber)())
{
    path[0] = 0;
    HRESULT result = HRESULT_FROM_WIN32(ERROR_FILE_EXISTS);
    for (int attempt = 0; attempt < kLogNameTries && result == HRESULT_FROM_WIN32(ERROR_FILE_EXISTS); ++attempt) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        int length = std::snprintf(path, sizeof(path), "%sBCSetup %04u-%02u-%02u %02u.%02u.%02u %04x.log",
                                   LogText(folder), now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                                   now.wSecond, nextNumber() & 0xFFFFu);
        if (length < 0 || length >= static_cast<int>(sizeof(path))) {
            path[0] = 0;
            return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
        }
        result = CreateSetupLog(path);
        // A folder planted at the name reads as access denied, not as taken.
        if (result == HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS) ||
            (result == E_ACCESSDENIED && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES))
            result = HRESULT_FROM_WIN32(ERROR_FILE_EXISTS);
    }
    return result;
}

void StartSetupLog(const CSetupOptions& options, bool productQuit, const ProductProbeReport& probe)
{
    if (options.m_bLog) {
        char path[SETUP_LOG_PATH_SIZE];
        HRESULT result;
        if (options.m_strLogPath.IsEmpty()) {
            char temp[SETUP_PATH_SIZE];
            GetTemporaryFolder(temp);
            result = CreateDefaultSetupLog(temp, path);
        } else {
            std::snprintf(path, sizeof(path), "%s", options.m_strLogPath.GetData());
            result = OpenSetupLog(options.m_strLogPath.GetData());
        }
        if (FAILED(result))
            LogFailure(result, "Failed to open the log file %s", path);
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
