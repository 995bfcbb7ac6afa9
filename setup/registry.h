#pragma once
// Reading and writing single registry values. Each function opens the key
// itself and closes it before returning. Failures are silent: reads fall back
// to the caller's default.
#include <windows.h>

#include <cstddef>

// Longest string value read, in bytes with its terminator; a longer value
// counts as missing.
constexpr DWORD REG_STRING_LIMIT = 255;

// Reads a string value into out (outSize bytes, at least REG_STRING_LIMIT + 1
// for every value to fit). When the key or value is missing, the value is
// longer than REG_STRING_LIMIT bytes or does not fit, copies defaultText
// (cut to fit) instead and returns false. out is always terminated, even when
// the stored value lacks its terminator.
bool RegReadString(HKEY root, const char* subkey, const char* name, const char* defaultText, char* out,
                   std::size_t outSize);

// Reads the first four bytes of a value of any type (bytes beyond the
// value's length count as zero). Missing key or value, or a value longer
// than 256 bytes: stores defaultValue and returns false.
bool RegReadDword(HKEY root, const char* subkey, const char* name, DWORD* value, DWORD defaultValue);

// Creates the key if needed and writes text as a REG_SZ value. False only
// when the key can't be created or opened.
bool RegWriteString(HKEY root, const char* subkey, const char* name, const char* text);

// Creates the key if needed and writes a REG_DWORD value. False only when
// the key can't be created or opened.
bool RegWriteDword(HKEY root, const char* subkey, const char* name, DWORD value);
