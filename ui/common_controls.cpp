#include "ui/common_controls.h"

#include <windows.h>
#include <commctrl.h>

#include "base/run_once.h"
#include "base/system_library.h"

namespace {
bool LoadAndRegister()
{
    HMODULE library = LoadSystemLibrary("comctl32.dll");
    if (!library)
        return false;
    typedef BOOL(WINAPI * InitCommonControlsExFn)(const INITCOMMONCONTROLSEX*);
    InitCommonControlsExFn init = ProcAddress<InitCommonControlsExFn>(library, "InitCommonControlsEx");
    if (!init)
        return true; // an old DLL registers its classes when it is loaded
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    init(&controls);
    return true;
}

bool g_bLoaded;
volatile LONG g_LoadOnce = 0;

void LoadOnce()
{
    g_bLoaded = LoadAndRegister();
}
} // namespace

bool LoadCommonControls()
{
    // Made once, also when two threads ask at the same time.
    RunOnce(&g_LoadOnce, LoadOnce);
    return g_bLoaded;
}
