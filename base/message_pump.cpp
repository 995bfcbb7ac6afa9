#include "base/message_pump.h"

#include <windows.h>

int PumpMessages()
{
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE))
        return 1;
    do {
        BOOL result = GetMessageA(&message, nullptr, 0, 0);
        if (result == 0 || result == -1)
            return result;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    } while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    return 1;
}
