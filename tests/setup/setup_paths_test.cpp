// Path helpers, the work folder and the DirectX setup program on the medium.
#include <windows.h>

#include <aclapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <set>
#include <string>

#include "base/file_existence.h"
#include "base/handle_relative/folder_handle_open.h"
#include "base/handle_relative/vista_file_calls.h"
#include "setup/setup_paths.h"
#include "setup/work_folder.h"
#include "setup/work_folder_security.h"
#include "tests/support/test_paths.h"
#include "tests/support/unix_link.h"

namespace {
const char kTable[] = "\x95\x5C"; // "表": its trail byte is a backslash byte

bool IsCodePage932()
{
    return GetACP() == 932;
}

std::string Text(const CTextString& text)
{
    return text.GetData() ? text.GetData() : "";
}

bool IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(ParentFolder, FilesAndFolders)
{
    EXPECT_EQ("C:\\", Text(GetParentFolder("C:\\")));
    EXPECT_EQ("C:\\", Text(GetParentFolder("C:\\Setup")));
    EXPECT_EQ("C:\\A", Text(GetParentFolder("C:\\A\\B")));
    EXPECT_EQ("C:\\A\\B", Text(GetParentFolder("C:\\A\\B\\x.exe")));
    EXPECT_EQ("C:\\A\\B", Text(GetParentFolder("C:\\A\\B\\")));
    EXPECT_EQ("\\", Text(GetParentFolder("\\x.exe")));
    EXPECT_EQ("\\\\server\\share", Text(GetParentFolder("\\\\server\\share\\x.exe")));
    EXPECT_EQ("D:", Text(GetParentFolder("D:")));
    EXPECT_EQ("", Text(GetParentFolder("x.exe")));
    EXPECT_EQ("", Text(GetParentFolder("")));
    EXPECT_EQ("", Text(GetParentFolder(nullptr)));
}

TEST(ParentFolder, DoubleByteNamesKeepTheirTrailByte)
{
    if (!IsCodePage932())
        GTEST_SKIP() << "needs code page 932";
    const std::string folder = std::string("C:\\") + kTable;
    EXPECT_EQ(folder, Text(GetParentFolder((folder + "\\x.exe").c_str())));
    EXPECT_EQ("C:\\", Text(GetParentFolder(folder.c_str())));
    EXPECT_EQ(folder, Text(GetParentFolder((folder + "\\" + kTable).c_str())));
}

TEST(Backslashes, AppendAndStrip)
{
    char text[16] = "";
    EXPECT_STREQ("", AppendBackslash(text));
    std::strcpy(text, "C:\\A");
    EXPECT_STREQ("C:\\A\\", AppendBackslash(text));
    EXPECT_STREQ("C:\\A\\", AppendBackslash(text));
    EXPECT_STREQ("C:\\A", StripBackslash(text));
    EXPECT_STREQ("C:\\A", StripBackslash(text));
    char empty[4] = "";
    EXPECT_STREQ("", StripBackslash(empty));
    // No room for the backslash and its terminator: the text stays as it is.
    char full[5] = "C:\\A";
    EXPECT_STREQ("C:\\A", AppendBackslash(full));
}

TEST(Backslashes, TrailByteIsNoBackslash)
{
    if (!IsCodePage932())
        GTEST_SKIP() << "needs code page 932";
    char text[16] = "C:\\";
    std::strcat(text, kTable);
    const std::string bare = text;
    EXPECT_EQ(bare + "\\", AppendBackslash(text));
    EXPECT_EQ(bare, StripBackslash(text));
    EXPECT_EQ(bare, StripBackslash(text));
}

TEST(Existence, FilesAndFolders)
{
    const std::string folder = testing_support::MakeScratchFolder("file_exists");
    EXPECT_TRUE(FileExists(folder.substr(0, folder.size() - 1).c_str()));
    EXPECT_FALSE(FileExists((folder + "missing.txt").c_str()));
    std::ofstream(folder + "present.txt") << "x";
    EXPECT_TRUE(FileExists((folder + "present.txt").c_str()));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(nullptr));
    testing_support::RemoveTree(folder);
}

class WorkFolderTest : public ::testing::Test {
protected:
    void SetUp() override { m_temp = testing_support::MakeScratchFolder("work_folder"); }
    void TearDown() override { testing_support::RemoveTree(m_temp); }
    std::string m_temp;
};

