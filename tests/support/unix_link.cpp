#include "tests/support/unix_link.h"

#include <windows.h>

#include <cstdio>

#include "tests/support/child_process.h"
#include "tests/support/wait_until.h"

namespace testing_support {

namespace {

// The Unix path Wine maps a Windows path to; empty outside Wine.
std::string UnixPath(const std::string& path)
{
    typedef char*(CDECL * UnixFileNameFunction)(const wchar_t*);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    UnixFileNameFunction toUnix = kernel ? reinterpret_cast<UnixFileNameFunction>(reinterpret_cast<void*>(
                                               GetProcAddress(kernel, "wine_get_unix_file_name")))
                                         : nullptr;
    if (!toUnix)
        return std::string();
    std::wstring wide = Widen(path);
    while (!wide.empty() && wide.back() == L'\\')
        wide.pop_back();
    char* unix = toUnix(wide.c_str());
    if (!unix)
        return std::string();
    std::string result(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Starts a Unix tool. Wine hands out no handle of a Unix process to wait
// on, so the callers wait for what the tool does instead.
bool StartUnixTool(const std::string& tool, const std::string& arguments)
{
    std::wstring line = Widen(tool + " " + arguments);
    std::wstring program = Widen("Z:" + tool);
    for (wchar_t& c : program)
        c = c == L'/' ? L'\\' : c;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        std::fprintf(stderr, "could not start %s (error %lu)\n", tool.c_str(), GetLastError());
        return false;
    }
    for (HANDLE handle : {info.hThread, info.hProcess}) {
        if (handle && handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    return true;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string QuoteForShell(const std::string& text)
{
    return "\"" + text + "\"";
}

} // namespace

bool PlantUnixLink(const std::string& link, const std::string& target)
{
    std::string unixLink = UnixPath(link), unixTarget = UnixPath(target);
    if (unixLink.empty() || unixTarget.empty()) {
        std::fprintf(stderr, "no Unix paths for %s and %s (not under Wine?)\n", link.c_str(), target.c_str());
        return false;
    }
    if (!StartUnixTool("/bin/ln", "-s " + QuoteForShell(unixTarget) + " " + QuoteForShell(unixLink)))
        return false;
    if (!WaitUntil([&] { return Exists(link); }, 10000)) {
        std::fprintf(stderr, "ln made no link at %s\n", unixLink.c_str());
        return false;
    }
    return true;
}

bool RemoveUnixLink(const std::string& link)
{
    std::string unixLink = UnixPath(link);
    return !unixLink.empty() && StartUnixTool("/bin/rm", "-f " + QuoteForShell(unixLink)) &&
           WaitUntil([&] { return !Exists(link); }, 10000);
}

} // namespace testing_support
