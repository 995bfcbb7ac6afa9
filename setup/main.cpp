// The setup's entry point: instance handle, single-instance guard, the
// running-product check and the run-mode switches, then the setup sequence.
#include <windows.h>

#include "base/module_instance.h"
#include "base/handle_relative/redirection_guard.h"
#include "base/setup_log.h"
#include "base/system_library.h"
#include "resource_ids.h"
#include "setup/exit_codes.h"
#include "setup/instance_guard.h"
#include "setup/product_probe.h"
#include "setup/setup_log_file.h"
#include "setup/setup_options.h"
#include "setup/setup_sequence.h"
#include "ui/message_box.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLineTail, int)
{
    RestrictDllSearchToSystemFolder();
    const HRESULT redirectionGuard = EnableRedirectionGuard();
    g_hInstance = instance;

    // A second copy writes no log: the first one may be writing it.
    CInstanceGuard guard;
    if (!guard.Acquire())
        return SETUP_EXIT_REFUSED;

    ProductProbeReport probe;
    const bool productQuit = AskRunningProductToQuit(&probe);

    // Reading the switches has no effect of its own; it comes before the
    // product's refusal only so that the log can record that refusal.
    CSetupOptions options(commandLineTail);
    options.ParseCommandLine();
    StartSetupLog(options, productQuit, probe);
    if (FAILED(redirectionGuard))
        LogFailure(redirectionGuard, "%s", DescribeRedirectionGuard(redirectionGuard));
    else
        LogEvent("%s", DescribeRedirectionGuard(redirectionGuard));
    if (!productQuit) {
        ShowSetupMessage(IDS_PRODUCT_RUNNING, MB_OK);
        return EndSetupLog(SETUP_EXIT_REFUSED);
    }
    return EndSetupLog(RunSetupSequence(options));
}