TEST_F(WorkFolderTest, TemporaryFolderEndsInABackslash)
{
    char folder[SETUP_PATH_SIZE];
    GetTemporaryFolder(folder);
    char expected[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(MAX_PATH, expected));
    EXPECT_STREQ(expected, folder);
    EXPECT_EQ('\\', folder[std::strlen(folder) - 1]);
}

TEST_F(WorkFolderTest, MadeConfirmedAndRemovedWithItsContent)
{
    CWorkFolder work;
    ASSERT_EQ(S_OK, work.Create(m_temp.c_str()));
    const std::string name = work.GetPath();
    EXPECT_EQ(0u, name.find(m_temp + "exp")) << name;
    EXPECT_EQ(name.size() - 4, name.rfind(".tmp")) << name;
    EXPECT_TRUE(IsFolder(name));

    ASSERT_TRUE(work.Confirm());
    EXPECT_EQ(name + "\\", work.GetPath());
    // The installers' temporary folder: made inside it, held as it is, gone with it.
    EXPECT_STREQ("", work.GetInstallersTempPath());
    ASSERT_EQ(S_OK, work.CreateInstallersTemp());
    EXPECT_EQ(name + "\\Temp\\", work.GetInstallersTempPath());
    EXPECT_TRUE(IsFolder(name + "\\Temp"));
    EXPECT_FALSE(RemoveDirectoryA((name + "\\Temp").c_str())) << "removed while held";
    EXPECT_FALSE(MoveFileA((name + "\\Temp").c_str(), (name + "\\Moved").c_str())) << "renamed while held";
    std::ofstream(name + "\\Temp\\_is1.tmp") << "an installer's own";
    ASSERT_TRUE(CreateDirectoryA((name + "\\disk1").c_str(), nullptr));
    std::ofstream(name + "\\disk1\\setup.exe") << "payload";
    // An installer may leave read-only files behind.
    std::ofstream(name + "\\disk1\\data1.hdr") << "payload";
    ASSERT_TRUE(SetFileAttributesA((name + "\\disk1\\data1.hdr").c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_EQ(S_OK, work.Remove());
    EXPECT_FALSE(FileExists(name.c_str()));
    EXPECT_STREQ("", work.GetPath());
    EXPECT_STREQ("", work.GetInstallersTempPath());
    EXPECT_EQ(S_FALSE, work.Remove());
    EXPECT_TRUE(IsFolder(m_temp));

    // A name put there before is refused, never taken over.
    ASSERT_EQ(S_OK, work.Create(m_temp.c_str()));
    ASSERT_TRUE(work.Confirm());
    std::ofstream(std::string(work.GetPath()) + "Temp") << "planted";
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS), work.CreateInstallersTemp());
    EXPECT_STREQ("", work.GetInstallersTempPath());
    EXPECT_EQ(S_OK, work.Remove());
}

// Whatever way its owner leaves, the folder goes with it.
TEST_F(WorkFolderTest, RemovedWhenItsOwnerGoes)
{
    std::string name;
    {
        CWorkFolder work;
        ASSERT_EQ(S_OK, work.Create(m_temp.c_str()));
        name = work.GetPath();
        std::ofstream(name + "\\setup.exe") << "payload";
    }
    EXPECT_FALSE(FileExists(name.c_str()));
}

namespace {

// The well-known SID of the given authority and sub-authorities, freed with the object.
class CWellKnownSid {
public:
    CWellKnownSid(SID_IDENTIFIER_AUTHORITY authority, BYTE count, DWORD first, DWORD second = 0)
    {
        if (!AllocateAndInitializeSid(&authority, count, first, second, 0, 0, 0, 0, 0, 0, &m_pSid))
            m_pSid = nullptr;
    }
    ~CWellKnownSid()
    {
        if (m_pSid)
            FreeSid(m_pSid);
    }
    CWellKnownSid(const CWellKnownSid&) = delete;
    CWellKnownSid& operator=(const CWellKnownSid&) = delete;
    PSID Get() const { return m_pSid; }

private:
    PSID m_pSid = nullptr;
};

const SID_IDENTIFIER_AUTHORITY NT_AUTHORITY = SECURITY_NT_AUTHORITY;
const SID_IDENTIFIER_AUTHORITY WORLD_AUTHORITY = SECURITY_WORLD_SID_AUTHORITY;

// Whether the DACL of the folder, as the platform reports it, admits sid at all.
bool FolderAdmits(const std::string& folder, PSID sid)
{
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
              GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                    &dacl, nullptr, &descriptor));
    bool admitted = !dacl; // no DACL admits everybody
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        if (GetAce(dacl, i, reinterpret_cast<void**>(&ace)) && ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
            EqualSid(&ace->SidStart, sid))
            admitted = true;
    }
    LocalFree(descriptor);
    return admitted;
}

} // namespace

