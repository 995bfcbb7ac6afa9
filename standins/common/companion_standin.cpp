#include "standins/common/companion_standin.h"

#include <windows.h>

#include "standins/common/standin_command_line.h"
#include "standins/common/standin_journal.h"
#include "standins/common/standin_registry.h"
#include "standins/common/standin_script.h"
#include "standins/common/standin_window.h"

namespace standin {

namespace {
const int kExitRejected = ERROR_INVALID_PARAMETER;
const int kExitUserCancelled = 1602; // what Windows installers return when the user cancels

// The silent run: the scripted delay, with a window only when asked for.
void InstallSilently(const CompanionDescription& description, const Script& script)
{
    if (script.window == WindowMode::Show || script.window == WindowMode::NoActivate) {
        WindowRequest request;
        request.title = script.title.empty() ? description.title : script.title;
        request.text = L"Installing...";
        request.activate = script.window == WindowMode::Show;
        request.autoChoice = IDOK;
        request.autoDelayMs = script.delayMs;
        RunWindow(request);
    } else if (script.delayMs > 0) {
        Sleep(script.delayMs);
    }
}
} // namespace

int RunCompanionStandIn(const CompanionDescription& description)
{
    Script script = ReadScript(description.prefix);
    std::wstring detail;
    CompanionCall call = description.classify(Arguments(), &detail);
    if (call == CompanionCall::Rejected) {
        WriteJournal(description.name, L"rejected the command line");
        return kExitRejected;
    }

    std::wstring action;
    if (script.endSession)
        action += AskToEndSession() ? L"asked to end the session; " : L"could not ask to end the session; ";

    int exitCode = script.hasExitCode ? script.exitCode : 0;
    if (call == CompanionCall::Silent) {
        InstallSilently(description, script);
        action += L"installed silently" + detail;
    } else if (script.window == WindowMode::None) {
        action += L"installed without asking (no window scripted)";
    } else {
        WindowRequest request;
        request.title = script.title.empty() ? description.title : script.title;
        request.text = description.question;
        request.okText = L"Install";
        request.cancelText = L"Cancel";
        request.activate = script.window != WindowMode::NoActivate;
        if (RunWindow(request) == IDOK) {
            action += L"installed after asking";
        } else {
            action += L"cancelled by the user";
            if (!script.hasExitCode)
                exitCode = kExitUserCancelled;
        }
    }
    if (!script.registry.empty())
        ApplyRegistryValues(script.registry, &action);
    WriteJournal(description.name, action);
    return exitCode;
}

} // namespace standin
