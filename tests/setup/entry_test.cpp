// The program's entry: single-instance guard, running-product check and its
// message, run under Wine with the product stand-in.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "tests/support/child_process.h"
#include "tests/support/message_texts.h"
#include "tests/support/setup_exit_codes.h"
#include "tests/support/test_paths.h"
#include "tests/support/ui_driver.h"
#include "tests/support/wait_until.h"

using namespace testing_support;

namespace {
bool WaitForMutex(const char* name, DWORD timeoutMs = 10000)
{
    return WaitUntil(
        [name] {
            HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, name);
            if (mutex)
                CloseHandle(mutex);
            return mutex != nullptr;
        },
        timeoutMs);
}

void StartProduct(ChildProcess& product, const std::string& arguments)
{
    ASSERT_TRUE(product.Start(BinPath("Brixelcast.exe"), "Brixelcast.exe " + arguments));
    ASSERT_TRUE(WaitForMutex("MUTEX_BRIXELCAST")) << "the product stand-in never took its mutex";
}

// The setup went past its entry: it shows the folder dialog. Cancelling
// ends the run normally (with "Setup is aborted." unless it is silent).
void CancelAtFolderDialog(ChildProcess& setup)
{
    HWND dialog = WaitForWindow(setup.Handle(), setup.Id(), FolderDialogCaption(), 30000);
    ASSERT_NE(nullptr, dialog) << "the setup did not go on to the folder dialog";
    PressButton(dialog, IDCANCEL);
    HWND box = WaitForMessageBox(setup.Handle(), setup.Id(), SetupCaption(), 5000);
    if (box)
        PressButton(box, IDOK);
    DWORD code = 1;
    ASSERT_TRUE(setup.WaitForExit(20000, &code));
    EXPECT_EQ(0u, code);
}

void StartSetup(ChildProcess& setup, const std::string& arguments = "")
{
    // Nothing recorded by earlier tests: the folder dialog is shown.
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Korvane\\Brixelcast");
    std::string line = Quote(BinPath("BCSetup.exe"));
    if (!arguments.empty())
        line += " " + arguments;
    ASSERT_TRUE(setup.Start(BinPath("BCSetup.exe"), line));
}
} // namespace

TEST(Entry, ProductNotRunningGoesOnWithoutMessageAndLeavesNoEvent)
{
    ChildProcess setup;
    StartSetup(setup);
    ASSERT_NE(nullptr, WaitForWindow(setup.Handle(), setup.Id(), FolderDialogCaption(), 30000));
    // The setup still runs: the probe's event must be gone already.
    HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, "HANDLE_BRIXELCAST_TERMINATE");
    EXPECT_EQ(nullptr, event) << "the probe's event was left behind";
    if (event)
        CloseHandle(event);
    CancelAtFolderDialog(setup);
}

TEST(Entry, ProductThatQuitsAfterTheThirdSignalIsGivenTimeBetweenSignals)
{
    std::string times = MakeScratchFolder("entry-signals") + "times.txt";
    ChildProcess product;
    StartProduct(product, "--ignore 2 --times " + Quote(times));
    ChildProcess setup;
    StartSetup(setup);
    CancelAtFolderDialog(setup);
    DWORD signals = 0;
    ASSERT_TRUE(product.WaitForExit(10000, &signals));
    EXPECT_EQ(3u, signals);
    // Half a second after each signal: the third comes at least ~1 s after the first.
    std::ifstream file(times);
    std::vector<unsigned long> sinceFirst;
    for (unsigned long ms; file >> ms;)
        sinceFirst.push_back(ms);
    ASSERT_EQ(3u, sinceFirst.size());
    EXPECT_GE(sinceFirst[2], 900u);
}

TEST(Entry, ProductThatNeverQuitsGivesMessage118AfterNineSignals)
{
    ChildProcess product;
    StartProduct(product, "--ignore all --lifetime 9000");
    ChildProcess setup;
    StartSetup(setup);
    HWND box = WaitForMessageBox(setup.Handle(), setup.Id(), SetupCaption(), 20000);
    ASSERT_NE(nullptr, box) << "message 118 never came";
    EXPECT_EQ(MessageText(IDS_PRODUCT_RUNNING), MessageBoxText(box));
    EXPECT_EQ(std::vector<std::string>{"OK"}, ButtonTexts(box));
    ASSERT_TRUE(PressButton(box, IDOK));
    DWORD code = 0;
    ASSERT_TRUE(setup.WaitForExit(10000, &code));
    EXPECT_EQ(kExitRefused, code);
    DWORD signals = 0;
    ASSERT_TRUE(product.WaitForExit(15000, &signals));
    EXPECT_EQ(9u, signals);
}

TEST(Entry, SecondCopyIsRefusedAtOnceAndTheFirstGoesOn)
{
    ChildProcess product;
    StartProduct(product, "--ignore all --lifetime 9000");
    ChildProcess first;
    StartSetup(first);
    ASSERT_TRUE(WaitForMutex("MUTEX_BRIXELCASTSETUP"));

    ChildProcess second;
    StartSetup(second, "/Silent");
    DWORD code = 0;
    bool sawWindow = false;
    WaitUntil([&] {
        sawWindow = sawWindow || !TopLevelWindows(second.Id()).empty();
        return !second.IsRunning();
    });
    ASSERT_TRUE(second.WaitForExit(0, &code));
    EXPECT_EQ(kExitRefused, code);
    EXPECT_FALSE(sawWindow);

    EXPECT_TRUE(first.IsRunning());
    HWND box = WaitForMessageBox(first.Handle(), first.Id(), SetupCaption(), 20000);
    ASSERT_NE(nullptr, box) << "the first copy was disturbed";
    PressButton(box, IDOK);
    ASSERT_TRUE(first.WaitForExit(10000, &code));
    EXPECT_EQ(kExitRefused, code);
}

TEST(Entry, OddAndHugeCommandLinesDoNotCrash)
{
    std::string odd = "\"\"\" /  -- / \"/Silent";
    std::string huge;
    while (huge.size() < 32000)
        huge += " -\"x /Unknown";
    for (const std::string& arguments : {odd, huge}) {
        ChildProcess setup;
        StartSetup(setup, arguments);
        CancelAtFolderDialog(setup);
    }
}
