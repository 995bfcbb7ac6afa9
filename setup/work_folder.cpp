// The temporary work folder: named by the platform, made a folder, removed
// with all its content at the end of the run.
#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "base/double_byte.h"
#include "base/file_existence.h"
#include "setup/setup_paths.h"
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

bool CreateWorkFolder(const char* tempFolder, char (&workFolder)[SETUP_PATH_SIZE])
{
    MakeWorkFolderName(tempFolder, workFolder);
    if (!workFolder[0])
        return false;
    DeleteFileA(workFolder);
    // Elevated: a folder only administrators can write. Where the platform
    // refuses that descriptor, the folder gets the default security.
    CWorkFolderSecurity security;
    if (security.Get() && CreateDirectoryA(workFolder, security.Get()))
        return true;
    return CreateDirectoryA(workFolder, nullptr) != FALSE;
}

bool ConfirmWorkFolder(char (&workFolder)[SETUP_PATH_SIZE])
{
    if (!FolderExists(workFolder))
        return false;
    AppendBackslash(workFolder);
    return true;
}

void RemoveWorkFolder(const char* workFolder)
{
    // The shell wants a list of names, ended by a second terminator.
    char from[SETUP_PATH_SIZE + 1] = {};
    CopyDbcsAware(from, workFolder ? workFolder : "", SETUP_PATH_SIZE - 1);
    StripBackslash(from);
    if (!from[0])
        return;
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from;
    operation.pTo = "";
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    SHFileOperationA(&operation);
}
