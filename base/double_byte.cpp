#include "base/double_byte.h"

#include <windows.h>

bool IsDbcsLeadByte(unsigned char c)
{
    return c >= 0x80 && IsDBCSLeadByte(c) != FALSE;
}

bool IsDbcsPair(unsigned char lead, unsigned char trail)
{
    if (trail == 0 || !IsDbcsLeadByte(lead))
        return false;
    const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    WCHAR wide[2];
    return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, pair, 2, wide, 2) == 1;
}

std::size_t DbcsCharLength(const char* p)
{
    if (*p == 0)
        return 0;
    return IsDbcsPair(static_cast<unsigned char>(p[0]), static_cast<unsigned char>(p[1])) ? 2 : 1;
}

std::size_t DbcsLastCharOffset(const char* text, std::size_t length)
{
    std::size_t offset = 0;
    std::size_t last = 0;
    while (offset < length) {
        last = offset;
        std::size_t step = DbcsCharLength(text + offset);
        offset += step ? step : 1;
    }
    return last;
}

bool EndsInBackslash(const char* text)
{
    if (!text || !*text)
        return false;
    std::size_t length = 0;
    while (text[length])
        ++length;
    std::size_t last = DbcsLastCharOffset(text, length);
    return last == length - 1 && text[last] == '\\';
}

std::size_t CopyDbcsAware(char* dst, const char* src, std::size_t count)
{
    std::size_t i = 0;
    while (i < count && src[i]) {
        unsigned char c = static_cast<unsigned char>(src[i]);
        if (IsDbcsLeadByte(c)) {
            if (i + 1 >= count || src[i + 1] == 0)
                break; // a lone lead byte is never copied
            dst[i] = src[i];
            dst[i + 1] = src[i + 1];
            i += 2;
            continue;
        }
        dst[i] = src[i];
        ++i;
    }
    dst[i] = 0;
    return i;
}
