// The folder calls the work folder is kept and removed with, with and
// without kernel32's Vista calls.
#include <windows.h>

#include <aclapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <set>
#include <string>

#include "base/file_existence.h"
#include "base/handle_relative/nt_create_file.h"
#include "base/handle_relative/vista_file_calls.h"
#include "setup/setup_paths.h"
#include "setup/work_folder.h"
#include "setup/work_folder_security.h"
#include "tests/setup/work_folder_fixture.h"
#include "tests/support/test_paths.h"
#include "tests/support/unix_link.h"

namespace {
using namespace work_folder_testing;

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
    const auto query =
        LoadedSystemFunction<GetFileInformationByHandleExFunction>("kernel32.dll", "GetFileInformationByHandleEx");
    const auto set =
        LoadedSystemFunction<SetFileInformationByHandleFunction>("kernel32.dll", "SetFileInformationByHandle");
    const auto volume =
        LoadedSystemFunction<GetVolumeInformationByHandleWFunction>("kernel32.dll", "GetVolumeInformationByHandleW");
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
    ASSERT_TRUE(
        GetFileInformationByHandleExWith(query, folder.Get(), FileAttributeTagInfo, &kernel32Tag, sizeof kernel32Tag));
    ASSERT_TRUE(
        GetFileInformationByHandleExWith(nullptr, folder.Get(), FileAttributeTagInfo, &ntdllTag, sizeof ntdllTag));
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
    EXPECT_FALSE(
        SetFileInformationByHandleWith(nullptr, file.Get(), FileDispositionInfo, &disposition, sizeof disposition));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    FILE_BASIC_INFO basic = {};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    EXPECT_TRUE(SetFileInformationByHandleWith(nullptr, file.Get(), FileBasicInfo, &basic, sizeof basic));
    EXPECT_TRUE(
        SetFileInformationByHandleWith(nullptr, file.Get(), FileDispositionInfo, &disposition, sizeof disposition));
    EXPECT_FALSE(SetFileInformationByHandleWith(nullptr, file.Get(), FileRenameInfo, &basic, sizeof basic));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    file.Reset();
    EXPECT_FALSE(FileExists(readOnly.c_str()));

    // Ordinal, ignoring case by the system's table: the same order either way.
    const wchar_t* const texts[] = {L"disk1",      L"DISK1",    L"Disk10", L"disk",   L"\u00e4rger",
                                    L"\u00c4RGER", L"\u0131",   L"I",      L"\u00ff", L"\u0178",
                                    L"ab\u00df",   L"AB\u1e9e", L""};
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
} // namespace
