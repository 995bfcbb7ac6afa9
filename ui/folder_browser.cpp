#include "ui/folder_browser.h"

#include <shlobj.h>

#include "base/unique_handle.h"

namespace {
// "セットアップ先を選択してください。", the browser's title line in every
// language. Passed as Unicode so that it reads right on any system code page.
const wchar_t kBrowserTitle[] = L"\u30BB\u30C3\u30C8\u30A2\u30C3\u30D7\u5148\u3092\u9078\u629E\u3057\u3066"
                                L"\u304F\u3060\u3055\u3044\u3002";

// Opens the browser on the current folder (the callback data).
int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED)
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}
} // namespace

bool BrowseForFolder(HWND owner, const char* currentFolder, char* path)
{
    path[0] = 0;
    UniqueInterface<IMalloc> allocator;
    if (FAILED(SHGetMalloc(allocator.Put())))
        allocator.Release(); // a failed call hands out no allocator
    if (!allocator)
        return false;

    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.pidlRoot = nullptr; // the desktop
    info.lpszTitle = kBrowserTitle;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(currentFolder);
    LPITEMIDLIST picked = SHBrowseForFolderW(&info);
    if (!picked)
        return false;
    char found[MAX_PATH] = "";
    BOOL ok = SHGetPathFromIDListA(picked, found);
    allocator.Get()->Free(picked);
    if (!ok || !found[0])
        return false;
    lstrcpynA(path, found, MAX_PATH);
    return true;
}
