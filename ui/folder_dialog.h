#pragma once
// The destination folder dialog: proposes a folder, lets the user type one or
// pick one with the shell's folder browser, and ends with 1 only for a
// well-formed folder that exists (missing levels are made) on a drive with
// room for the product. Cancel, Esc and the close box end it with 0.
#include <windows.h>

#include "base/text_string.h"
#include "ui/dialog_base.h"

class CFolderDialog : public CDialogBase {
public:
    // initialFolder: the folder of an earlier installation, or null/empty
    // for the default below the program-files folder.
    explicit CFolderDialog(const char* initialFolder);
    ~CFolderDialog() override;

    void OnInitDialog() override;
    void OnOK() override;
    void OnCommand(int controlId, int notifyCode) override;

    // After DoModal gave 1: the accepted folder exactly as the edit control
    // held it (a trailing backslash stays).
    const char* GetFolder() const { return m_strFolder.GetData(); }

    // The default folder: programFiles (may be empty) + "Korvane\Brixelcast".
    static bool ComposeDefaultFolder(const char* programFiles, CTextString* folder);

protected:
    CTextString m_strFolder;
    HWND m_hEdit;

private:
    // The edit text in a MAX_PATH buffer; false when it is longer than the
    // 258 bytes a folder may have here.
    bool ReadFolderText(char* text) const;
    void RunBrowser();
};
