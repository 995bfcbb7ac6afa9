#pragma once
// Message boxes of the setup: text and caption from the string table, no
// owner window, no icon.
#include <windows.h>

// Loads text id and caption 108 and shows them with the given buttons
// (MB_OK or MB_YESNO); returns the button pressed.
int ShowSetupMessage(UINT textId, UINT buttons);

// Same with a caption the caller already loaded.
int ShowSetupMessage(UINT textId, UINT buttons, const char* caption);

// Same, modal to the owner window; buttons may carry an icon flag (the
// destination folder dialog's own message).
int ShowOwnedSetupMessage(HWND owner, UINT textId, UINT buttons);
