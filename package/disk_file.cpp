#include "package/disk_file.h"

#include "base/setup_log.h"
#include "base/vista_file_calls.h"

namespace {

const HRESULT RESULT_NO_OPEN_FILE = S_FALSE;
const HRESULT RESULT_END_OF_FILE = HRESULT_FROM_WIN32(ERROR_HANDLE_EOF);

} // namespace

HRESULT CDiskFile::Reset()
{
    Close();
    m_dwBytesRead = 0;
    m_dwBytesWritten = 0;
    m_strPath.Assign("");
    return S_OK;
}

HRESULT CDiskFile::Open(const char* path, DWORD disposition, DWORD access, DWORD share, DWORD flagsAndAttributes,
                        LPSECURITY_ATTRIBUTES security)
{
    Reset();
    m_strPath.Assign(path);
    m_hFile.Reset(CreateFileA(path, access, share, security, disposition, flagsAndAttributes, nullptr));
    if (!IsOpen())
        return LastErrorResult();
    return S_OK;
}

HRESULT CDiskFile::Reopen(const CDiskFile& other, DWORD access, DWORD share)
{
    if (this == &other)
        return E_INVALIDARG;
    Reset();
    if (!other.IsOpen())
        return HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE);
    m_strPath.Assign(other.m_strPath);
    m_hFile.Reset(ReOpenFileOnAnyNt(other.m_hFile.Get(), access, share, 0));
    if (!IsOpen())
        return LastErrorResult();
    return S_OK;
}

HRESULT CDiskFile::Close()
{
    if (!IsOpen())
        return RESULT_NO_OPEN_FILE;
    if (!CloseHandle(m_hFile.Get()))
        return LastErrorResult();
    m_hFile.Release();
    return S_OK;
}

HRESULT CDiskFile::Read(void* buffer, DWORD count, DWORD* bytesRead, LPOVERLAPPED overlapped)
{
    if (!IsOpen())
        return RESULT_NO_OPEN_FILE;
    if (!ReadFile(m_hFile.Get(), buffer, count, &m_dwBytesRead, overlapped))
        return LastErrorResult();
    if (count != 0 && m_dwBytesRead == 0)
        return RESULT_END_OF_FILE;
    if (bytesRead)
        *bytesRead = m_dwBytesRead;
    return S_OK;
}

HRESULT CDiskFile::Write(const void* buffer, DWORD count, DWORD* bytesWritten, LPOVERLAPPED overlapped)
{
    if (!IsOpen())
        return RESULT_NO_OPEN_FILE;
    if (!WriteFile(m_hFile.Get(), buffer, count, &m_dwBytesWritten, overlapped))
        return LastErrorResult();
    if (bytesWritten)
        *bytesWritten = m_dwBytesWritten;
    return S_OK;
}

HRESULT DeleteDiskFile(const char* path)
{
    if (!path)
        return E_INVALIDARG;
    if (!DeleteFileA(path)) {
        HRESULT result = LastErrorResult();
        LogFailure(result, "Failed to delete %s", path);
        return result;
    }
    LogEvent("Deleted %s", path);
    return S_OK;
}
