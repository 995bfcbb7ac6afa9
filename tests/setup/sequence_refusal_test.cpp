// Runs of the setup that hinge on the free space where its work folder
// goes: too little, and exactly enough. (The work folder's fallback name "exp.tmp" is
// tested with the work-folder functions: under Wine, GetTempFileName hands
// out a name even when every name is taken, so a whole run can't reach it.)
#include <gtest/gtest.h>

#include "resource_ids.h"
#include "tests/setup/setup_scenario.h"
#include "tests/support/child_process.h"
#include "tests/support/setup_exit_codes.h"
#include "tests/support/test_paths.h"
#include "tests/support/ui_driver.h"
#include "tests/support/unix_link.h"

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

// For the object's life the system's temporary folder, where the elevated
// setup makes its work folder, is the root of a size-limited drive: the
// prefix's own folder is moved aside and a link to the drive takes its place
// (Wine reports the free space of the drive the link leads to).
class SystemTempOnDrive {
public:
    explicit SystemTempOnDrive(const std::string& root)
        : m_strTemp(SystemTempFolder().substr(0, SystemTempFolder().size() - 1)), m_strAside(m_strTemp + ".aside")
    {
        m_bMoved = MoveFileW(Widen(m_strTemp).c_str(), Widen(m_strAside).c_str()) != FALSE;
        m_bLinked = m_bMoved && PlantUnixLink(m_strTemp, root);
    }
    ~SystemTempOnDrive()
    {
        if (m_bLinked)
            RemoveUnixLink(m_strTemp);
        if (m_bMoved)
            MoveFileW(Widen(m_strAside).c_str(), Widen(m_strTemp).c_str());
    }
    bool IsInPlace() const { return m_bLinked; }

private:
    std::string m_strTemp, m_strAside;
    bool m_bMoved = false, m_bLinked = false;
};
} // namespace

// Where the work folder goes counts: the system's temporary folder, as the
// setup runs elevated. On a drive with one page less than 200 MiB free the
// run is refused with message 113 and leaves nothing there; with exactly
// 200 MiB it goes on. The user's temporary folder on the short drive is no
// reason to refuse: nothing of the setup's goes there but its log.
TEST(SequenceRefusal, FreeSpaceWhereTheWorkFolderGoes)
{
    if (!HasDrive(L"R:\\") || !HasDrive(L"S:\\"))
        GTEST_SKIP() << "no size-limited drives R: and S: (the test command mounts them as root)";
    {
        SetupScenario run("tempshort");
        SystemTempOnDrive temp("R:\\");
        ASSERT_TRUE(temp.IsInPlace());
        ASSERT_TRUE(run.Start());
        run.Answer(IDS_NO_TEMP_SPACE, IDOK);
        EXPECT_EQ(kExitRefused, run.Finish());
        EXPECT_TRUE(IsEmptyFolder(L"R:\\")) << "a refused run left something behind";
    }
    {
        SetupScenario run("tempexact");
        SystemTempOnDrive temp("S:\\");
        ASSERT_TRUE(temp.IsInPlace());
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(run.AnswerFolderDialog(IDCANCEL)) << "the run did not go on to the destination";
        run.Answer(IDS_SETUP_ABORTED, IDOK);
        EXPECT_EQ(kExitOk, run.Finish());
        EXPECT_TRUE(IsEmptyFolder(L"S:\\")) << "the work folder was left on S:";
    }
    {
        SetupScenario run("usertempshort");
        UseTemporaryFolder(run, "R:\\");
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(run.AnswerFolderDialog(IDCANCEL)) << "refused for the user's temporary folder";
        run.Answer(IDS_SETUP_ABORTED, IDOK);
        EXPECT_EQ(kExitOk, run.Finish());
        EXPECT_TRUE(IsEmptyFolder(L"R:\\"));
    }
}
