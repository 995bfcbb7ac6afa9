#pragma once
// The imports of the program's own image, for code that other programs call
// with the program loaded as a module (the exported GetDXVersion).
//
// Windows binds the imports of every image it maps, a program loaded by
// LoadLibrary as much as a DLL. Wine binds them only for DLLs and for a
// process's own program: in the program loaded as a module by another, each
// import still holds the offset of its name, and the first call through one
// jumps into the void.
#include <windows.h>

// Binds whatever import of this image the loader left unbound, as the
// loader would have: each DLL from the system folder, each function by name
// or ordinal. Until it returns, nothing imported may be called, so it finds
// kernel32 through the process's own list of modules. Cheap where all is
// bound (one comparison per DLL). False when an import can't be bound: the
// caller must not go on.
bool BindOwnImports();
