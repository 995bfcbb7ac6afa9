#pragma once
#include <windows.h>

// The module instance handle: set once by WinMain, read by every load of a
// string, dialog template or payload resource.
extern HINSTANCE g_hInstance;
