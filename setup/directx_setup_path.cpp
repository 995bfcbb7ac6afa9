// The DirectX setup program on the distribution medium: a path relative to
// the folder above the setup program's own, read from "krsetup.ini".
#include <windows.h>

#include "base/file_existence.h"
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
    if (FileExists(candidate.GetData()))
        return candidate;
    return CTextString();
}

CTextString FindDirectXSetupOnMedium()
{
    char program[256];
    DWORD length = GetModuleFileNameA(nullptr, program, sizeof(program));
    // A path cut to fit the buffer is no path at all.
    if (length == 0 || length >= sizeof(program))
        return CTextString();
    return FindDirectXSetup(program);
}
