#include "tests/support/test_paths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/child_process.h"
#include "tests/support/wait_until.h"

namespace testing_support {

std::string BinFolder()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    size_t slash = folder.find_last_of(L"\\/");
    return Narrow(folder.substr(0, slash + 1));
}

std::string BinPath(const std::string& fileName)
{
    return BinFolder() + fileName;
}

void RemoveTree(const std::string& folder)
{
    std::wstring root = Widen(folder);
    while (!root.empty() && (root.back() == L'\\' || root.back() == L'/'))
        root.pop_back();
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((root + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring path = root + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                // A link: removed itself where the platform can, never followed.
                RemoveDirectoryW(path.c_str());
            } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(Narrow(path));
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(root.c_str());
}

std::string TempFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return Narrow(temp);
}

std::string MakeScratchFolder(const std::string& name)
{
    std::string folder = TempFolder() + "bctest-" + name;
    RemoveTree(folder);
    CreateDirectoryW(Widen(folder).c_str(), nullptr);
    return folder + "\\";
}

namespace {
// Wine's kernel32 tells the Unix path of a Windows one.
std::string UnixPath(const std::string& path)
{
    typedef char*(__cdecl * UnixFileNameFn)(const wchar_t*);
    UnixFileNameFn unixFileName = reinterpret_cast<UnixFileNameFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixFileName ? unixFileName(Widen(path).c_str()) : nullptr;
    std::string result = name ? name : "";
    if (name)
        HeapFree(GetProcessHeap(), 0, name);
    return result;
}
} // namespace

bool PlantUnixLink(const std::string& link, const std::string& target)
{
    const std::string unixLink = UnixPath(link);
    const std::string unixTarget = UnixPath(target);
    if (unixLink.empty() || unixTarget.empty()) {
        ADD_FAILURE() << "no Unix path for " << link << " or " << target;
        return false;
    }
    // Wine starts a Unix program named by its Unix path.
    std::wstring commandLine = Widen("/bin/ln -sfn \"" + unixTarget + "\" \"" + unixLink + "\"");
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(L"/bin/ln", &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        ADD_FAILURE() << "can't start /bin/ln: " << GetLastError();
        return false;
    }
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // The file test sees a dangling link too.
    if (!WaitUntil([&] { return GetFileAttributesW(Widen(link).c_str()) != INVALID_FILE_ATTRIBUTES ||
                                GetLastError() != ERROR_FILE_NOT_FOUND; }, 10000)) {
        ADD_FAILURE() << "no link at " << link;
        return false;
    }
    return true;
}

bool IsJapaneseUi()
{
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
}

} // namespace testing_support
