#include "tools/pk24/host_file.h"

#include <cerrno>
#include <cstring>
#include <system_error>
#include <filesystem>

CHostFile::~CHostFile()
{
    if (m_pFile)
        std::fclose(m_pFile);
}

bool CHostFile::Open(const std::string& path, const char* mode)
{
    if (m_pFile)
        Close();
    m_strPath = path;
    m_pFile = std::fopen(path.c_str(), mode);
    return m_pFile != nullptr;
}

bool CHostFile::Close()
{
    if (!m_pFile)
        return true;
    bool ok = !std::ferror(m_pFile);
    ok = std::fclose(m_pFile) == 0 && ok;
    m_pFile = nullptr;
    return ok;
}

size_t CHostFile::Read(void* buffer, size_t count)
{
    return std::fread(buffer, 1, count, m_pFile);
}

bool CHostFile::Write(const void* buffer, size_t count)
{
    return std::fwrite(buffer, 1, count, m_pFile) == count;
}

std::string SystemError(const std::string& path)
{
    return path + ": " + std::strerror(errno);
}

bool GetFileSize(const std::string& path, uint64_t* size)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    *size = std::filesystem::file_size(path, error);
    return !error;
}
