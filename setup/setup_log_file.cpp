#include "setup/setup_log_file.h"

#include <cstdio>
#include <cstring>

#include "base/handle_relative/held_folder.h"
#include "base/last_error.h"
#include "base/random_number.h"
#include "base/unique_handle.h"
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
    if (NewRandomNumber(&number))
        return number;
    // No generator: still a name that differs from run to run. Making the
    // file new, not the name, is what keeps a planted file from being written.
    LARGE_INTEGER counter = {};
    QueryPerformanceCounter(&counter);
    return static_cast<unsigned>(counter.QuadPart) ^ (GetCurrentProcessId() << 16) ^ GetTickCount();
}

HRESULT CreateDefaultSetupLog(const char* folder, char (&path)[SETUP_LOG_PATH_SIZE], unsigned (*nextNumber)())
{
    path[0] = 0;
    // The folder's path is looked up once; the log is made inside its handle.
    UniqueFileHandle folderHandle(CreateFileA(LogText(folder), // by path: the log's folder, outside the work folder
                                              FILE_TRAVERSE | FILE_ADD_FILE,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folderHandle)
        return LastErrorResult();
    const HeldFolder held = {folderHandle.Get(), LogText(folder)};
    HRESULT result = HRESULT_FROM_WIN32(ERROR_FILE_EXISTS);
    for (int attempt = 0; attempt < kLogNameTries && result == HRESULT_FROM_WIN32(ERROR_FILE_EXISTS); ++attempt) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        char name[64];
        std::snprintf(name, sizeof(name), "BCSetup %04u-%02u-%02u %02u.%02u.%02u %04x.log", now.wYear, now.wMonth,
                      now.wDay, now.wHour, now.wMinute, now.wSecond, nextNumber() & 0xFFFFu);
        int length = std::snprintf(path, sizeof(path), "%s%s", LogText(folder), name);
        if (length < 0 || length >= static_cast<int>(sizeof(path))) {
            path[0] = 0;
            return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
        }
        // A file, folder or link planted at the name is skipped, never written.
        UniqueFileHandle file;
        result = CreateFileInFolder(held, name, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, file);
        if (SUCCEEDED(result))
            result = UseNewSetupLog(file.Release());
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
             YesNo(options.m_bLaunchDX9),
             options.m_strLogPath.IsEmpty() ? YesNo(options.m_bLog) : options.m_strLogPath.GetData());
    LogEvent("User interface language 0x%04X, user locale 0x%04X, ANSI code page %u",
             static_cast<unsigned>(GetUserDefaultUILanguage()), static_cast<unsigned>(GetUserDefaultLCID()), GetACP());
    LogEvent("Product probe: %s, %d signals to quit, %lu ms", productQuit ? "not running" : "still running",
             probe.signals, static_cast<unsigned long>(probe.milliseconds));
}

int EndSetupLog(int exitCode)
{
    LogEvent("Setup ended, exit code %d (%s)", exitCode, exitCode == SETUP_EXIT_OK ? "ran to its end" : "refused");
    CloseSetupLog();
    return exitCode;
}
