#pragma once
// Double-byte rules of the system's ANSI code page. On Japanese systems
// (code page 932) the byte 0x5C can be the second half of a character, so a
// backslash byte is a separator only when it is not such a trail byte.
#include <cstddef>

// True when c can begin a double-byte character in the ANSI code page.
bool IsDbcsLeadByte(unsigned char c);

// True when lead and trail together form one legal double-byte character.
bool IsDbcsPair(unsigned char lead, unsigned char trail);

// Length in bytes (1 or 2) of the character that starts at p; 0 at the terminator.
std::size_t DbcsCharLength(const char* p);

// Byte offset of the last character of text (0 for an empty text), found by
// walking from the start, so a trail byte is never mistaken for a character.
std::size_t DbcsLastCharOffset(const char* text, std::size_t length);

// True when the text's last character is a single-byte backslash.
bool EndsInBackslash(const char* text);

// Copies at most count bytes of src to dst, a double-byte character always
// as a unit. A lead byte that would be cut off by count, or that is followed
// by the terminator, is replaced by a terminator and copying stops. Stops at
// the source terminator. Writes the terminator after the last byte copied and
// returns the number of bytes copied. dst must hold count + 1 bytes.
std::size_t CopyDbcsAware(char* dst, const char* src, std::size_t count);
