// Reading a file's fixed version through version.dll, loaded at run time
// from the system folder.
#include <windows.h>

#include <vector>

#include "base/system_library.h"
#include "base/unique_handle.h"
#include "dxver/dx_version_steps.h"

namespace {
// The three functions of version.dll the reader needs; loaded once and kept
// until the process ends.
class CVersionLibrary {
public:
    CVersionLibrary() : m_hModule(LoadSystemLibrary("version.dll"))
    {
        if (!m_hModule)
            return;
        m_pGetSize = ProcAddress<GetSizeFn>(m_hModule.Get(), "GetFileVersionInfoSizeA");
        m_pGetInfo = ProcAddress<GetInfoFn>(m_hModule.Get(), "GetFileVersionInfoA");
        m_pQuery = ProcAddress<QueryFn>(m_hModule.Get(), "VerQueryValueA");
    }

    bool IsLoaded() const { return m_pGetSize && m_pGetInfo && m_pQuery; }
    DWORD GetSize(const char* path) const
    {
        DWORD handle = 0;
        return m_pGetSize(path, &handle);
    }
    bool GetInfo(const char* path, DWORD size, void* block) const { return m_pGetInfo(path, 0, size, block) != FALSE; }
    bool Query(const void* block, const char* subBlock, void** value, UINT* length) const
    {
        return m_pQuery(block, subBlock, value, length) != FALSE;
    }

private:
    typedef DWORD(WINAPI* GetSizeFn)(LPCSTR, LPDWORD);
    typedef BOOL(WINAPI* GetInfoFn)(LPCSTR, DWORD, DWORD, LPVOID);
    typedef BOOL(WINAPI* QueryFn)(LPCVOID, LPCSTR, LPVOID*, PUINT);

    UniqueModule m_hModule;
    GetSizeFn m_pGetSize = nullptr;
    GetInfoFn m_pGetInfo = nullptr;
    QueryFn m_pQuery = nullptr;
};

const CVersionLibrary& VersionLibrary()
{
    static const CVersionLibrary library;
    return library;
}
} // namespace

HRESULT ReadFileVersion(const char* path, DWORD* high, DWORD* low)
{
    if (!path || !high || !low)
        return E_INVALIDARG;
    const CVersionLibrary& library = VersionLibrary();
    if (!library.IsLoaded())
        return E_FAIL;
    const DWORD size = library.GetSize(path);
    if (size == 0)
        return E_FAIL;
    std::vector<BYTE> block;
    try {
        block.resize(size);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    void* value = nullptr;
    UINT length = 0;
    if (!library.GetInfo(path, size, block.data()) || !library.Query(block.data(), "\\", &value, &length) ||
        !value || length < sizeof(VS_FIXEDFILEINFO))
        return E_FAIL;
    const VS_FIXEDFILEINFO* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    *high = fixed->dwFileVersionMS;
    *low = fixed->dwFileVersionLS;
    return S_OK;
}
