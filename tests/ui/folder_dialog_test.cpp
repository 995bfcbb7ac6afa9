// The destination folder dialog under Wine, driven as a user would: the
// proposed folder, accepted and refused folders with their messages, the
// folders it makes, the folder browser, and the free-space limit on a drive
// with exactly 100 MiB free.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "base/module_instance.h"
#include "resource_ids.h"
#include "tests/support/child_process.h"
#include "tests/support/message_texts.h"
#include "tests/support/test_paths.h"
#include "tests/support/ui_driver.h"
#include "tests/support/wait_until.h"
#include "tests/ui/modal_script.h"
#include "ui/folder_dialog.h"

using namespace testing_support;

namespace {
const DWORD kSettleMs = 300;

bool IsFolder(const std::string& utf8Path)
{
    DWORD attributes = GetFileAttributesW(Widen(utf8Path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int CountEntries(const std::string& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((Widen(folder) + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            ++count;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return count;
}

void MakeFile(const std::string& path, DWORD bytes = 0)
{
    HANDLE file =
        CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    if (bytes)
        WriteFile(file, "x", bytes, &written, nullptr);
    CloseHandle(file);
}

// Types text and presses OK.
void TypeAndPressOK(HWND dialog, const std::string& text)
{
    SetControlText(dialog, IDC_FOLDER_EDIT, text);
    PressButton(dialog, IDOK);
}

// Answers a message box and checks that the dialog is still open.
void AnswerAndExpectDialogOpen(DialogScript& script, HWND box, HWND dialog, const std::string& what)
{
    PressButton(box, IDOK);
    script.Expect(WaitForWindowGone(box, kScriptWaitMs), what + ": the message stayed");
    script.Expect(IsWindowVisible(dialog) != FALSE, what + ": the dialog closed");
}

// Types text, presses OK and expects message 121, modal to the dialog, with
// the information icon.
void ExpectInvalidFolder(DialogScript& script, HWND dialog, const std::string& text)
{
    TypeAndPressOK(dialog, text);
    HWND box = script.WaitForOwnedWindow(dialog, "message 121 for [" + text + "]");
    if (!box)
        return;
    script.ExpectEqual(SetupCaption(), WindowText(box), "caption of message 121");
    script.ExpectEqual(MessageText(IDS_INVALID_FOLDER), MessageBoxText(box), "text of message 121 for [" + text + "]");
    script.Expect(ShowsIcon(box), "message 121 shows no icon");
    script.ExpectEqual(std::vector<std::string>{"OK"}, ButtonTexts(box), "buttons of message 121");
    AnswerAndExpectDialogOpen(script, box, dialog, "message 121 for [" + text + "]");
}

// Types text, presses OK and expects message 122, without owner or icon.
void ExpectNoSpace(DialogScript& script, HWND dialog, const std::string& text)
{
    TypeAndPressOK(dialog, text);
    HWND box = script.WaitForWindow(SetupCaption());
    if (!box)
        return;
    script.ExpectEqual(MessageText(IDS_NO_DEST_SPACE), MessageBoxText(box), "text of message 122 for [" + text + "]");
    script.Expect(GetWindow(box, GW_OWNER) == nullptr, "message 122 has an owner");
    script.Expect(!ShowsIcon(box), "message 122 shows an icon");
    AnswerAndExpectDialogOpen(script, box, dialog, "message 122 for [" + text + "]");
}

// Runs the dialog, types text and presses OK; the dialog should end with 1.
INT_PTR AcceptFolder(CFolderDialog& dialog, const std::string& text)
{
    return RunModal(dialog, [&](DialogScript& script) {
        HWND window = script.WaitForWindow(FolderDialogCaption());
        if (window)
            TypeAndPressOK(window, text);
    });
}

// Waits until the edit control holds text (compared without case); false on time-out.
bool WaitForFolderText(HWND dialog, const std::string& text)
{
    return WaitUntil([&] { return _stricmp(ControlText(dialog, IDC_FOLDER_EDIT).c_str(), text.c_str()) == 0; },
                     kScriptWaitMs);
}

std::string ProgramFilesFolder()
{
    wchar_t path[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, path);
    return Narrow(path);
}

class FolderDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_hInstance = GetModuleHandleW(nullptr);
        // The setup's main thread runs in a COM apartment; the browser needs one.
        CoInitialize(nullptr);
    }
    void TearDown() override { CoUninitialize(); }
};
} // namespace

TEST_F(FolderDialog, ProposesTheProductFolderBelowProgramFilesAndCancelGivesZero)
{
    CFolderDialog dialog(nullptr);
    INT_PTR result = RunModal(dialog, [](DialogScript& script) {
        HWND window = script.WaitForWindow(FolderDialogCaption());
        if (!window)
            return;
        script.ExpectEqual(ProgramFilesFolder() + "\\Korvane\\Brixelcast", ControlText(window, IDC_FOLDER_EDIT),
                           "proposed folder");
        std::vector<std::string> buttons = IsJapaneseUi() ? std::vector<std::string>{"選択(R)...", "開始(S)", "中止"}
                                                          : std::vector<std::string>{"Select...", "OK", "Cancel"};
        script.ExpectEqual(buttons, ButtonTexts(window), "buttons");
        std::string prompt = IsJapaneseUi() ? "セットアップ先のフォルダを選択して「開始」ボタンを押してください。"
                                            : "Please specify the setup folder and press [Start] button.";
        std::vector<std::string> texts = ChildTexts(window);
        script.Expect(!texts.empty() && texts[0] == prompt, "prompt text");
        PressButton(window, IDCANCEL);
    });
    EXPECT_EQ(0, result);
}

TEST_F(FolderDialog, InitialFolderIsShownAndAcceptedExactlyAsTyped)
{
    std::string scratch = MakeScratchFolder("dialog-initial");
    std::string initial = scratch + "Apps\\Tool\\";
    CFolderDialog dialog(initial.c_str());
    INT_PTR result = RunModal(dialog, [&](DialogScript& script) {
        HWND window = script.WaitForWindow(FolderDialogCaption());
        if (!window)
            return;
        script.ExpectEqual(initial, ControlText(window, IDC_FOLDER_EDIT), "initial folder");
        PressButton(window, IDOK);
    });
    ASSERT_EQ(1, result);
    EXPECT_EQ(initial, dialog.GetFolder()) << "the trailing backslash stays";
    EXPECT_TRUE(IsFolder(scratch + "Apps\\Tool"));
    RemoveTree(scratch);
}

TEST_F(FolderDialog, DriveRootAndNamesWithInnerBlanksAndDotsAreAccepted)
{
    CFolderDialog root(nullptr);
    ASSERT_EQ(1, AcceptFolder(root, "C:\\"));
    EXPECT_STREQ("C:\\", root.GetFolder());

    std::string scratch = MakeScratchFolder("dialog-blanks");
    CFolderDialog named(nullptr);
    ASSERT_EQ(1, AcceptFolder(named, scratch + "My Apps\\x.y"));
    EXPECT_EQ(scratch + "My Apps\\x.y", named.GetFolder());
    EXPECT_TRUE(IsFolder(scratch + "My Apps\\x.y"));
    RemoveTree(scratch);
}

TEST_F(FolderDialog, MalformedFoldersAreRefusedWith121AndNothingIsMade)
{
    std::string scratch = MakeScratchFolder("dialog-malformed");
    std::vector<std::string> refused = {
        "\\\\server\\share\\dir",
        scratch + "a\\\\b",
        scratch + "x ",
        scratch + ".hidden",
        scratch + "a*b",
        scratch + "a|b",
        scratch + "a\"b",
        "abc",
        "C:abc",
        "\\abc",
        "",
        // Longer than the 258 bytes a folder may have: refused, not cut short.
        scratch + std::string(300 - scratch.size(), 'L'),
    };
    CFolderDialog dialog(nullptr);
    INT_PTR result = RunModal(dialog, [&](DialogScript& script) {
        HWND window = script.WaitForWindow(FolderDialogCaption());
        if (!window)
            return;
        for (const std::string& text : refused) {
            ExpectInvalidFolder(script, window, text);
            script.ExpectEqual(text, ControlText(window, IDC_FOLDER_EDIT), "the typed text after 121");
        }
        PressButton(window, IDCANCEL);
    });
    EXPECT_EQ(0, result);
    EXPECT_EQ(0, CountEntries(scratch)) << "a refused folder made something";
    EXPECT_FALSE(IsFolder(BinFolder() + "abc"));
    RemoveTree(scratch);
}

TEST_F(FolderDialog, FolderThatCannotBeMadeGives121AndKeepsTheLevelsMadeBefore)
{
    std::string scratch = MakeScratchFolder("dialog-unmakeable");
    MakeFile(scratch + "blocker");
    CFolderDialog dialog(nullptr);
    INT_PTR result = RunModal(dialog, [&](DialogScript& script) {
        HWND window = script.WaitForWindow(FolderDialogCaption());
        if (!window)
            return;
        ExpectInvalidFolder(script, window, scratch + "blocker\\sub");
        // A tab is no character of a file name: two levels are made first.
        ExpectInvalidFolder(script, window, scratch + "made\\more\\a\tb");
        // No such drive: nothing to make, and no free space to read.
        ExpectNoSpace(script, window, "Q:\\");
        PressButton(window, IDCANCEL);
    });
    EXPECT_EQ(0, result);
    EXPECT_FALSE(IsFolder(scratch + "blocker"));
    EXPECT_TRUE(IsFolder(scratch + "made\\more"));
    RemoveTree(scratch);
}

TEST_F(FolderDialog, DoubleByteNameWithBackslashTrailByteIsMadeAsOneLevel)
{
    if (GetACP() != 932)
        GTEST_SKIP() << "double-byte rules apply under code page 932";
    std::string scratch = MakeScratchFolder("dialog-dbcs");
    CFolderDialog dialog(nullptr);
    ASSERT_EQ(1, AcceptFolder(dialog, scratch + "表"));
    // The folder comes back in the ANSI code page: 表 is 0x95 0x5C.
    EXPECT_EQ(Narrow(Widen(scratch)) + "\x95\x5C", dialog.GetFolder());
    EXPECT_TRUE(IsFolder(scratch + "表"));
    EXPECT_EQ(1, CountEntries(scratch)) << "made as one level, not cut at its second byte";
    RemoveTree(scratch);
}

TEST_F(FolderDialog, BrowserOpensOnTheTypedFolderAndItsCancelKeepsTheText)
{
    std::string scratch = MakeScratchFolder("dialog-browse");
    std::string typed = scratch + "pick";
    CreateDirectoryW(Widen(typed).c_str(), nullptr);
    CFolderDialog dialog(nullptr);
    INT_PTR result = RunModal(dialog, [&](DialogScript& script) {
        HWND window = script.WaitForWindow(FolderDialogCaption());
        if (!window)
            return;
        SetControlText(window, IDC_FOLDER_EDIT, typed);
        PressButton(window, IDC_FOLDER_BROWSE);
        HWND browser = script.WaitForOwnedWindow(window, "folder browser");
        if (!browser)
            return;
        std::vector<std::string> texts = ChildTexts(browser);
        bool titled = false;
        for (const std::string& text : texts)
            titled = titled || text == "セットアップ先を選択してください。";
        script.Expect(titled, "the browser's Japanese title is not shown as such");
        PressButton(browser, IDCANCEL);
        script.Expect(WaitForWindowGone(browser, kScriptWaitMs), "the browser stayed");
        Sleep(kSettleMs); // time for a change that must not come
        script.ExpectEqual(typed, ControlText(window, IDC_FOLDER_EDIT), "text after the browser's Cancel");

        // Opened again and confirmed at once: the folder it opened on comes back.
        SetControlText(window, IDC_FOLDER_EDIT, typed + "\\");
        PressButton(window, IDC_FOLDER_BROWSE);
        browser = script.WaitForOwnedWindow(window, "folder browser");
        if (!browser)
            return;
        PressButton(browser, IDOK);
        script.Expect(WaitForWindowGone(browser, kScriptWaitMs), "the browser stayed");
        script.Expect(WaitForFolderText(window, typed),
                      "picked folder [" + ControlText(window, IDC_FOLDER_EDIT) + "], expected [" + typed + "]");
        PressButton(window, IDCANCEL);
    });
    EXPECT_EQ(0, result);
    RemoveTree(scratch);
}

TEST_F(FolderDialog, ExactlyHundredMebibytesFreeAreEnoughLessShows122)
{
    if (GetDriveTypeA("T:\\") == DRIVE_NO_ROOT_DIR)
        GTEST_SKIP() << "no drive T: with exactly 100 MiB free (needs root to mount a tmpfs)";
    ULARGE_INTEGER freeBytes = {};
    ASSERT_TRUE(GetDiskFreeSpaceExA("T:\\", &freeBytes, nullptr, nullptr));
    ASSERT_EQ(104857600u, freeBytes.QuadPart) << "drive T: is not the 100 MiB tmpfs";

    CFolderDialog enough(nullptr);
    ASSERT_EQ(1, AcceptFolder(enough, "T:\\"));

    // One byte of data takes one page of the tmpfs: less than 100 MiB stay free.
    MakeFile("T:\\one-byte", 1);
    CFolderDialog tooLittle(nullptr);
    INT_PTR result = RunModal(tooLittle, [](DialogScript& script) {
        HWND window = script.WaitForWindow(FolderDialogCaption());
        if (!window)
            return;
        ExpectNoSpace(script, window, "T:\\");
        PressButton(window, IDCANCEL);
    });
    DeleteFileA("T:\\one-byte");
    EXPECT_EQ(0, result);
}
