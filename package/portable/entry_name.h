#pragma once
// The check that keeps every unpacked file inside its destination folder.
// An entry name must be a bare file name in the ANSI code page: not empty,
// not "." or "..", without \ / : or other characters Windows refuses in a
// name, not ending in a dot or a blank, not a device name (CON, NUL,
// COM0 ... COM9, COM¹ ...), and not the name of the package file itself
// ("BCSetup_IS.bin", in any case). Double-byte characters are walked as
// units, so a Japanese character whose second byte is 0x5C is not taken for
// a backslash.
#include <cstddef>

// Answers whether a byte begins a double-byte character of the code page.
typedef bool (*LeadBytePredicate)(unsigned char c);

// For code pages without double-byte characters.
bool NoLeadBytes(unsigned char c);
// The lead bytes of Shift-JIS (code page 932).
bool IsShiftJisLeadByte(unsigned char c);

// field holds fieldSize bytes; the name must end with a terminator inside it.
bool IsBareEntryName(const char* field, size_t fieldSize, LeadBytePredicate isLeadByte);
