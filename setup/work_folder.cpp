#include "setup/work_folder.h"

#include <shellapi.h>

#include <cstring>

#include "setup/setup_paths.h"

CWorkFolder::CWorkFolder() : m_bCreated(false)
{
    m_szPath[0] = 0;
}

CWorkFolder::~CWorkFolder()
{
    Remove();
}

bool CWorkFolder::Create(const char* tempFolder)
{
    if (GetTempFileNameA(tempFolder, "exp", 0, m_szPath) == 0) {
        if (std::strlen(tempFolder) + 1 + sizeof("exp.tmp") > MAX_PATH)
            return false;
        std::strcpy(m_szPath, tempFolder);
        AppendBackslash(m_szPath);
        std::strcat(m_szPath, "exp.tmp");
    }
    DeleteFileA(m_szPath);
    if (!CreateDirectoryA(m_szPath, nullptr))
        return false;
    m_bCreated = true;
    return true;
}

bool CWorkFolder::Confirm()
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(m_szPath, &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (std::strlen(m_szPath) + 2 > MAX_PATH)
        return false;
    AppendBackslash(m_szPath);
    return true;
}

void CWorkFolder::Remove()
{
    if (!m_bCreated)
        return;
    m_bCreated = false;
    // SHFileOperation wants a list of names ending in a second zero byte.
    char from[MAX_PATH + 1];
    std::memcpy(from, m_szPath, sizeof(m_szPath));
    StripBackslash(from);
    from[std::strlen(from) + 1] = 0;

    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = nullptr;
    operation.wFunc = FO_DELETE;
    operation.pFrom = from;
    operation.pTo = "";
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    SHFileOperationA(&operation);
}
