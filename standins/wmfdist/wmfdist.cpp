// Stand-in for wmfdist.exe, the Windows Media Format runtime redistributable.
// The setup runs it as  "<work folder>wmfdist.exe" /Q  (quiet).
// Scripting variables: BCSETUP_WMFDIST_* (see standins/common/standin_script.h).
#include <windows.h>

#include "standins/common/companion_standin.h"

namespace {
standin::CompanionCall Classify(const std::vector<std::wstring>& arguments, std::wstring* detail)
{
    if (arguments.empty())
        return standin::CompanionCall::Interactive;
    if (arguments.size() == 1 && _wcsicmp(arguments[0].c_str(), L"/Q") == 0)
        return standin::CompanionCall::Silent;
    return standin::CompanionCall::Rejected;
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return standin::RunCompanionStandIn(
        {L"wmfdist", L"BCSETUP_WMFDIST_", L"Windows Media Format Runtime",
         L"Install the Windows Media Format runtime?\n\n(Run with /Q to install quietly.)", Classify});
}
