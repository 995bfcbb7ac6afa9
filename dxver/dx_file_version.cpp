// Reading a file's fixed version through version.dll, loaded at run time
// from the system folder.
#include <windows.h>

#include <memory>
#include <new>

#include "base/run_once.h"
#include "base/system_library.h"
#include "dxver/dx_version_steps.h"

namespace {
// The three functions of version.dll the reader needs. The DLL is loaded by
// the first reader and kept until the process ends. Plain data that needs no
// start-up code (a program that loads this one as a module to call
// GetDXVersion runs none); RunOnce loads it once, also when two threads ask
// at the same time.
class CVersionLibrary {
public:
    void Load()
    {
        HMODULE module = LoadSystemLibrary("version.dll");
        if (!module)
            return;
        m_pGetSize = ProcAddress<GetSizeFn>(module, "GetFileVersionInfoSizeA");
        m_pGetInfo = ProcAddress<GetInfoFn>(module, "GetFileVersionInfoA");
        m_pQuery = ProcAddress<QueryFn>(module, "VerQueryValueA");
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

    GetSizeFn m_pGetSize;
    GetInfoFn m_pGetInfo;
    QueryFn m_pQuery;
};

CVersionLibrary g_VersionLibrary;
volatile LONG g_VersionLibraryOnce = 0;

void LoadVersionLibrary()
{
    g_VersionLibrary.Load();
}

const CVersionLibrary& VersionLibrary()
{
    RunOnce(&g_VersionLibraryOnce, LoadVersionLibrary);
    return g_VersionLibrary;
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
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]);
    if (!block)
        return E_OUTOFMEMORY;
    void* value = nullptr;
    UINT length = 0;
    if (!library.GetInfo(path, size, block.get()) || !library.Query(block.get(), "\\", &value, &length) || !value ||
        length < sizeof(VS_FIXEDFILEINFO))
        return E_FAIL;
    const VS_FIXEDFILEINFO* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    *high = fixed->dwFileVersionMS;
    *low = fixed->dwFileVersionLS;
    return S_OK;
}
