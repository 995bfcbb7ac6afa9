// The window and dialog framework: modal results, the hook that closes the
// dialog itself, modeless creation and closing, message dispatch, tooltips.
// Runs on the folder dialog's template, with hooks that only record.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/module_instance.h"
#include "resource_ids.h"
#include "tests/support/message_texts.h"
#include "tests/support/ui_driver.h"
#include "tests/ui/modal_script.h"
#include "ui/dialog_base.h"

using namespace testing_support;

namespace {
const WORD kMissingTemplate = 4321;
const UINT kTimerId = 7;

class CRecordingDialog : public CDialogBase {
public:
    // The hooks record into log when one is given, else into the object's own list.
    explicit CRecordingDialog(WORD templateId = IDD_FOLDER, std::vector<std::string>* log = nullptr)
        : CDialogBase(templateId), m_calls(log ? *log : m_ownCalls)
    {
    }

    void OnInitDialog() override { m_calls.push_back("init"); }
    void OnDestroy() override { m_calls.push_back("destroy"); }
    void OnShow() override { m_calls.push_back("show"); }
    void OnHide() override { m_calls.push_back("hide"); }
    void OnOK() override
    {
        m_calls.push_back("ok");
        if (m_bCloseInOK)
            Close(1);
    }
    void OnCommand(int id, int code) override
    {
        // The edit control's focus notifications come and go with the focus.
        if (id != IDC_FOLDER_EDIT)
            m_calls.push_back("command " + std::to_string(id) + "," + std::to_string(code));
    }
    void OnTimer(UINT_PTR id) override { m_calls.push_back("timer " + std::to_string(id)); }
    void OnNotify(int id, NMHDR* header) override { m_calls.push_back("notify " + std::to_string(id)); }
    void OnToolTipText(NMHDR* header) override { m_calls.push_back("tooltip text"); }
    void OnHScroll(HWND, int request, int position) override
    {
        m_calls.push_back("hscroll " + std::to_string(request) + "," + std::to_string(position));
    }

    bool m_bCloseInOK = false;
    std::vector<std::string> m_ownCalls;
    std::vector<std::string>& m_calls;
};

class DialogFramework : public ::testing::Test {
protected:
    void SetUp() override { g_hInstance = GetModuleHandleW(nullptr); }
};

// Runs the dialog modally and lets press act on the shown dialog.
INT_PTR RunAndDo(CDialogBase& dialog, void (*press)(HWND))
{
    return RunModal(dialog, [press](DialogScript& script) {
        HWND window = script.WaitForWindow(FolderDialogCaption());
        if (window)
            press(window);
    });
}
} // namespace

TEST_F(DialogFramework, CancelEscAndCloseBoxEndAModalDialogWithZero)
{
    CRecordingDialog cancelled;
    EXPECT_EQ(0, RunAndDo(cancelled, [](HWND dialog) { PressButton(dialog, IDCANCEL); }));
    EXPECT_EQ(nullptr, cancelled.GetHandle());

    CRecordingDialog escaped;
    EXPECT_EQ(0, RunAndDo(escaped, [](HWND dialog) {
                  // As typed into the focused edit control; the dialog's loop turns it into IDCANCEL.
                  HWND edit = GetDlgItem(dialog, IDC_FOLDER_EDIT);
                  PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                  PostMessageW(edit, WM_KEYUP, VK_ESCAPE, 0xC0010001);
              }));
    EXPECT_NE(escaped.m_calls.end(), std::find(escaped.m_calls.begin(), escaped.m_calls.end(), "command 2,0"));

    CRecordingDialog closed;
    EXPECT_EQ(0, RunAndDo(closed, [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }));
}

