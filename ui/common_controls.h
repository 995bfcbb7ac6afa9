#pragma once
// The common controls DLL, loaded at run time from the system folder (the
// program imports only DLLs that Windows always takes from there).

// Loads comctl32.dll once per process and registers its window classes
// (tooltips among them). The DLL stays loaded for the process's life, since
// windows of its classes may exist at any time. False when it can't be had.
bool LoadCommonControls();
