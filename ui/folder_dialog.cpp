#include "ui/folder_dialog.h"

#include <shlobj.h>

#include <cstring>

#include "base/double_byte.h"
#include "base/setup_log.h"
#include "resource_ids.h"
#include "ui/folder_browser.h"
#include "ui/folder_path_rules.h"
#include "ui/free_space.h"
#include "ui/message_box.h"

namespace {
const char kProductFolder[] = "Korvane\\Brixelcast";
// The edit text counts up to 259 bytes with its terminator.
const std::size_t kMaxFolderLength = 258;
// Room to see whether the edit holds more than that.
const int kEditReadSize = 1024;

// The program-files folder; empty when the shell doesn't know it.
void GetProgramFilesFolder(HWND owner, char* path)
{
    path[0] = 0;
    LPITEMIDLIST list = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(owner, CSIDL_PROGRAM_FILES, &list)) && list) {
        if (!SHGetPathFromIDListA(list, path))
            path[0] = 0;
    }
    CoTaskMemFree(list);
}
} // namespace

CFolderDialog::CFolderDialog(const char* initialFolder)
    : CDialogBase(IDD_FOLDER), m_strFolder(initialFolder ? initialFolder : ""), m_hEdit(nullptr)
{
}

CFolderDialog::~CFolderDialog() = default;

bool CFolderDialog::ComposeDefaultFolder(const char* programFiles, CTextString* folder)
{
    if (!folder->Assign(programFiles ? programFiles : ""))
        return false;
    if (!folder->IsEmpty() && !folder->AddBackslash())
        return false;
    return folder->Append(kProductFolder) != nullptr;
}

void CFolderDialog::OnInitDialog()
{
    m_hEdit = GetDlgItem(*m_phWnd, IDC_FOLDER_EDIT);
    if (!m_strFolder.IsEmpty()) {
        SetWindowTextA(m_hEdit, m_strFolder.GetData());
        return;
    }
    char programFiles[MAX_PATH];
    GetProgramFilesFolder(*m_phWnd, programFiles);
    CTextString folder;
    if (ComposeDefaultFolder(programFiles, &folder))
        SetWindowTextA(m_hEdit, folder.GetData());
}

bool CFolderDialog::ReadFolderText(char* text) const
{
    char read[kEditReadSize] = "";
    GetWindowTextA(m_hEdit, read, kEditReadSize);
    // A longer text is not cut down to some other folder: it is refused.
    if (std::strlen(read) > kMaxFolderLength) {
        CopyDbcsAware(text, read, kMaxFolderLength);
        return false;
    }
    std::memcpy(text, read, std::strlen(read) + 1);
    return true;
}

void CFolderDialog::OnCommand(int controlId, int)
{
    if (controlId == IDC_FOLDER_BROWSE)
        RunBrowser();
}

void CFolderDialog::RunBrowser()
{
    char current[MAX_PATH] = "";
    ReadFolderText(current);
    char picked[MAX_PATH] = "";
    if (BrowseForFolder(*m_phWnd, current, picked)) {
        LogEvent("Folder browser chose %s", picked);
        SetWindowTextA(m_hEdit, picked);
    } else {
        LogEvent("Folder browser closed without a choice");
    }
}

void CFolderDialog::OnOK()
{
    char text[MAX_PATH] = "";
    if (!ReadFolderText(text) || !IsValidFolderPath(text) || !CreateFolderPath(text)) {
        ShowOwnedSetupMessage(*m_phWnd, IDS_INVALID_FOLDER, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!HasRoomForProduct(text)) {
        ShowSetupMessage(IDS_NO_DEST_SPACE, MB_OK);
        return;
    }
    if (!m_strFolder.Assign(text))
        return;
    Close(1);
}