TEST_F(DialogFramework, HookThatClosesWithOneDuringOKWins)
{
    CRecordingDialog dialog;
    dialog.m_bCloseInOK = true;
    EXPECT_EQ(1, RunAndDo(dialog, [](HWND window) { PressButton(window, IDOK); }));
    EXPECT_EQ(nullptr, dialog.GetHandle());
    std::vector<std::string> expected = {"init", "show", "ok", "command 1,0"};
    ASSERT_GE(dialog.m_calls.size(), expected.size());
    EXPECT_EQ(expected, std::vector<std::string>(dialog.m_calls.begin(), dialog.m_calls.begin() + expected.size()));
    EXPECT_EQ("destroy", dialog.m_calls.back());
}

TEST_F(DialogFramework, OKWithoutAHookThatClosesLeavesTheDialogOpen)
{
    CRecordingDialog dialog;
    EXPECT_EQ(0, RunModal(dialog, [](DialogScript& script) {
                  HWND window = script.WaitForWindow(FolderDialogCaption());
                  if (!window)
                      return;
                  PressButton(window, IDOK);
                  Sleep(300);
                  script.Expect(IsWindowVisible(window) != FALSE, "OK closed a dialog whose hook did not");
                  PressButton(window, IDCANCEL);
              }));
}

TEST_F(DialogFramework, ModalRunAgainAfterItEnded)
{
    CRecordingDialog dialog;
    EXPECT_EQ(0, RunAndDo(dialog, [](HWND window) { PressButton(window, IDCANCEL); }));
    dialog.m_bCloseInOK = true;
    EXPECT_EQ(1, RunAndDo(dialog, [](HWND window) { PressButton(window, IDOK); }));
}

TEST_F(DialogFramework, MissingTemplateIsPassedOnUnchanged)
{
    CRecordingDialog modal(kMissingTemplate);
    EXPECT_EQ(-1, modal.DoModal(nullptr, 0));
    CRecordingDialog modeless(kMissingTemplate);
    EXPECT_EQ(nullptr, modeless.Create(nullptr, 0));
    EXPECT_TRUE(modeless.m_calls.empty());
}

TEST_F(DialogFramework, CreateTwiceGivesTheSameWindowAndCloseNullsTheHandle)
{
    CRecordingDialog dialog;
    HWND first = dialog.Create(nullptr, 0);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, dialog.GetHandle());
    EXPECT_EQ(first, dialog.Create(nullptr, 0));
    EXPECT_EQ(1, std::count(dialog.m_calls.begin(), dialog.m_calls.end(), "init"));
    EXPECT_FALSE(IsWindowVisible(first)) << "the template is not visible, so neither is the window";

    dialog.Close(5);
    EXPECT_EQ(nullptr, dialog.GetHandle());
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ("destroy", dialog.m_calls.back());
    dialog.Close(5); // nothing left to close
    EXPECT_EQ(nullptr, dialog.GetHandle());

    HWND again = dialog.Create(nullptr, 0);
    EXPECT_NE(nullptr, again);
    dialog.Close(0);
}

TEST_F(DialogFramework, MessagesReachTheirHooks)
{
    CRecordingDialog dialog;
    HWND window = dialog.Create(nullptr, 0);
    ASSERT_NE(nullptr, window);
    dialog.m_calls.clear();

    ShowWindow(window, SW_SHOW);
    ShowWindow(window, SW_HIDE);
    SendMessageA(window, WM_TIMER, kTimerId, 0);
    SendMessageA(window, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 42), 0);
    NMHDR header = {window, 9, static_cast<UINT>(-520)}; // TTN_NEEDTEXTA
    SendMessageA(window, WM_NOTIFY, 9, reinterpret_cast<LPARAM>(&header));
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_FOLDER_BROWSE, BN_CLICKED), 0);
    // WM_CLOSE itself closes nothing.
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(window, dialog.GetHandle());
    // IDCANCEL does, also for a modeless dialog.
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindow(window));

    std::vector<std::string> expected = {"show",         "hide",           "timer 7",     "hscroll 5,42", "notify 9",
                                         "tooltip text", "command 1006,0", "command 2,0", "destroy"};
    EXPECT_EQ(expected, dialog.m_calls);
}

