#include "ui/folder_path_rules.h"

#include <windows.h>

#include <cstring>

#include "base/double_byte.h"
#include "base/file_existence.h"
#include "base/text_string.h"
#include "ui/path_components.h"

namespace {
// Room for a copy of a path; callers pass at most 259 bytes.
const std::size_t kPathCopySize = 1024;

bool IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// "C:" exactly: the only first component an absolute path can have here. A
// relative text ("abc"), a drive-relative one ("C:abc"), a rooted one
// ("\abc") and a network path are not destinations.
bool IsDriveComponent(const char* text)
{
    return IsAsciiLetter(text[0]) && text[1] == ':' && text[2] == 0;
}

// Blank and dot are never the second byte of a double-byte character, so
// the first and the last byte tell.
bool HasBlankOrDotAtEdge(const char* text, std::size_t length)
{
    const char first = text[0];
    const char last = text[DbcsLastCharOffset(text, length)];
    return first == ' ' || first == '.' || last == ' ' || last == '.';
}

// A drive root as the platform names it: "C:\" or "C:".
bool IsDriveRoot(const char* path, std::size_t length)
{
    if (!IsAsciiLetter(path[0]) || path[1] != ':')
        return false;
    return length == 2 || (length == 3 && path[2] == '\\');
}
} // namespace

bool IsValidNameComponent(const char* text)
{
    if (!text)
        return false;
    for (const char* p = text; *p;) {
        std::size_t step = DbcsCharLength(p);
        if (step == 1 && std::strchr("\"/*:?<>|", *p))
            return false;
        p += step;
    }
    return true;
}

bool IsValidFolderPath(const char* path)
{
    CPathComponents components(path);
    const char* first = components.Next();
    if (!first || !IsDriveComponent(first))
        return false;
    for (const char* component = components.Next(); component; component = components.Next()) {
        std::size_t length = std::strlen(component);
        if (length == 0 || HasBlankOrDotAtEdge(component, length) || !IsValidNameComponent(component))
            return false;
    }
    return true;
}

bool CreateFolderPath(const char* path)
{
    CPathComponents components(path);
    const char* first = components.Next();
    if (!first)
        return true;
    CTextString prefix(first);
    for (const char* component = components.Next(); component; component = components.Next()) {
        if (!prefix.Append("\\") || !prefix.Append(component))
            return false;
        const char* level = prefix.GetData();
        if (prefix.GetLength() <= 3 || IsExistingFolder(level))
            continue;
        // A level that another program made meanwhile counts as made.
        if (!CreateDirectoryA(level, nullptr) && !IsExistingFolder(level))
            return false;
    }
    return true;
}

bool IsExistingFolder(const char* path)
{
    if (!path)
        return false;
    char copy[kPathCopySize];
    std::size_t length = CopyDbcsAware(copy, path, kPathCopySize - 1);

    if (copy[0] == '\\' && copy[1] == '\\') {
        if (EndsInBackslash(copy))
            copy[length - 1] = 0;
        DWORD attributes = GetFileAttributesA(copy);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    if (IsDriveRoot(copy, length)) {
        // The platform wants a root with its backslash.
        char root[4] = {copy[0], ':', '\\', 0};
        return GetDriveTypeA(root) != DRIVE_NO_ROOT_DIR;
    }
    // A search pattern would match other entries than the one named.
    if (std::strpbrk(copy, "*?"))
        return false;
    if (EndsInBackslash(copy))
        copy[length - 1] = 0;
    return FolderExists(copy);
}
