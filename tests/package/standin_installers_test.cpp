// The stand-in installers honour their contracts and their scripting: what
// other tests (and the whole setup's tests) rely on.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "package/package_archive.h"
#include "package/payload_extraction.h"
#include "resource_ids.h"
#include "tests/package/installer_test_support.h"
#include "tests/support/ansi_text.h"
#include "tests/support/child_process.h"
#include "tests/support/standin_journal.h"
#include "tests/support/test_paths.h"
#include "tests/support/ui_driver.h"
#include "tests/support/wait_until.h"
#include "tests/package/package_calls_by_path.h"

using namespace testing_support;
using namespace installer_testing;

namespace {
const DWORD kExitMs = 20000;
volatile LONG g_nEndSessionQueries = 0;

// A window that refuses to let the session end, as the setup's wait window does.
LRESULT CALLBACK RefusingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_QUERYENDSESSION) {
        InterlockedIncrement(&g_nEndSessionQueries);
        return FALSE;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

DWORD RunToEnd(const std::string& program, const std::string& commandLine, const LaunchOptions& options = {})
{
    ChildProcess child;
    DWORD code = 0xFFFFFFFF;
    if (!child.Start(program, commandLine, options) || !child.WaitForExit(kExitMs, &code))
        ADD_FAILURE() << commandLine << " did not run to its end";
    return code;
}
} // namespace

TEST(InstallerStandIn, RefusesToRunWithoutItsPackageFiles)
{
    std::string scratch = MakeScratchFolder("standin-setup-alone");
    ScopedJournal journal(scratch);
    // The build folder holds setup.exe but not its package files.
    EXPECT_EQ(3u, RunToEnd(BinPath("setup.exe"), "setup.exe", {"", {{"BCSETUP_SETUP_ACTION", "install"}}}));
    ASSERT_EQ(1u, journal.Entries().size());
    EXPECT_EQ("error: the package lacks setup.skin", journal.Entries()[0].action);
}

TEST(InstallerStandIn, CancelButtonAndARefusedRequestToEndTheSession)
{
    std::string scratch = MakeScratchFolder("standin-setup-cancel");
    std::string package = ToAnsi(scratch) + "BCSetup_IS.bin";
    ASSERT_EQ(S_OK, ExtractPayloadTo(IDR_PAYLOAD_MAIN, package.c_str()));
    ASSERT_EQ(S_OK, UnpackPackageInto(package.c_str(), ToAnsi(scratch).c_str()));
    ScopedProductKey productKey(scratch + "Programs\\");
    ScopedJournal journal(scratch);
    WindowOnOwnThread refuser(L"refuses to end the session", SW_SHOWNOACTIVATE, RefusingWindowProc);
    g_nEndSessionQueries = 0;

    ChildProcess installer;
    ASSERT_TRUE(installer.Start(scratch + "setup.exe", Quote(scratch + "setup.exe"),
                                {"", {{"BCSETUP_SETUP_END_SESSION", "1"}}}));
    HWND window = WaitForWindow(installer.Handle(), installer.Id(), kInstallerTitle);
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(WaitUntil([] { return g_nEndSessionQueries > 0; }, 10000)) << "the session end was never asked for";
    PressButton(window, IDCANCEL);
    DWORD code = 1;
    ASSERT_TRUE(installer.WaitForExit(kExitMs, &code));
    EXPECT_EQ(0u, code);
    DWORD cancelled = 0;
    EXPECT_TRUE(ReadProductDword("CANCELED", &cancelled));
    EXPECT_EQ(1u, cancelled);
    ASSERT_EQ(1u, journal.Entries().size());
    EXPECT_EQ("asked to end the session; cancelled", journal.Entries()[0].action);
}

TEST(CompanionStandIns, AcceptExactlyTheirSilentCommandLines)
{
    std::string scratch = MakeScratchFolder("standin-companions");
    ScopedJournal journal(scratch);
    std::string divx = BinPath("DivXPro.exe");
    std::string wmf = BinPath("wmfdist.exe");
    EXPECT_EQ(87u, RunToEnd(divx, Quote(divx) + " /S /DIVXLANG=JA /Q"));
    EXPECT_EQ(87u, RunToEnd(divx, Quote(divx) + " /DIVXLANG=JA"));
    EXPECT_EQ(87u, RunToEnd(wmf, Quote(wmf) + " /S"));
    EXPECT_EQ(0u, RunToEnd(divx, Quote(divx) + " /S"));
    std::vector<JournalEntry> entries = journal.Entries();
    ASSERT_EQ(4u, entries.size());
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ("rejected the command line", entries[i].action) << entries[i].commandLine;
    EXPECT_EQ("installed silently", entries[3].action);
}

TEST(CompanionStandIns, AskInAWindowWithoutTheirSwitch)
{
    std::string scratch = MakeScratchFolder("standin-companion-window");
    ScopedJournal journal(scratch);
    ChildProcess companion;
    ASSERT_TRUE(companion.Start(BinPath("DivXPro.exe"), "DivXPro.exe"));
    HWND window = WaitForWindow(companion.Handle(), companion.Id(), "DivX Setup");
    ASSERT_NE(nullptr, window);
    EXPECT_EQ((std::vector<std::string>{"Install", "Cancel"}), ButtonTexts(window));
    PressButton(window, IDOK);
    DWORD code = 1;
    ASSERT_TRUE(companion.WaitForExit(kExitMs, &code));
    EXPECT_EQ(0u, code);
    ASSERT_EQ(1u, journal.Entries().size());
    EXPECT_EQ("installed after asking", journal.Entries()[0].action);
}

TEST(CompanionStandIns, SetTheScriptedRegistryValues)
{
    std::string scratch = MakeScratchFolder("standin-registry");
    ScopedProductKey productKey(scratch);
    ScopedJournal journal(scratch);
    std::string values = "HKLM\\Software\\Korvane\\Brixelcast\\RequireReboot=dword:1;"
                         "HKLM\\Software\\Korvane\\Brixelcast\\Path=sz:C:\\Brixelcast\\;"
                         "nonsense";
    std::string wmf = BinPath("wmfdist.exe");
    EXPECT_EQ(0u, RunToEnd(wmf, Quote(wmf) + " /Q", {"", {{"BCSETUP_WMFDIST_REGISTRY", values}}}));
    DWORD reboot = 0;
    EXPECT_TRUE(ReadProductDword("RequireReboot", &reboot));
    EXPECT_EQ(1u, reboot);
    EXPECT_EQ("C:\\Brixelcast\\", ReadProductText("Path"));
    ASSERT_EQ(1u, journal.Entries().size());
    EXPECT_NE(std::string::npos, journal.Entries()[0].action.find("could not set nonsense"));
}
