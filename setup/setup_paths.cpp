// Path helpers: parent folder, trailing backslashes.
#include "setup/setup_paths.h"

#include <cstring>

#include "base/double_byte.h"

CTextString GetParentFolder(const char* path)
{
    CTextString folder;
    if (!CTextString::SplitPath(CTextString(path ? path : ""), &folder, nullptr, nullptr) || folder.IsEmpty())
        return folder;
    const char* text = folder.GetData();
    const bool hasDrive = text[0] && text[1] == ':' && !IsDbcsLeadByte(static_cast<unsigned char>(text[0]));
    // A root ("\" after the drive) keeps its backslash.
    if (folder.GetLength() - (hasDrive ? 2 : 0) > 1)
        folder.RemoveBackslash();
    return folder;
}

char* AppendBackslash(char* text, std::size_t size)
{
    if (!text || !*text || EndsInBackslash(text))
        return text;
    std::size_t length = std::strlen(text);
    if (length + 2 <= size) {
        text[length] = '\\';
        text[length + 1] = 0;
    }
    return text;
}

char* StripBackslash(char* text)
{
    if (EndsInBackslash(text))
        text[std::strlen(text) - 1] = 0;
    return text;
}
