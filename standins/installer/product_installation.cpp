#include "standins/installer/product_installation.h"

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "standins/common/standin_registry.h"

namespace standin {

const wchar_t kProductKey[] = L"Software\\Korvane\\Brixelcast";

namespace {
const wchar_t* const kPackageFiles[] = {L"setup.skin", L"engine32.cab", L"setup.inx", L"setup.ini", L"setup.boot"};

bool FileExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring WithBackslash(std::wstring folder)
{
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

// The comma-separated list of [Install] Files= in setup.ini.
std::vector<std::wstring> FilesToInstall(const std::wstring& packageFolder)
{
    wchar_t buffer[1024] = {};
    GetPrivateProfileStringW(L"Install", L"Files", L"", buffer, 1024, (packageFolder + L"setup.ini").c_str());
    std::vector<std::wstring> files;
    std::wstring list = buffer;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(L',', start);
        if (end == std::wstring::npos)
            end = list.size();
        std::wstring name = list.substr(start, end - start);
        size_t first = name.find_first_not_of(L' ');
        size_t last = name.find_last_not_of(L' ');
        if (first != std::wstring::npos)
            files.push_back(name.substr(first, last - first + 1));
        start = end + 1;
    }
    return files;
}

bool CreateFolderWithParents(const std::wstring& folder)
{
    int result = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS || result == ERROR_FILE_EXISTS;
}
} // namespace

std::wstring MissingPackageFile(const std::wstring& packageFolder)
{
    // As a real InstallShield setup does, it makes its folder the current one
    // and lists it (both fail where the folder is held so that they can't);
    // the folder it was started in becomes current again afterwards, for
    // the journal.
    wchar_t started[MAX_PATH * 2];
    const DWORD startedLength = GetCurrentDirectoryW(MAX_PATH * 2, started);
    if (!SetCurrentDirectoryW(packageFolder.c_str()))
        return L"its folder as the current one (error " + std::to_wstring(GetLastError()) + L")";
    WIN32_FIND_DATAW data;
    HANDLE listing = FindFirstFileW(L"*", &data);
    const DWORD listError = listing == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    if (listing != INVALID_HANDLE_VALUE)
        FindClose(listing);
    if (startedLength > 0 && startedLength < MAX_PATH * 2)
        SetCurrentDirectoryW(started);
    if (listError != ERROR_SUCCESS)
        return L"a listing of its folder (error " + std::to_wstring(listError) + L")";
    for (const wchar_t* name : kPackageFiles) {
        if (!FileExists(packageFolder + name))
            return name;
    }
    for (const std::wstring& name : FilesToInstall(packageFolder)) {
        if (!FileExists(packageFolder + name))
            return name;
    }
    return std::wstring();
}

bool InstallProduct(const std::wstring& packageFolder, const std::wstring& destination, std::wstring* error)
{
    if (destination.empty()) {
        *error = L"no destination folder (\"ProgramsPath\" is empty)";
        return false;
    }
    std::wstring target = WithBackslash(destination);
    std::wstring folder = target.substr(0, target.size() - 1);
    if (!CreateFolderWithParents(folder)) {
        *error = L"cannot create " + folder;
        return false;
    }
    for (const std::wstring& name : FilesToInstall(packageFolder)) {
        if (!CopyFileW((packageFolder + name).c_str(), (target + name).c_str(), FALSE)) {
            *error = L"cannot copy " + name + L" to " + folder;
            return false;
        }
    }
    if (!WriteRegistryText(L"HKLM", kProductKey, L"Path", target)) {
        *error = L"cannot record the installation in the product key";
        return false;
    }
    return true;
}

} // namespace standin
