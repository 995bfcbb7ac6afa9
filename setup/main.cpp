// The setup's entry point: instance handle, single-instance guard, the
// running-product check and the run-mode switches, then the setup sequence.
#include <windows.h>

#include "base/module_instance.h"
#include "base/system_library.h"
#include "resource_ids.h"
#include "setup/exit_codes.h"
#include "setup/instance_guard.h"
#include "setup/product_probe.h"
#include "setup/setup_options.h"
#include "setup/setup_sequence.h"
#include "ui/message_box.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLineTail, int)
{
    RestrictDllSearchToSystemFolder();
    g_hInstance = instance;

    CInstanceGuard guard;
    if (!guard.Acquire())
        return SETUP_EXIT_REFUSED;

    if (!AskRunningProductToQuit()) {
        ShowSetupMessage(IDS_PRODUCT_RUNNING, MB_OK);
        return SETUP_EXIT_REFUSED;
    }

    CSetupOptions options(commandLineTail);
    options.ParseCommandLine();
    return RunSetupSequence(options);
}
