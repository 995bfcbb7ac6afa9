// The file method: the DirectX version inferred from the file versions of
// the DirectX system files. Later rules overwrite what earlier ones found.
#include <windows.h>

#include "base/text_string.h"
#include "dxver/dx_version_steps.h"

namespace {
typedef unsigned long long FileVersion; // high word, then low word

constexpr FileVersion Version(unsigned a, unsigned b, unsigned c, unsigned d)
{
    return (static_cast<FileVersion>((a << 16) | b) << 32) | ((c << 16) | d);
}

struct FileRule {
    const char* fileName;
    // Least version of the file. With atLeastMajor5 set, the rule asks for
    // major 4 and atLeast, or major 5 and atLeastMajor5.
    FileVersion atLeast;
    FileVersion atLeastMajor5;
    DWORD major;
    DWORD minor;
    char letter;
};

const FileRule kRules[] = {
    {"ddraw.dll", Version(4, 2, 0, 95), 0, 1, 0, ' '},
    {"ddraw.dll", Version(4, 3, 0, 1096), 0, 2, 0, ' '},
    {"ddraw.dll", Version(4, 4, 0, 68), 0, 3, 0, ' '},
    {"d3drg8x.dll", Version(4, 4, 0, 70), 0, 3, 0, 'a'},
    {"ddraw.dll", Version(4, 5, 0, 155), 0, 5, 0, ' '},
    {"ddraw.dll", Version(4, 6, 0, 318), 0, 6, 0, ' '},
    {"ddraw.dll", Version(4, 6, 0, 436), 0, 6, 1, ' '},
    {"dplayx.dll", Version(4, 6, 3, 518), 0, 6, 1, 'a'},
    {"ddraw.dll", Version(4, 7, 0, 700), 0, 7, 0, ' '},
    {"dinput.dll", Version(4, 7, 0, 716), 0, 7, 0, 'a'},
    {"ddraw.dll", Version(4, 8, 0, 400), Version(5, 1, 2258, 400), 8, 0, ' '},
    {"d3d8.dll", Version(4, 8, 1, 881), Version(5, 1, 2600, 881), 8, 1, ' '},
    {"d3d8.dll", Version(4, 8, 1, 901), Version(5, 1, 2600, 901), 8, 1, 'a'},
    {"mpg2splt.ax", Version(6, 3, 1, 885), 0, 8, 1, 'b'},
    {"dpnet.dll", Version(4, 9, 0, 134), Version(5, 2, 3677, 134), 8, 2, ' '},
};

bool RuleHolds(const FileRule& rule, FileVersion version)
{
    if (!rule.atLeastMajor5)
        return version >= rule.atLeast;
    const unsigned major = static_cast<unsigned>(version >> 48);
    return (major == 4 && version >= rule.atLeast) || (major == 5 && version >= rule.atLeastMajor5);
}

bool ReadVersionIn(const CTextString& folder, const char* fileName, FileVersion* version)
{
    CTextString path(folder);
    path.Append("\\");
    path.Append(fileName);
    DWORD high = 0;
    DWORD low = 0;
    if (FAILED(ReadFileVersion(path.GetData(), &high, &low)))
        return false;
    *version = (static_cast<FileVersion>(high) << 32) | low;
    return true;
}

void Store(DWORD major, DWORD minor, char letter, DWORD* outMajor, DWORD* outMinor, char* outLetter)
{
    if (outMajor)
        *outMajor = major;
    if (outMinor)
        *outMinor = minor;
    if (outLetter)
        *outLetter = letter;
}
} // namespace

HRESULT GetDXVersionFromFilesIn(const char* folder, DWORD* major, DWORD* minor, char* letter)
{
    CTextString base(folder ? folder : "");
    base.RemoveBackslash();
    bool found = false;
    for (const FileRule& rule : kRules) {
        FileVersion version = 0;
        if (ReadVersionIn(base, rule.fileName, &version) && RuleHolds(rule, version)) {
            Store(rule.major, rule.minor, rule.letter, major, minor, letter);
            found = true;
        }
    }
    FileVersion d3d9 = 0;
    if (ReadVersionIn(base, "d3d9.dll", &d3d9))
        Store(9, 0, ' ', major, minor, letter);
    else if (!found)
        Store(0, 0, ' ', major, minor, letter);
    return S_OK;
}

HRESULT GetDXVersionFromFiles(DWORD* major, DWORD* minor, char* letter)
{
    char system[MAX_PATH];
    const UINT length = GetSystemDirectoryA(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        Store(0, 0, ' ', major, minor, letter);
        return S_OK;
    }
    return GetDXVersionFromFilesIn(system, major, minor, letter);
}
