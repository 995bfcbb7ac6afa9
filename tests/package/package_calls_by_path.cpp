#include "tests/package/package_calls_by_path.h"

#include "package/companion_installers.h"
#include "package/disk_file.h"
#include "package/main_installer.h"
#include "package/package_archive.h"
#include "package/payload_extraction.h"

namespace testing_support {

HeldTestFolder::HeldTestFolder(const std::string& folder) : m_strPath(folder)
{
    if (!m_strPath.empty() && m_strPath.back() != '\\')
        m_strPath += '\\';
    m_hFolder.Reset(CreateFileA(folder.c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_ADD_FILE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

HRESULT ExtractPayloadTo(WORD resourceId, const std::string& path, CDiskFile* held)
{
    const std::size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos)
        return E_INVALIDARG;
    HeldTestFolder folder(path.substr(0, slash + 1));
    if (!folder.IsOpen())
        return HRESULT_FROM_WIN32(GetLastError());
    const std::string name = path.substr(slash + 1);
    CDiskFile kept;
    return ExtractPayload(resourceId, folder.Get(), name.c_str(), held ? *held : kept);
}

HRESULT UnpackPackageInto(const std::string& archivePath, const std::string& folder)
{
    CDiskFile archive;
    HRESULT result = archive.Open(archivePath.c_str(), OPEN_EXISTING, GENERIC_READ, FILE_SHARE_READ, 0, nullptr);
    if (FAILED(result))
        return result;
    HeldTestFolder held(folder);
    if (!held.IsOpen())
        return HRESULT_FROM_WIN32(GetLastError());
    return UnpackPackage(archive, held.Get(), nullptr);
}

HRESULT RunMainInstallerIn(const std::string& folder, HWND ownerWindow)
{
    HeldTestFolder held(folder);
    return held.IsOpen() ? RunMainInstaller(held.Get(), ownerWindow) : HRESULT_FROM_WIN32(GetLastError());
}

HRESULT RunDivXSetupIn(const std::string& folder)
{
    HeldTestFolder held(folder);
    return held.IsOpen() ? RunDivXSetup(held.Get()) : HRESULT_FROM_WIN32(GetLastError());
}

HRESULT RunWmfRuntimeSetupIn(const std::string& folder)
{
    HeldTestFolder held(folder);
    return held.IsOpen() ? RunWmfRuntimeSetup(held.Get()) : HRESULT_FROM_WIN32(GetLastError());
}

} // namespace testing_support
