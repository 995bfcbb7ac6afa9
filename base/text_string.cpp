#include "base/text_string.h"

#include <cstdarg>
#include <cstring>

#include "base/double_byte.h"

namespace {
const INT64 kStringGranularity = 256;
const int kFormatRoom = 1025; // wvsprintfA writes at most 1024 bytes with the terminator
const int kLoadTextRoom = 1024;

bool IsDelimiter(unsigned char c, const char* delimiters)
{
    for (const char* d = delimiters; *d; ++d) {
        if (static_cast<unsigned char>(*d) == c)
            return true;
    }
    return false;
}
} // namespace

CTextString::CTextString() : m_pTokenNext(nullptr), m_pToken(nullptr)
{
    m_Text.SetGranularity(kStringGranularity);
    m_Scratch.SetGranularity(kStringGranularity);
    Init();
}

CTextString::CTextString(const char* text, int length) : CTextString()
{
    Assign(text, length);
}

CTextString::CTextString(const CTextString& other) : CTextString()
{
    Assign(other.GetData());
}

CTextString& CTextString::operator=(const CTextString& other)
{
    return Assign(other);
}

CTextString::~CTextString()
{
    Uninit();
    m_Scratch.Reset();
    m_Text.Reset();
}

int CTextString::Init()
{
    return 0;
}

int CTextString::Uninit()
{
    return 0;
}

char* CTextString::Assign(const char* text, int length)
{
    if (length < 0)
        length = text ? static_cast<int>(std::strlen(text)) : 0;
    if (FAILED(m_Text.Reserve(static_cast<INT64>(length) + 1, false, true)))
        return nullptr;
    char* data = m_Text.GetData();
    if (!text) {
        data[0] = 0;
    } else {
        CopyDbcsAware(data, text, static_cast<std::size_t>(length));
    }
    data[length] = 0;
    return data;
}

CTextString& CTextString::Assign(const CTextString& other)
{
    if (this != &other)
        Assign(other.IsEmpty() ? "" : other.GetData());
    return *this;
}

char* CTextString::Append(const char* text, int length)
{
    if (!text)
        return GetData();
    if (IsEmpty())
        return Assign(text, length);
    if (length < 1)
        length = static_cast<int>(std::strlen(text));

    std::size_t current = std::strlen(GetData());
    // A lone lead byte at the end is overwritten by the appended text.
    std::size_t last = DbcsLastCharOffset(GetData(), current);
    std::size_t start = current;
    if (last == current - 1 && IsDbcsLeadByte(static_cast<unsigned char>(GetData()[last])))
        start = last;

    if (FAILED(m_Text.Reserve(static_cast<INT64>(start) + length + 1, false, true)))
        return GetData();
    CopyDbcsAware(GetData() + start, text, static_cast<std::size_t>(length));
    return GetData();
}

char* CTextString::Format(const char* format, ...)
{
    if (!format)
        return nullptr;
    if (FAILED(m_Text.Reserve(static_cast<INT64>(std::strlen(format)) + kFormatRoom, false, false)))
        return nullptr;
    va_list args;
    va_start(args, format);
    int written = wvsprintfA(GetData(), format, args);
    va_end(args);
    if (written < 0)
        GetData()[0] = 0;
    return GetData();
}

char* CTextString::LoadText(HINSTANCE instance, UINT id)
{
    if (FAILED(m_Text.Reserve(kLoadTextRoom, false, false)))
        return nullptr;
    if (LoadStringA(instance, id, GetData(), kLoadTextRoom) <= 0)
        GetData()[0] = 0;
    return GetData();
}

int CTextString::GetLength() const
{
    return GetData() ? static_cast<int>(std::strlen(GetData())) : 0;
}

bool CTextString::IsEmpty() const
{
    return !GetData() || GetData()[0] == 0;
}

char* CTextString::GetCopy()
{
    int length = GetLength();
    if (FAILED(m_Scratch.Reserve(static_cast<INT64>(length) + 1, false, false)))
        return nullptr;
    char* copy = m_Scratch.GetData();
    if (length == 0)
        copy[0] = 0;
    else
        CopyDbcsAware(copy, GetData(), static_cast<std::size_t>(length));
    return copy;
}

char* CTextString::AddBackslash()
{
    if (IsEmpty())
        return nullptr;
    if (EndsInBackslash(GetData()))
        return GetData();
    return Append("\\");
}

char* CTextString::RemoveBackslash()
{
    if (EndsInBackslash(GetData()))
        GetData()[std::strlen(GetData()) - 1] = 0;
    return GetData();
}

char* CTextString::Tokenize(const char* delimiters, int index)
{
    char* text = GetData();
    if (!text || !*text)
        return nullptr;
    // Room for a field cut inside a double-byte character, and its terminator.
    if (FAILED(m_Scratch.Reserve(kTokenLimit + 2, false, false)))
        return nullptr;
    m_pToken = m_Scratch.GetData();
    m_pToken[0] = 0;

    if (index > 0 || !delimiters)
        m_pTokenNext = text;
    if (!delimiters)
        return nullptr;
    if (!m_pTokenNext || !*m_pTokenNext)
        return nullptr;

    const int wanted = index > 0 ? index : 1;
    int field = 1;
    int copied = 0;
    char* p = m_pTokenNext;
    for (;;) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c != 0 && IsDbcsPair(c, static_cast<unsigned char>(p[1]))) {
            if (field == wanted && copied < kTokenLimit) {
                m_pToken[copied++] = p[0];
                m_pToken[copied++] = p[1];
            }
            p += 2;
            continue;
        }
        if (c == 0 || IsDelimiter(c, delimiters)) {
            if (field == wanted || c == 0) {
                // Asking beyond the last field yields an empty token.
                if (field != wanted)
                    copied = 0;
                m_pToken[copied] = 0;
                m_pTokenNext = c == 0 ? nullptr : p + 1;
                return m_pToken;
            }
            ++field;
            ++p;
            continue;
        }
        if (field == wanted && copied < kTokenLimit)
            m_pToken[copied++] = static_cast<char>(c);
        ++p;
    }
}

unsigned CTextString::CopyTo(char* buffer, unsigned size) const
{
    if (!buffer)
        return 0;
    if (IsEmpty()) {
        if (size > 0)
            buffer[0] = 0;
        return 0;
    }
    if (size == static_cast<unsigned>(-1)) {
        std::size_t length = std::strlen(GetData());
        std::memcpy(buffer, GetData(), length + 1);
        return static_cast<unsigned>(length);
    }
    if (size == 0)
        return 0;
    return static_cast<unsigned>(CopyDbcsAware(buffer, GetData(), size - 1));
}
