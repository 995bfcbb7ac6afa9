#include "package/portable/entry_name.h"

#include <cstring>

namespace {

// Second bytes of double-byte characters start at 0x40 in every Windows
// double-byte code page (932, 936, 949, 950).
const unsigned char DBCS_LOWEST_TRAIL_BYTE = 0x40;

// Names that open a device instead of a file, whatever extension follows.
// COM and LPT take a digit 0 to 9 or a superscript one, two or three (bytes
// 0xB9, 0xB2 and 0xB3 in code page 1252; refused in every code page).
const char* const DEVICE_NAMES[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
const char* const NUMBERED_DEVICE_NAMES[] = {"COM", "LPT"};
const char DEVICE_NUMBERS[] = "0123456789\xB9\xB2\xB3";

// The name the main package itself is written under beside the entries: an
// entry of that name would overwrite the package while it is being read.
const char PACKAGE_FILE_NAME[] = "BCSETUP_IS.BIN";

bool IsRefusedSingleByte(unsigned char c)
{
    return c < 0x20 || std::strchr("\\/:*?\"<>|", c) != nullptr;
}

char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Whether the first length bytes of text are upper, in any case (ASCII).
bool EqualsIgnoringCase(const char* text, size_t length, const char* upper)
{
    if (std::strlen(upper) != length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        if (AsciiUpper(text[i]) != upper[i])
            return false;
    }
    return true;
}

// stem is the part before the first dot, without trailing blanks.
bool IsDeviceName(const char* stem, size_t length)
{
    for (const char* device : DEVICE_NAMES) {
        if (EqualsIgnoringCase(stem, length, device))
            return true;
    }
    if (length != 4 || stem[3] == 0 || !std::strchr(DEVICE_NUMBERS, stem[3]))
        return false;
    for (const char* device : NUMBERED_DEVICE_NAMES) {
        if (EqualsIgnoringCase(stem, 3, device))
            return true;
    }
    return false;
}

} // namespace

bool NoLeadBytes(unsigned char)
{
    return false;
}

bool IsShiftJisLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsBareEntryName(const char* field, size_t fieldSize, LeadBytePredicate isLeadByte)
{
    const void* terminator = std::memchr(field, 0, fieldSize);
    if (!terminator)
        return false;
    size_t length = static_cast<const char*>(terminator) - field;
    if (length == 0)
        return false;

    size_t stemEnd = length; // first single-byte dot
    bool lastIsSingleByte = true;
    for (size_t i = 0; i < length;) {
        unsigned char c = static_cast<unsigned char>(field[i]);
        if (isLeadByte(c)) {
            // A lead byte cut off by the terminator, or followed by a byte no
            // double-byte code page uses as a second half: such a pair may
            // be read either way, so it is refused (it could hide a "/").
            if (i + 1 >= length || static_cast<unsigned char>(field[i + 1]) < DBCS_LOWEST_TRAIL_BYTE)
                return false;
            i += 2;
            lastIsSingleByte = false;
            continue;
        }
        if (IsRefusedSingleByte(c))
            return false;
        if (c == '.' && stemEnd == length)
            stemEnd = i;
        lastIsSingleByte = true;
        ++i;
    }
    // Windows drops trailing dots and blanks, so "a." would name "a", and
    // "." and ".." end in a dot as well.
    char last = field[length - 1];
    if (lastIsSingleByte && (last == '.' || last == ' '))
        return false;

    size_t stemLength = stemEnd;
    while (stemLength > 0 && field[stemLength - 1] == ' ')
        --stemLength;
    return !IsDeviceName(field, stemLength) && !EqualsIgnoringCase(field, length, PACKAGE_FILE_NAME);
}
