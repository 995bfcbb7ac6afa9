#pragma once
// The room the product needs on its destination drive.
#include <windows.h>

// Bytes that must be free for the caller on the destination: 100 MiB.
constexpr ULONGLONG kMinFreeBytes = 104857600;

// True when freeBytes (free for the caller) is at least kMinFreeBytes.
bool IsEnoughFreeSpace(ULARGE_INTEGER freeBytes);

// True when the drive of folder has enough free space for the caller; false
// also when the free space cannot be read.
bool HasRoomForProduct(const char* folder);