// The descriptor the elevated setup makes its work folder with: owned by
// Administrators, nothing inherited from the temporary folder, full control
// for Administrators and SYSTEM, passed on to everything made inside. Only
// on a volume that keeps no security is there none.
TEST_F(WorkFolderTest, ElevatedSetupMakesAFolderOnlyAdministratorsAndSystemMayUse)
{
    ASSERT_TRUE(IsProcessElevated()) << "the tests run as an elevated administrator, as the setup does";
    CWellKnownSid administrators(NT_AUTHORITY, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS);
    CWellKnownSid system(NT_AUTHORITY, 1, SECURITY_LOCAL_SYSTEM_RID);
    CWellKnownSid everyone(WORLD_AUTHORITY, 1, SECURITY_WORLD_RID);
    CWellKnownSid users(NT_AUTHORITY, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS);

    CWorkFolderSecurity security;
    ASSERT_EQ(S_OK, security.GetResult());
    EXPECT_EQ(WorkFolderProtection::PROTECTED, security.GetProtection());
    PSECURITY_DESCRIPTOR descriptor = security.GetDescriptor();
    ASSERT_NE(nullptr, descriptor);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED) << "rights of the temporary folder must not be inherited";
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    ASSERT_TRUE(GetSecurityDescriptorOwner(descriptor, &owner, &defaulted));
    EXPECT_TRUE(owner && EqualSid(owner, administrators.Get())) << "the user's own programs must not own it";
    BOOL present = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
    ASSERT_TRUE(present && dacl);
    ASSERT_EQ(2u, static_cast<unsigned>(dacl->AceCount));
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        EXPECT_EQ(ACCESS_ALLOWED_ACE_TYPE, ace->Header.AceType) << i;
        EXPECT_EQ(static_cast<BYTE>(OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE), ace->Header.AceFlags) << i;
        EXPECT_EQ(static_cast<ACCESS_MASK>(FILE_ALL_ACCESS), ace->Mask) << i;
        EXPECT_TRUE(EqualSid(&ace->SidStart, i == 0 ? administrators.Get() : system.Get())) << i;
    }
    // On a volume without FILE_PERSISTENT_ACLS no folder may be made at all:
    // no silent fall back to the default security.
    CWorkFolderSecurity fat(0);
    EXPECT_EQ(WorkFolderProtection::DEFAULT_NO_VOLUME_SECURITY, fat.GetProtection());
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_NOT_SUPPORTED), fat.GetResult());
    EXPECT_EQ(nullptr, fat.GetDescriptor());

    // The folder itself, read back. Wine does not keep a file's descriptor
    // (nor enforce one): it turns the DACL into the Unix mode bits and
    // reports a descriptor made from them, owner, SYSTEM and, when others
    // may read, Everyone. So under Wine what shows is that the folder admits
    // neither Everyone nor Users, where a folder of the default security
    // made beside it admits Everyone; on Windows it holds the entries above.
    CWorkFolder work;
    ASSERT_EQ(S_OK, work.Create(m_temp.c_str()));
    const std::string name = work.GetPath();
    const std::string plain = m_temp + "default";
    ASSERT_TRUE(CreateDirectoryA(plain.c_str(), nullptr));
    EXPECT_TRUE(FolderAdmits(plain, everyone.Get())) << "the comparison shows nothing on this platform";
    EXPECT_FALSE(FolderAdmits(name, everyone.Get()));
    EXPECT_FALSE(FolderAdmits(name, users.Get()));
    EXPECT_TRUE(FolderAdmits(name, system.Get()));

    // The setup still fills and removes it.
    ASSERT_TRUE(work.Confirm());
    std::ofstream(std::string(work.GetPath()) + "setup.exe") << "payload";
    EXPECT_EQ(S_OK, work.Remove());
    EXPECT_FALSE(FileExists(name.c_str()));
}

