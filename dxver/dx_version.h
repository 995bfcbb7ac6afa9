#pragma once
// The installed DirectX version, also exported by the setup program under
// the name "GetDXVersion" for other programs.
#include <windows.h>

// Stores the version packed as major << 16 | minor << 8 | letter (a = 1,
// b = 2, ...; 0 for none) into *version, and as text ("9.0c", "8.0") into
// text, cut to textSize bytes and always terminated. Either may be null.
// S_OK, or E_FAIL when no method gave an answer. The caller removes the
// arguments from the stack.
extern "C" __declspec(dllexport) HRESULT __cdecl GetDXVersion(DWORD* version, char* text, int textSize);
