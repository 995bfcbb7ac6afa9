// Stand-in for DivXPro.exe, the DivX installer.
// The setup runs it as  "<work folder>DivXPro.exe" /S /DIVXLANG=JA  (silent,
// Japanese). Scripting variables: BCSETUP_DIVX_* (see
// standins/common/standin_script.h).
#include <windows.h>

#include "standins/common/companion_standin.h"

namespace {
const wchar_t kLanguageSwitch[] = L"/DIVXLANG=";

standin::CompanionCall Classify(const std::vector<std::wstring>& arguments, std::wstring* detail)
{
    if (arguments.empty())
        return standin::CompanionCall::Interactive;
    bool silent = false;
    std::wstring language;
    const size_t prefixLength = sizeof(kLanguageSwitch) / sizeof(wchar_t) - 1;
    for (const std::wstring& argument : arguments) {
        if (_wcsicmp(argument.c_str(), L"/S") == 0 && !silent)
            silent = true;
        else if (argument.size() > prefixLength && _wcsnicmp(argument.c_str(), kLanguageSwitch, prefixLength) == 0 &&
                 language.empty())
            language = argument.substr(prefixLength);
        else
            return standin::CompanionCall::Rejected;
    }
    if (!silent)
        return standin::CompanionCall::Rejected;
    if (!language.empty())
        *detail = L", language " + language;
    return standin::CompanionCall::Silent;
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return standin::RunCompanionStandIn(
        {L"DivXPro", L"BCSETUP_DIVX_", L"DivX Setup",
         L"Install DivX?\n\n(Run with /S /DIVXLANG=JA to install silently in Japanese.)", Classify});
}