// A name another program took first is never taken over, whatever it holds:
// the protected create fails instead of falling back to what is there or to
// the default security.
TEST_F(WorkFolderTest, ProtectedCreateNeverTakesAnExistingFolder)
{
    const std::string taken = m_temp + "taken";
    ASSERT_TRUE(CreateDirectoryA(taken.c_str(), nullptr));
    std::ofstream(taken + "\\planted.dll") << "x";
    UniqueFileHandle parent(CreateFileA(m_temp.c_str(), FILE_TRAVERSE | FILE_ADD_SUBDIRECTORY,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(parent.IsValid());
    CWorkFolderSecurity security;
    UniqueFileHandle folder;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS),
              OpenInFolder(parent.Get(), L"taken", 5, FILE_LIST_DIRECTORY | DELETE, FILE_SHARE_READ, FILE_CREATE,
                           FILE_DIRECTORY_FILE | FILE_OPEN_REPARSE_POINT, security.GetDescriptor(), folder));
    EXPECT_FALSE(folder.IsValid());
    EXPECT_TRUE(FileExists((taken + "\\planted.dll").c_str())) << "another program's folder is left as it is";
}

// From its creation to its removal the folder is held: no other program can
// rename or remove it (and so put another folder or a link in its place).
// ... while the installers can work in it as in any folder: make it their
// current folder and list it (opens that don't share deletion).
TEST_F(WorkFolderTest, HeldSoThatNobodyCanRenameOrRemoveIt)
{
    CWorkFolder work;
    ASSERT_EQ(S_OK, work.Create(m_temp.c_str()));
    const std::string name = work.GetPath();
    EXPECT_FALSE(RemoveDirectoryA(name.c_str())) << "removed while empty";
    EXPECT_FALSE(MoveFileA(name.c_str(), (name + ".moved").c_str())) << "renamed";
    EXPECT_FALSE(IsFolder(name + ".moved"));
    std::ofstream(name + "\\setup.exe") << "payload";
    char before[MAX_PATH];
    ASSERT_NE(0u, GetCurrentDirectoryA(MAX_PATH, before));
    EXPECT_TRUE(SetCurrentDirectoryA(name.c_str())) << "an installer can't make it its current folder: "
                                                    << GetLastError();
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA((name + "\\*").c_str(), &found);
    EXPECT_NE(INVALID_HANDLE_VALUE, listing) << "an installer can't list it: " << GetLastError();
    if (listing != INVALID_HANDLE_VALUE)
        FindClose(listing);
    EXPECT_FALSE(MoveFileA(name.c_str(), (name + ".moved").c_str())) << "renamed while it is the current folder";
    EXPECT_TRUE(SetCurrentDirectoryA(before));
    EXPECT_TRUE(work.Confirm());
    EXPECT_EQ(S_OK, work.Remove());
    EXPECT_FALSE(FileExists(name.c_str()));
    EXPECT_TRUE(IsFolder(m_temp));
}

// Links put into the folder are removed themselves where the platform can,
// and never followed: what they point to outside the folder stays. (Under
// Wine a link can't be removed through Windows calls, so the folder then
// stays with the links alone.)
TEST_F(WorkFolderTest, RemovalNeverFollowsALinkOutOfTheFolder)
{
    const std::string outside = m_temp + "outside\\";
    ASSERT_TRUE(CreateDirectoryA(outside.c_str(), nullptr));
    std::ofstream(outside + "keep.txt") << "keep";
    std::ofstream(m_temp + "keep.ini") << "keep";
    CWorkFolder work;
    ASSERT_EQ(S_OK, work.Create(m_temp.c_str()));
    ASSERT_TRUE(work.Confirm());
    const std::string name = work.GetPath();
    ASSERT_TRUE(CreateDirectoryA((name + "disk1").c_str(), nullptr));
    std::ofstream(name + "disk1\\setup.exe") << "payload";
    std::ofstream(name + "setup.inx") << "payload";
    ASSERT_TRUE(testing_support::PlantUnixLink(name + "folderlink", outside));
    ASSERT_TRUE(testing_support::PlantUnixLink(name + "disk1\\filelink", m_temp + "keep.ini"));

    work.Remove();
    EXPECT_TRUE(FileExists((outside + "keep.txt").c_str())) << "followed a folder link";
    EXPECT_TRUE(FileExists((m_temp + "keep.ini").c_str())) << "followed a file link";
    EXPECT_FALSE(FileExists((name + "setup.inx").c_str()));
    EXPECT_FALSE(FileExists((name + "disk1\\setup.exe").c_str()));
    testing_support::RemoveUnixLink(name + "folderlink");
    testing_support::RemoveUnixLink(name + "disk1\\filelink");
}

