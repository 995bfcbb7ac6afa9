#pragma once
// A file of the build machine, owned and closed on every path.
#include <cstdint>
#include <cstdio>
#include <string>

class CHostFile {
public:
    CHostFile() = default;
    ~CHostFile();
    CHostFile(const CHostFile&) = delete;
    CHostFile& operator=(const CHostFile&) = delete;

    // mode as for fopen ("rb", "wb"). On failure the reason is in Error().
    bool Open(const std::string& path, const char* mode);
    // False when the data could not all be written or the close failed.
    bool Close();
    size_t Read(void* buffer, size_t count);
    bool Write(const void* buffer, size_t count);
    bool Failed() const { return m_pFile && std::ferror(m_pFile); }
    std::FILE* Get() const { return m_pFile; }
    const std::string& Path() const { return m_strPath; }

private:
    std::FILE* m_pFile = nullptr;
    std::string m_strPath;
};

// "path: reason" for the last failed C library call.
std::string SystemError(const std::string& path);

// Size of a regular file; false when it can't be had.
bool GetFileSize(const std::string& path, uint64_t* size);
