// Stand-in for the DirectX 9.0c setup on the medium, dxsetup.exe. The setup
// starts it by its path alone, without arguments, and waits for its end; it
// asks the user whether to install and ends its process when done.
// Scripting variables: BCSETUP_DXSETUP_* (see standins/common/standin_script.h);
// WINDOW=none installs without asking.
#include <windows.h>

#include "standins/common/companion_standin.h"

namespace {
standin::CompanionCall Classify(const std::vector<std::wstring>& arguments, std::wstring* detail)
{
    return arguments.empty() ? standin::CompanionCall::Interactive : standin::CompanionCall::Rejected;
}
} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return standin::RunCompanionStandIn(
        {L"dxsetup", L"BCSETUP_DXSETUP_", L"DirectX 9.0c Setup", L"Install DirectX 9.0c?", Classify});
}
