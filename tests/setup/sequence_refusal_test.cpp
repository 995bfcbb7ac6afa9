// Runs of the setup that hinge on the temporary folder's free space: too
// little, and exactly enough. (The work folder's fallback name "exp.tmp" is
// tested with the work-folder functions: under Wine, GetTempFileName hands
// out a name even when every name is taken, so a whole run can't reach it.)
#include <gtest/gtest.h>


#include "resource_ids.h"
#include "tests/setup/setup_scenario.h"
#include "tests/support/child_process.h"
#include "tests/support/setup_exit_codes.h"
#include "tests/support/test_paths.h"
#include "tests/support/ui_driver.h"

using namespace testing_support;

namespace {
// The size-limited drives that the test command mounts (needs root).
bool HasDrive(const wchar_t* root)
{
    return GetDriveTypeW(root) != DRIVE_NO_ROOT_DIR;
}

bool IsEmptyFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return true;
    bool empty = true;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..")
            empty = false;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return empty;
}

void UseTemporaryFolder(SetupScenario& run, const std::string& folder)
{
    run.SetEnvironment("TEMP", folder);
    run.SetEnvironment("TMP", folder);
}
} // namespace

TEST(SequenceRefusal, TooLittleTemporarySpaceGivesMessage113)
{
    if (!HasDrive(L"R:\\"))
        GTEST_SKIP() << "no size-limited drive R: (the test command mounts it as root)";
    SetupScenario run("tempshort");
    UseTemporaryFolder(run, "R:\\");
    ASSERT_TRUE(run.Start());
    run.Answer(IDS_NO_TEMP_SPACE, IDOK);
    EXPECT_EQ(kExitRefused, run.Finish());
    EXPECT_TRUE(IsEmptyFolder(L"R:\\")) << "a refused run left something behind";
}

TEST(SequenceRefusal, ExactlyEnoughTemporarySpaceGoesOn)
{
    if (!HasDrive(L"S:\\"))
        GTEST_SKIP() << "no size-limited drive S: (the test command mounts it as root)";
    SetupScenario run("tempexact");
    UseTemporaryFolder(run, "S:\\");
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(run.AnswerFolderDialog(IDCANCEL)) << "the run did not go on to the destination";
    run.Answer(IDS_SETUP_ABORTED, IDOK);
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_TRUE(IsEmptyFolder(L"S:\\")) << "the work folder was left on S:";
}
