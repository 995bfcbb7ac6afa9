#include "ui/free_space.h"

bool IsEnoughFreeSpace(ULARGE_INTEGER freeBytes)
{
    return freeBytes.QuadPart >= kMinFreeBytes;
}

bool HasRoomForProduct(const char* folder)
{
    ULARGE_INTEGER freeForCaller = {};
    if (!GetDiskFreeSpaceExA(folder, &freeForCaller, nullptr, nullptr))
        return false;
    return IsEnoughFreeSpace(freeForCaller);
}
