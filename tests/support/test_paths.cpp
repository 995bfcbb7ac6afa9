#include "tests/support/test_paths.h"

#include <windows.h>

#include "tests/support/child_process.h"

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

std::string SystemTempFolder()
{
    wchar_t windows[MAX_PATH];
    UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : Narrow(windows) + "\\Temp\\";
}

std::string MakeScratchFolder(const std::string& name)
{
    std::string folder = TempFolder() + "bctest-" + name;
    RemoveTree(folder);
    CreateDirectoryW(Widen(folder).c_str(), nullptr);
    return folder + "\\";
}

bool IsJapaneseUi()
{
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
}

} // namespace testing_support
