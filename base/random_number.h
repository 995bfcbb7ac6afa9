#pragma once
// Random numbers from the platform's cryptographic generator, for names
// another program must not guess ahead (the work folder, the default log).
#include <windows.h>

// False when the generator can't be had; number is then left as it is.
bool NewRandomNumber(unsigned* number);
