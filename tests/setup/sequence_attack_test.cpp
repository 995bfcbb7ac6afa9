// Whole runs of the setup while another program of the same user, not
// elevated, works against it: it plants files, folders and links at the
// names the setup is about to write, and tries to write, rename and remove
// what the setup holds. Nothing outside the work folder may change, nothing
// planted may be written or run, and the run ends with message 111 where a
// payload or entry could not be written. (Under Wine no security descriptor
// is kept, so what these runs show is what share modes and creation
// dispositions enforce; the work folder's protected descriptor adds to it
// on Windows.)
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "resource_ids.h"
#include "tests/setup/setup_scenario.h"
#include "tests/support/child_process.h"
#include "tests/support/planted_names.h"
#include "tests/support/setup_exit_codes.h"
#include "tests/support/test_paths.h"
#include "tests/support/ui_driver.h"
#include "tests/support/unix_link.h"
#include "tests/support/wait_until.h"

using namespace testing_support;

namespace {
// "かんたん映像箱 インストーラ", the stand-in installer's window.
const wchar_t kInstallerTitle[] = L"\u304B\u3093\u305F\u3093\u6620\u50CF\u7BB1 \u30A4\u30F3\u30B9\u30C8\u30FC\u30E9";
// What the main package unpacks beside setup.exe.
const char* const kEntries[] = {"setup.exe",  "setup.inx",    "setup.ini", "setup.boot",
                                "setup.skin", "engine32.cab", "layout.bin"};

// What another program gets when it opens path so.
DWORD OpenError(const std::string& path, DWORD access, DWORD share)
{
    HANDLE file =
        CreateFileW(Widen(path).c_str(), access, share, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    CloseHandle(file);
    return ERROR_SUCCESS;
}

// A folder outside the work folder for what the other program points its
// links to.
std::string OutsideFolder(const SetupScenario& run)
{
    const std::string outside = run.ScratchFolder() + "outside\\";
    CreateDirectoryW(Widen(outside).c_str(), nullptr);
    return outside;
}

// Starts the run with its log in the scratch folder; the log's path.
std::string StartLogged(SetupScenario& run)
{
    const std::string logPath = run.ScratchFolder() + "setup.log";
    EXPECT_TRUE(run.Start(Quote("/Log=" + logPath)));
    return logPath;
}
} // namespace

// While the folder dialog waits on the user the work folder is empty; it
// stays the setup's own all the same: another program can neither rename
// nor remove it, and a link it puts inside is not followed by the removal.
TEST(SequenceAttack, WorkFolderStaysTheSetupsOwnWhileTheDialogWaits)
{
    SetupScenario run("heldfolder");
    run.SetEnvironment("BCSETUP_SETUP_ACTION", "install");
    const std::string outside = OutsideFolder(run);
    std::ofstream(Widen(outside + "keep.txt").c_str()) << "keep";
    ASSERT_TRUE(run.Start());
    HWND dialog = run.WaitForFolderDialog();
    ASSERT_NE(nullptr, dialog);
    const std::string work = run.CurrentWorkFolder();
    ASSERT_FALSE(work.empty());
    const std::wstring folder = Widen(work.substr(0, work.size() - 1));
    EXPECT_FALSE(MoveFileW(folder.c_str(), (folder + L".moved").c_str())) << "renamed by another program";
    const DWORD renameError = GetLastError();
    EXPECT_FALSE(RemoveDirectoryW(folder.c_str())) << "removed by another program";
    std::printf("work folder %s: rename refused (error %lu), removal refused (error %lu)\n", work.c_str(),
                static_cast<unsigned long>(renameError), static_cast<unsigned long>(GetLastError()));
    ASSERT_TRUE(PlantUnixLink(work + "link", outside));
    PressButton(dialog, IDOK);
    run.Answer(IDS_SETUP_COMPLETE, IDOK);
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_EQ((std::vector<std::string>{"setup", "DivXPro", "wmfdist"}), run.JournalNames());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Widen(outside + "keep.txt").c_str()))
        << "the removal followed the link";
    // Wine removes no link through Windows calls: there the folder stays with the link alone.
    RemoveUnixLink(work + "link");
    RemoveDirectoryW(folder.c_str());
}

