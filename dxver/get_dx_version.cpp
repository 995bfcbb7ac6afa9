#include "dxver/dx_version.h"

#include <cstdio>

#include "base/own_imports.h"
#include "base/setup_log.h"
#include "dxver/dx_version_steps.h"

void ReportDXVersion(DWORD major, DWORD minor, char letter, DWORD* version, char* text, int textSize)
{
    if (letter >= 'A' && letter <= 'Z')
        letter = static_cast<char>(letter - 'A' + 'a');
    if (version) {
        DWORD packed = (major << 16) + (minor << 8);
        if (letter >= 'a' && letter <= 'z')
            packed += static_cast<DWORD>(letter - 'a' + 1);
        *version = packed;
    }
    if (text && textSize > 0) {
        if (letter == ' ')
            std::snprintf(text, static_cast<std::size_t>(textSize), "%lu.%lu", static_cast<unsigned long>(major),
                          static_cast<unsigned long>(minor));
        else
            std::snprintf(text, static_cast<std::size_t>(textSize), "%lu.%lu%c", static_cast<unsigned long>(major),
                          static_cast<unsigned long>(minor), letter);
        text[textSize - 1] = 0;
    }
}

extern "C" __declspec(dllexport) HRESULT __cdecl GetDXVersion(DWORD* version, char* text, int textSize)
{
    // Another program may have loaded us as a module, with our imports left
    // unbound (Wine binds them only for DLLs): before any call goes through one.
    if (!BindOwnImports())
        return E_FAIL;
    if (version)
        *version = 0;
    if (text && textSize > 0)
        text[0] = 0;
    DWORD major = 0;
    DWORD minor = 0;
    char letter = ' ';
    const char* how = "the DirectX diagnostic provider";
    if (FAILED(GetDXVersionFromDiagnostics(&major, &minor, &letter))) {
        how = "the versions of the DirectX files in the system folder";
        if (FAILED(GetDXVersionFromFiles(&major, &minor, &letter))) {
            LogEvent("DirectX version not found");
            return E_FAIL;
        }
    }
    ReportDXVersion(major, minor, letter, version, text, textSize);
    const char letterText[2] = {letter == ' ' ? '\0' : letter, '\0'};
    LogEvent("DirectX version %lu.%lu%s, from %s", static_cast<unsigned long>(major), static_cast<unsigned long>(minor),
             letterText, how);
    return S_OK;
}
