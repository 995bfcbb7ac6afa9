// The DirectX setup program on the distribution medium: a path relative to
// the folder above the setup program's own, read from "krsetup.ini".
#include <windows.h>

#include "base/file_existence.h"
#include "base/last_error.h"
#include "base/setup_log.h"
#include "setup/setup_paths.h"

CTextString GetMediumFolder(const char* setupProgramPath)
{
    CTextString folder = GetParentFolder(setupProgramPath);
    folder.RemoveBackslash();
    CTextString medium = GetParentFolder(folder.GetData());
    medium.RemoveBackslash();
    return medium;
}

CTextString GetDirectXSetupPath(const char* setupProgramPath)
{
    CTextString medium = GetMediumFolder(setupProgramPath);
    char relative[1024] = {};
    // A bare file name: the profile functions read the file in the Windows folder.
    GetPrivateProfileStringA("Setup", "DX", "Tools\\DirectX9.0c\\dxsetup.exe", relative, sizeof(relative),
                             "krsetup.ini");
    CTextString candidate(medium.GetData() ? medium.GetData() : "");
    candidate.Append("\\");
    candidate.Append(relative);
    return candidate;
}

CTextString FindDirectXSetup(const char* setupProgramPath)
{
    CTextString candidate = GetDirectXSetupPath(setupProgramPath);
    const char* path = candidate.IsEmpty() ? "" : candidate.GetData();
    if (FileExists(candidate.GetData())) {
        LogEvent("DirectX setup program found: %s", path);
        return candidate;
    }
    LogEvent("DirectX setup program not found: %s", path);
    return CTextString();
}

CTextString FindDirectXSetupOnMedium()
{
    char program[256];
    DWORD length = GetModuleFileNameA(nullptr, program, sizeof(program));
    // A path cut to fit the buffer is no path at all.
    if (length == 0 || length >= sizeof(program)) {
        LogFailure(length ? HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER) : LastErrorResult(),
                   "Failed to read the setup program's own path");
        return CTextString();
    }
    return FindDirectXSetup(program);
}