// A link planted at an entry's name before the package is unpacked: the
// entry is not written through it, the file it points to stays as it was,
// nothing runs, and the log names the name.
TEST(SequenceAttack, LinkPlantedAtAnEntrysNameGivesMessage111AndItsTargetStays)
{
    SetupScenario run("plantedentry");
    const std::string outside = OutsideFolder(run);
    const std::string logPath = StartLogged(run);
    ASSERT_NE(nullptr, run.WaitForFolderDialog());
    const std::string workFolder = run.CurrentWorkFolder();
    ASSERT_FALSE(workFolder.empty());
    ASSERT_TRUE(Plant(PlantedKind::LinkToAFileOutside, workFolder + "setup.inx", outside));
    ASSERT_TRUE(run.AnswerFolderDialog(IDOK));
    run.Answer(IDS_SETUP_FAILED, IDOK);
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_TRUE(run.JournalNames().empty());
    EXPECT_EQ("", ChangedSincePlanted(PlantedKind::LinkToAFileOutside, workFolder + "setup.inx", outside));

    std::vector<std::string> log = ReadSetupLog(logPath);
    const std::string exists = ": 0x80070050";
    EXPECT_EQ(1u, LinesWith(log, workFolder + "setup.inx was put in the work folder by another program").size());
    EXPECT_EQ(1u, LinesWith(log, "Failed to unpack the package " + workFolder + "BCSetup_IS.bin").size());
    EXPECT_EQ(1u, LinesWith(log, "The main installer failed" + exists).size());
    EXPECT_EQ(1u, LinesWith(log, "Message 111 answered: OK").size());
    EXPECT_TRUE(LinesWith(log, "Starting ").empty());
    RemovePlanted(PlantedKind::LinkToAFileOutside, workFolder + "setup.inx", outside);
    RemoveDirectoryW(Widen(workFolder.substr(0, workFolder.size() - 1)).c_str());
}

// While the main installer runs, another program tries everything it can
// on what the setup wrote: no entry can be written, renamed or removed, nor
// the work folder or the installers' temporary folder; the installer can
// still read its files. A link it plants at the next payload's name
// (DivXPro.exe) is refused: nothing is written through it, the file it
// points to stays, DivX is not run, and the run ends with message 111.
TEST(SequenceAttack, NothingTheInstallerUsesCanBeChangedAndAPlantedPayloadNameIsRefused)
{
    SetupScenario run("duringinstall");
    const std::string outside = OutsideFolder(run);
    const std::string logPath = StartLogged(run);
    ASSERT_TRUE(run.AnswerFolderDialog(IDOK));
    HWND installer = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (installer = FindWindowW(nullptr, kInstallerTitle)) != nullptr; }, 60000));
    const std::string work = run.CurrentWorkFolder();
    ASSERT_FALSE(work.empty());

    for (const char* entry : kEntries) {
        const std::string path = work + entry;
        EXPECT_EQ(ERROR_SUCCESS, OpenError(path, GENERIC_READ, FILE_SHARE_READ)) << entry << " can't be read";
        EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION),
                  OpenError(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
            << entry << " can be written";
        EXPECT_FALSE(MoveFileW(Widen(path).c_str(), Widen(outside + entry).c_str())) << entry << " can be moved";
        EXPECT_FALSE(DeleteFileW(Widen(path).c_str())) << entry << " can be deleted";
    }
    for (const std::string& folder : {work + "Temp", work.substr(0, work.size() - 1)}) {
        EXPECT_FALSE(MoveFileW(Widen(folder).c_str(), Widen(outside + "moved").c_str())) << folder;
        EXPECT_FALSE(RemoveDirectoryW(Widen(folder).c_str())) << folder;
    }
    ASSERT_TRUE(Plant(PlantedKind::LinkToAFileOutside, work + "DivXPro.exe", outside));
    PressButton(installer, IDOK);
    run.Answer(IDS_SETUP_FAILED, IDOK);
    EXPECT_EQ(kExitOk, run.Finish());
    EXPECT_EQ(std::vector<std::string>{"setup"}, run.JournalNames());
    EXPECT_EQ("", ChangedSincePlanted(PlantedKind::LinkToAFileOutside, work + "DivXPro.exe", outside));
    std::vector<std::string> log = ReadSetupLog(logPath);
    EXPECT_EQ(1u, LinesWith(log, work + "DivXPro.exe was put in the work folder by another program").size());
    EXPECT_EQ(1u, LinesWith(log, "The DivX installer failed: 0x80070050").size());
    RemovePlanted(PlantedKind::LinkToAFileOutside, work + "DivXPro.exe", outside);
    RemoveDirectoryW(Widen(work.substr(0, work.size() - 1)).c_str());
}