namespace {

// What a listing of the folder's handle names, start to end.
std::set<std::wstring> ListedNames(GetFileInformationByHandleExFunction way, HANDLE folder)
{
    std::set<std::wstring> names;
    alignas(8) BYTE listing[512];
    for (FILE_INFO_BY_HANDLE_CLASS kind = FileIdBothDirectoryRestartInfo;; kind = FileIdBothDirectoryInfo) {
        if (!GetFileInformationByHandleExWith(way, folder, kind, listing, sizeof listing)) {
            EXPECT_EQ(static_cast<DWORD>(ERROR_NO_MORE_FILES), GetLastError());
            return names;
        }
        for (DWORD offset = 0;;) {
            const auto& info = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(listing + offset);
            names.insert(std::wstring(info.FileName, info.FileNameLength / sizeof(wchar_t)));
            if (info.NextEntryOffset == 0)
                break;
            offset += info.NextEntryOffset;
        }
    }
}

} // namespace

// The folder calls the work folder is kept and removed with, and, as on
// Windows XP, their stand-ins through ntdll: each answers as kernel32 does.
TEST_F(WorkFolderTest, FolderCallsAnswerAlikeWithAndWithoutKernel32s)
{
    const auto query = LoadedSystemFunction<GetFileInformationByHandleExFunction>("kernel32.dll",
                                                                                 "GetFileInformationByHandleEx");
    const auto set = LoadedSystemFunction<SetFileInformationByHandleFunction>("kernel32.dll",
                                                                             "SetFileInformationByHandle");
    const auto volume = LoadedSystemFunction<GetVolumeInformationByHandleWFunction>("kernel32.dll",
                                                                                   "GetVolumeInformationByHandleW");
    const auto compare = LoadedSystemFunction<CompareStringOrdinalFunction>("kernel32.dll", "CompareStringOrdinal");
    ASSERT_TRUE(query && set && volume && compare);
    ASSERT_TRUE(CreateDirectoryA((m_temp + "disk1").c_str(), nullptr));
    std::ofstream(m_temp + "setup.inx") << "payload";
    UniqueFileHandle folder(CreateFileA(m_temp.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(folder);

    const std::set<std::wstring> listed = ListedNames(query, folder.Get());
    EXPECT_EQ(listed, ListedNames(nullptr, folder.Get()));
    EXPECT_EQ(1u, listed.count(L"setup.inx"));
    EXPECT_EQ(1u, listed.count(L"disk1"));

    alignas(8) BYTE kernel32Name[1024] = {}, ntdllName[1024] = {};
    ASSERT_TRUE(GetFileInformationByHandleExWith(query, folder.Get(), FileNameInfo, kernel32Name, sizeof kernel32Name));
    ASSERT_TRUE(GetFileInformationByHandleExWith(nullptr, folder.Get(), FileNameInfo, ntdllName, sizeof ntdllName));
    const DWORD nameBytes = reinterpret_cast<FILE_NAME_INFO*>(kernel32Name)->FileNameLength;
    EXPECT_EQ(0, std::memcmp(kernel32Name, ntdllName, sizeof(FILE_NAME_INFO) + nameBytes));
    EXPECT_FALSE(GetFileInformationByHandleExWith(nullptr, folder.Get(), FileNameInfo, ntdllName, 8));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MORE_DATA), GetLastError());
    FILE_ATTRIBUTE_TAG_INFO kernel32Tag = {}, ntdllTag = {};
    ASSERT_TRUE(GetFileInformationByHandleExWith(query, folder.Get(), FileAttributeTagInfo, &kernel32Tag,
                                                 sizeof kernel32Tag));
    ASSERT_TRUE(GetFileInformationByHandleExWith(nullptr, folder.Get(), FileAttributeTagInfo, &ntdllTag,
                                                 sizeof ntdllTag));
    EXPECT_EQ(kernel32Tag.FileAttributes, ntdllTag.FileAttributes);
    EXPECT_TRUE(ntdllTag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    FILE_STREAM_INFO stream = {};
    EXPECT_FALSE(GetFileInformationByHandleExWith(nullptr, folder.Get(), FileStreamInfo, &stream, sizeof stream));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

    DWORD kernel32Serial = 0, ntdllSerial = 1, kernel32Flags = 0, ntdllFlags = 1, kernel32Length = 0, ntdllLength = 1;
    wchar_t kernel32Label[MAX_PATH + 1], ntdllLabel[MAX_PATH + 1], kernel32System[MAX_PATH + 1],
        ntdllSystem[MAX_PATH + 1];
    ASSERT_TRUE(GetVolumeInformationByHandleWWith(volume, folder.Get(), kernel32Label, MAX_PATH + 1, &kernel32Serial,
                                                  &kernel32Length, &kernel32Flags, kernel32System, MAX_PATH + 1));
    ASSERT_TRUE(GetVolumeInformationByHandleWWith(nullptr, folder.Get(), ntdllLabel, MAX_PATH + 1, &ntdllSerial,
                                                  &ntdllLength, &ntdllFlags, ntdllSystem, MAX_PATH + 1));
    EXPECT_EQ(std::wstring(kernel32Label), ntdllLabel);
    EXPECT_EQ(std::wstring(kernel32System), ntdllSystem);
    EXPECT_EQ(kernel32Serial, ntdllSerial);
    EXPECT_EQ(kernel32Length, ntdllLength);
    EXPECT_EQ(kernel32Flags, ntdllFlags);
    EXPECT_FALSE(GetVolumeInformationByHandleWWith(nullptr, folder.Get(), nullptr, 0, nullptr, nullptr, nullptr,
                                                   ntdllSystem, static_cast<DWORD>(std::wcslen(kernel32System))));
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_LENGTH), GetLastError());

    // A read-only file loses that attribute and goes, through its handle alone.
    const std::string readOnly = m_temp + "data1.hdr";
    std::ofstream(readOnly) << "payload";
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    UniqueFileHandle file(CreateFileA(readOnly.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                      FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    FILE_DISPOSITION_INFO disposition = {};
    disposition.DeleteFile = TRUE;
    EXPECT_FALSE(SetFileInformationByHandleWith(nullptr, file.Get(), FileDispositionInfo, &disposition,
                                                sizeof disposition));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    FILE_BASIC_INFO basic = {};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    EXPECT_TRUE(SetFileInformationByHandleWith(nullptr, file.Get(), FileBasicInfo, &basic, sizeof basic));
    EXPECT_TRUE(SetFileInformationByHandleWith(nullptr, file.Get(), FileDispositionInfo, &disposition,
                                               sizeof disposition));
    EXPECT_FALSE(SetFileInformationByHandleWith(nullptr, file.Get(), FileRenameInfo, &basic, sizeof basic));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    file.Reset();
    EXPECT_FALSE(FileExists(readOnly.c_str()));

    // Ordinal, ignoring case by the system's table: the same order either way.
    const wchar_t* const texts[] = {L"disk1", L"DISK1", L"Disk10", L"disk", L"\u00e4rger", L"\u00c4RGER", L"\u0131", L"I",
                                    L"\u00ff", L"\u0178", L"ab\u00df", L"AB\u1e9e", L""};
    for (const wchar_t* first : texts) {
        for (const wchar_t* second : texts) {
            for (BOOL ignoreCase : {TRUE, FALSE})
                EXPECT_EQ(compare(first, -1, second, -1, ignoreCase),
                          CompareStringOrdinalWith(nullptr, first, -1, second, -1, ignoreCase))
                    << first << L" " << second << " " << ignoreCase;
        }
    }
    EXPECT_EQ(CSTR_EQUAL, CompareStringOrdinalWith(nullptr, L"disk1\\x", 5, L"DISK1", 5, TRUE));
    EXPECT_EQ(CSTR_GREATER_THAN, CompareStringOrdinalWith(nullptr, L"disk1", 5, L"DISK1", 4, TRUE));
    EXPECT_EQ(0, CompareStringOrdinalWith(nullptr, nullptr, 0, L"", 0, TRUE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

// A random name "exp" + eight hexadecimal digits + ".tmp"; without a random
// number, the fixed name.
TEST_F(WorkFolderTest, RandomNameOrTheFixedOneWhenNoNumberCanBeHad)
{
    const std::string missing = m_temp + "missing";
    char work[SETUP_PATH_SIZE];
    MakeWorkFolderName(missing.c_str(), nullptr, work);
    EXPECT_EQ(missing + "\\exp.tmp", work);
    MakeWorkFolderName((missing + "\\").c_str(), nullptr, work);
    EXPECT_EQ(missing + "\\exp.tmp", work);
    const unsigned number = 0x0badf00du;
    MakeWorkFolderName(missing.c_str(), &number, work);
    EXPECT_EQ(missing + "\\exp0badf00d.tmp", work);
    const std::string longest(SETUP_PATH_SIZE - 10, 'x');
    MakeWorkFolderName(longest.c_str(), &number, work);
    EXPECT_STREQ("", work) << "no room for the name";
    CWorkFolder folder;
    HRESULT result = folder.Create(missing.c_str());
    EXPECT_TRUE(result == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND) || result == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))
        << std::hex << result;
    EXPECT_STREQ("", folder.GetPath());
}

TEST_F(WorkFolderTest, DoubleByteTemporaryFolder)
{
    if (!IsCodePage932())
        GTEST_SKIP() << "needs code page 932";
    const std::string temp = m_temp + kTable + "\\";
    ASSERT_TRUE(CreateDirectoryA(temp.c_str(), nullptr));
    CWorkFolder work;
    ASSERT_EQ(S_OK, work.Create(temp.c_str()));
    EXPECT_EQ(0u, std::string(work.GetPath()).find(temp + "exp"));
    ASSERT_TRUE(work.Confirm());
    const std::string name = work.GetPath();
    EXPECT_EQ(S_OK, work.Remove());
    EXPECT_FALSE(FileExists(name.substr(0, name.size() - 1).c_str()));
    EXPECT_TRUE(IsFolder(temp));
}

// The profile file lies in the Windows folder; the test writes its own and
// removes it again.
class MediumTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, MAX_PATH);
        m_profile = std::string(windows) + "\\krsetup.ini";
        DeleteFileA(m_profile.c_str());
        m_medium = testing_support::MakeScratchFolder("medium");
    }
    void TearDown() override
    {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, "krsetup.ini"); // drop the cached file
        DeleteFileA(m_profile.c_str());
        testing_support::RemoveTree(m_medium);
    }
    std::string m_profile;
    std::string m_medium;
};

