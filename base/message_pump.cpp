#include "base/message_pump.h"

#include <windows.h>

int PumpMessages()
{
    // Messages are taken only when one is there. Peeking and then waiting
    // in GetMessage could sleep for good: a paint that was pending when we
    // looked is gone once the owner hides the window (its call is handled
    // inside GetMessage), and a worker asleep there sees no command.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            return 0;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 1;
}