TEST_F(DialogFramework, DestroyingTheObjectDestroysItsWindowWithoutCallingHooks)
{
    // The log outlives the object: no hook may run once its object is going.
    std::vector<std::string> calls;
    HWND window = nullptr;
    {
        CRecordingDialog dialog(IDD_FOLDER, &calls);
        window = dialog.Create(nullptr, 0);
        ASSERT_NE(nullptr, window);
        ShowWindow(window, SW_SHOW);
        EXPECT_EQ((std::vector<std::string>{"init", "show"}), calls);
        calls.clear();
    }
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(std::vector<std::string>{}, calls);
}

TEST_F(DialogFramework, ToolTipsInAllSixForms)
{
    CRecordingDialog dialog;
    HWND window = dialog.Create(nullptr, 0);
    ASSERT_NE(nullptr, window);
    EXPECT_FALSE(dialog.AddToolTip(IDOK, "before the tooltip window")) << "there is no tooltip window yet";
    ASSERT_TRUE(dialog.CreateToolTip());
    HWND tip = dialog.GetToolTip();
    ASSERT_NE(nullptr, tip);
    char className[64] = "";
    GetClassNameA(tip, className, sizeof(className));
    EXPECT_STREQ("tooltips_class32", className);
    EXPECT_EQ(window, GetWindow(tip, GW_OWNER));
    EXPECT_NE(0, GetWindowLongA(tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(0, GetWindowLongA(tip, GWL_STYLE) & TTS_BALLOON);
    EXPECT_EQ(700, SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
    EXPECT_EQ(30000, SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0));

    HWND edit = GetDlgItem(window, IDC_FOLDER_EDIT);
    EXPECT_TRUE(dialog.AddToolTip(IDOK, "Start the setup"));
    EXPECT_TRUE(dialog.AddToolTip(IDCANCEL, static_cast<UINT>(IDS_SETUP_COMPLETE)));
    EXPECT_TRUE(dialog.AddToolTip(IDC_FOLDER_BROWSE));
    EXPECT_TRUE(dialog.AddToolTip(edit, "The folder"));
    EXPECT_TRUE(dialog.AddToolTip(window, static_cast<UINT>(IDS_CAPTION)));
    EXPECT_TRUE(dialog.AddToolTip(FindWindowExA(window, nullptr, "Static", nullptr)));
    EXPECT_EQ(6, SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));

    char text[256] = "";
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = window;
    info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(window, IDCANCEL));
    info.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&info));
    char expected[256] = "";
    LoadStringA(g_hInstance, IDS_SETUP_COMPLETE, expected, sizeof(expected));
    EXPECT_STREQ(expected, text);

    dialog.Close(0);
    EXPECT_FALSE(IsWindow(tip)) << "the tooltip window goes with its dialog";
    EXPECT_EQ(nullptr, dialog.GetToolTip());
}

TEST_F(DialogFramework, BothTemplatesInThreeLanguagesChineseAsEnglish)
{
    auto templateBytes = [](WORD id, WORD language) {
        HRSRC resource = FindResourceExW(nullptr, MAKEINTRESOURCEW(5) /* RT_DIALOG */, MAKEINTRESOURCEW(id), language);
        if (!resource)
            return std::string();
        HGLOBAL loaded = LoadResource(nullptr, resource);
        const char* data = static_cast<const char*>(LockResource(loaded));
        return data ? std::string(data, SizeofResource(nullptr, resource)) : std::string();
    };
    for (WORD id : {static_cast<WORD>(IDD_WAIT), static_cast<WORD>(IDD_FOLDER)}) {
        std::string japanese = templateBytes(id, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
        std::string english = templateBytes(id, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
        std::string chinese = templateBytes(id, MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED));
        EXPECT_FALSE(japanese.empty()) << id;
        EXPECT_FALSE(english.empty()) << id;
        EXPECT_EQ(english, chinese) << id;
        EXPECT_NE(english, japanese) << id;
    }
}
