#include "setup/work_folder.h"

#include <shellapi.h>

#include <cstring>

#include "base/double_byte.h"
#include "base/file_existence.h"
#include "base/setup_log.h"
#include "setup/work_folder_security.h"

void GetTemporaryFolder(char (&folder)[SETUP_PATH_SIZE])
{
    DWORD length = GetTempPathA(SETUP_PATH_SIZE, folder);
    if (length == 0 || length >= SETUP_PATH_SIZE)
        std::strcpy(folder, "C:\\");
}

void MakeWorkFolderName(const char* tempFolder, char (&workFolder)[SETUP_PATH_SIZE])
{
    if (GetTempFileNameA(tempFolder, "exp", 0, workFolder) != 0)
        return;
    static const char kFallbackName[] = "exp.tmp";
    CopyDbcsAware(workFolder, tempFolder ? tempFolder : "", SETUP_PATH_SIZE - 1);
    AppendBackslash(workFolder);
    std::size_t length = std::strlen(workFolder);
    if (length + sizeof(kFallbackName) <= SETUP_PATH_SIZE)
        std::memcpy(workFolder + length, kFallbackName, sizeof(kFallbackName));
    else
        workFolder[0] = 0; // no room for a name: nothing to create
}

CWorkFolder::CWorkFolder()
{
    m_szPath[0] = 0;
}

CWorkFolder::~CWorkFolder()
{
    Remove();
}

HRESULT CWorkFolder::Create(const char* tempFolder)
{
    Remove();
    char name[SETUP_PATH_SIZE];
    MakeWorkFolderName(tempFolder, name);
    if (!name[0]) {
        LogFailure(E_FAIL, "No work folder name fits in the temporary folder %s", tempFolder ? tempFolder : "");
        return E_FAIL;
    }
    DeleteFileA(name);
    // Elevated: a folder only administrators can write. Where the platform
    // refuses that descriptor, the folder gets the default security.
    CWorkFolderSecurity security;
    if (!(security.Get() && CreateDirectoryA(name, security.Get())) && !CreateDirectoryA(name, nullptr)) {
        HRESULT result = HRESULT_FROM_WIN32(GetLastError());
        LogFailure(result, "Failed to create the work folder %s", name);
        return result;
    }
    std::memcpy(m_szPath, name, sizeof(m_szPath));
    LogEvent("Work folder created: %s", m_szPath);
    return S_OK;
}

bool CWorkFolder::Confirm()
{
    if (!FolderExists(m_szPath)) {
        LogEvent("Work folder not found as a folder: %s", m_szPath);
        return false;
    }
    AppendBackslash(m_szPath);
    return true;
}

HRESULT CWorkFolder::Remove()
{
    // The shell wants a list of names, ended by a second terminator.
    char from[SETUP_PATH_SIZE + 1] = {};
    CopyDbcsAware(from, m_szPath, SETUP_PATH_SIZE - 1);
    m_szPath[0] = 0;
    StripBackslash(from);
    if (!from[0])
        return S_FALSE;
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from;
    operation.pTo = "";
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    // The shell's results are mostly platform error numbers.
    int status = SHFileOperationA(&operation);
    HRESULT result = status == 0 ? S_OK : HRESULT_FROM_WIN32(static_cast<DWORD>(status));
    if (SUCCEEDED(result) && GetFileAttributesA(from) != INVALID_FILE_ATTRIBUTES)
        result = HRESULT_FROM_WIN32(ERROR_DIR_NOT_EMPTY); // part of it stayed
    if (FAILED(result))
        LogFailure(result, "Failed to remove the work folder %s", from);
    else
        LogEvent("Work folder removed: %s", from);
    return result;
}
