// Exits with GetWindowsFamily(), for tests that make Wine report another
// Windows version to this one program.
#include "setup/windows_family.h"

int main()
{
    return GetWindowsFamily();
}
