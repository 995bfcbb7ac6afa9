#pragma once
// The package calls that take the held work folder, for tests and
// benchmarks that name their folder or file by path: the folder is opened
// here as the setup holds its work folder, for the one call.
#include <windows.h>

#include <string>

#include "base/handle_relative/held_folder.h"
#include "base/unique_handle.h"

class CDiskFile;

namespace testing_support {

// A folder held open as the setup holds its work folder (listing, making
// files in it), by its path (a trailing backslash is added when missing).
class HeldTestFolder {
public:
    explicit HeldTestFolder(const std::string& folder);
    bool IsOpen() const { return m_hFolder.IsValid(); }
    HeldFolder Get() const { return HeldFolder{m_hFolder.Get(), m_strPath.c_str()}; }

private:
    std::string m_strPath;
    UniqueFileHandle m_hFolder;
};

// ExtractPayload to the file at path: its name made new in its folder.
HRESULT ExtractPayloadTo(WORD resourceId, const std::string& path, CDiskFile* held = nullptr);
// UnpackPackage of the archive at archivePath into the folder.
HRESULT UnpackPackageInto(const std::string& archivePath, const std::string& folder);
HRESULT RunMainInstallerIn(const std::string& folder, HWND ownerWindow);
HRESULT RunDivXSetupIn(const std::string& folder);
HRESULT RunWmfRuntimeSetupIn(const std::string& folder);

} // namespace testing_support
