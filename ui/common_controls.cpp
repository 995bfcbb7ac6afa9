#include "ui/common_controls.h"

#include <windows.h>
#include <commctrl.h>

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
        return true;  // an old DLL registers its classes when it is loaded
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    init(&controls);
    return true;
}

bool g_bLoaded;
INIT_ONCE g_LoadOnce = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK LoadOnce(PINIT_ONCE, PVOID, PVOID*)
{
    g_bLoaded = LoadAndRegister();
    return TRUE;
}
} // namespace

bool LoadCommonControls()
{
    // Made once, also when two threads ask at the same time.
    InitOnceExecuteOnce(&g_LoadOnce, LoadOnce, nullptr, nullptr);
    return g_bLoaded;
}
