// Stand-in for Korvane's setup manager, SetupMgr.exe. It starts the setup
// with "RunningAsSetupMgr" (and any switches it is given, such as "/Log"),
// waits for it, then reads what the setup left in its registry key and
// reports it.
//
//   SetupMgr.exe [--setup PATH] [switches for the setup...]
//
// PATH defaults to Setup\BCSetup.exe beside SetupMgr.exe (the medium's layout).
// Prints one line:  setup=<exit code> Abort=<value|none> RequireReboot=<value|none>
// Exit code: 0 completed, bit 1 abandoned (Abort = 1), bit 2 restart needed,
// 4 the setup refused to run (-1), 8 the setup could not be started.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
const char kSetupMgrKey[] = "Software\\Korvane\\SetupMgr";

std::string OwnFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

// The 32-bit value, or -1 when the key or value is missing.
long long ReadValue(const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSetupMgrKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    DWORD value = 0, size = sizeof(value), type = 0;
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? static_cast<long long>(value) : -1;
}

std::string Describe(long long value)
{
    return value < 0 ? "none" : std::to_string(value);
}
} // namespace

int main(int argc, char** argv)
{
    std::string setup = OwnFolder() + "Setup\\BCSetup.exe";
    std::string switches;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--setup" && i + 1 < argc) {
            setup = argv[++i];
            continue;
        }
        // The setup splits its command line at blanks and takes a token in
        // quotes whole: an argument with blanks ("/Log=C:\My Logs\x.log")
        // goes on in quotes.
        bool blanks = argument.find(' ') != std::string::npos;
        switches += blanks ? " \"" + argument + "\"" : " " + argument;
    }
    std::string commandLine = "\"" + setup + "\" /RunningAsSetupMgr" + switches;

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(setup.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::printf("setup=not-started error=%lu\n", GetLastError());
        return 8;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);

    long long abort = ReadValue("Abort");
    long long reboot = ReadValue("RequireReboot");
    std::printf("setup=%ld Abort=%s RequireReboot=%s\n", static_cast<long>(exitCode), Describe(abort).c_str(),
                Describe(reboot).c_str());
    std::fflush(stdout);
    if (exitCode == static_cast<DWORD>(-1))
        return 4;
    return (abort > 0 ? 1 : 0) | (reboot > 0 ? 2 : 0);
}
