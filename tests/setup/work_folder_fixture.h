#pragma once
// What the work-folder tests share: a scratch temporary folder per test,
// and the double-byte name whose trail byte is a backslash byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/test_paths.h"

namespace work_folder_testing {

const char kTable[] = "\x95\x5C"; // "表": its trail byte is a backslash byte

inline bool IsCodePage932()
{
    return GetACP() == 932;
}

inline bool IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class WorkFolderTest : public ::testing::Test {
protected:
    void SetUp() override { m_temp = testing_support::MakeScratchFolder("work_folder"); }
    void TearDown() override { testing_support::RemoveTree(m_temp); }
    std::string m_temp;
};

} // namespace work_folder_testing
