#pragma once
// Where a test finds the programs it runs: BCSetup.exe, the stand-ins and the
// test executables all lie in one folder of the build tree.
#include <string>

namespace testing_support {

// The folder of the running test executable, with a trailing backslash (UTF-8).
std::string BinFolder();
// BinFolder() + fileName.
std::string BinPath(const std::string& fileName);
// The user's temporary folder, with a trailing backslash (UTF-8).
std::string TempFolder();
// The system's temporary folder, the Windows folder's "Temp", with a
// trailing backslash: where the elevated setup makes its work folder.
std::string SystemTempFolder();
// A fresh, empty folder for one test (under the prefix's temporary folder),
// with a trailing backslash. Removed by RemoveTree or at the next run.
std::string MakeScratchFolder(const std::string& name);
// Deletes a folder with everything in it; a folder link inside is not followed.
void RemoveTree(const std::string& folder);
// True when the user's language (and so the resources picked) is Japanese.
bool IsJapaneseUi();

} // namespace testing_support