TEST_F(MediumTest, MediumFolderIsAboveTheSetupProgramsFolder)
{
    EXPECT_EQ("D:", Text(GetMediumFolder("D:\\Setup\\BCSetup.exe")));
    EXPECT_EQ("D:", Text(GetMediumFolder("D:\\x.exe")));
    EXPECT_EQ("D:\\Media", Text(GetMediumFolder("D:\\Media\\Setup\\BCSetup.exe")));
}

TEST_F(MediumTest, DefaultDirectXSetupPath)
{
    EXPECT_EQ("D:\\Tools\\DirectX9.0c\\dxsetup.exe", Text(GetDirectXSetupPath("D:\\Setup\\BCSetup.exe")));
    EXPECT_EQ("D:\\Tools\\DirectX9.0c\\dxsetup.exe", Text(GetDirectXSetupPath("D:\\x.exe")));
}

TEST_F(MediumTest, ProfileNamesAnotherPath)
{
    ASSERT_TRUE(WritePrivateProfileStringA("Setup", "DX", "Redist\\DX\\setup.exe", "krsetup.ini"));
    EXPECT_EQ("D:\\Redist\\DX\\setup.exe", Text(GetDirectXSetupPath("D:\\Setup\\BCSetup.exe")));
}

TEST_F(MediumTest, FoundOnlyWhenTheProgramIsThere)
{
    const std::string program = m_medium + "Setup\\BCSetup.exe";
    EXPECT_EQ("", Text(FindDirectXSetup(program.c_str())));
    const std::string folder = m_medium + "Tools\\DirectX9.0c";
    ASSERT_TRUE(CreateDirectoryA((m_medium + "Tools").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::ofstream(folder + "\\dxsetup.exe") << "MZ";
    EXPECT_EQ(folder + "\\dxsetup.exe", Text(FindDirectXSetup(program.c_str())));
}
} // namespace
