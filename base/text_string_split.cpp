// CTextString::SplitPath: the classic drive / directory / name / extension
// split, with the runtime's fixed limits, walking double-byte characters as
// units so that a trail byte 0x5C is never taken for a separator.
#include "base/text_string.h"

#include <cstring>

#include "base/double_byte.h"

namespace {
const std::size_t kMaxDrive = 2;  // "C:"
const std::size_t kMaxPart = 255; // directory, file name and extension each

struct PathParts {
    const char* drive = nullptr;
    std::size_t driveLength = 0;
    const char* directory = nullptr;
    std::size_t directoryLength = 0;
    const char* name = nullptr;
    std::size_t nameLength = 0;
    const char* extension = nullptr;
    std::size_t extensionLength = 0;
};

PathParts Split(const char* path)
{
    PathParts parts;
    const char* p = path;
    if (p[0] && p[1] == ':' && !IsDbcsLeadByte(static_cast<unsigned char>(p[0]))) {
        parts.drive = p;
        parts.driveLength = kMaxDrive;
        p += 2;
    }
    // Find the last separator and the last dot after it, character by character.
    const char* lastSeparator = nullptr;
    const char* lastDot = nullptr;
    for (const char* q = p; *q;) {
        std::size_t step = DbcsCharLength(q);
        if (step == 1 && (*q == '\\' || *q == '/'))
            lastSeparator = q;
        else if (step == 1 && *q == '.')
            lastDot = q;
        q += step;
    }
    const char* end = p + std::strlen(p);
    const char* nameStart = p;
    if (lastSeparator) {
        parts.directory = p;
        parts.directoryLength = static_cast<std::size_t>(lastSeparator + 1 - p);
        nameStart = lastSeparator + 1;
    }
    if (lastDot && lastDot >= nameStart) {
        parts.extension = lastDot;
        parts.extensionLength = static_cast<std::size_t>(end - lastDot);
        end = lastDot;
    }
    parts.name = nameStart;
    parts.nameLength = static_cast<std::size_t>(end - nameStart);
    return parts;
}

// Assigns at most kMaxPart bytes of a part, never cutting a character in two.
void AssignPart(CTextString* out, const char* text, std::size_t length)
{
    if (!out)
        return;
    if (!text || length == 0) {
        out->Assign("");
        return;
    }
    out->Assign(text, static_cast<int>(length < kMaxPart ? length : kMaxPart));
}
} // namespace

bool CTextString::SplitPath(CTextString path, CTextString* folder, CTextString* name, CTextString* extension)
{
    if (path.IsEmpty())
        return false;
    const char* copy = path.GetCopy();
    if (!copy)
        return false;
    PathParts parts = Split(copy);

    if (folder) {
        // Drive and directory joined; the directory keeps its final separator.
        CTextString joined;
        joined.Assign(parts.drive ? parts.drive : "", static_cast<int>(parts.driveLength));
        CTextString directory;
        AssignPart(&directory, parts.directory, parts.directoryLength);
        joined.Append(directory.GetData());
        folder->Assign(joined);
    }
    AssignPart(name, parts.name, parts.nameLength);
    AssignPart(extension, parts.extension, parts.extensionLength);
    return true;
}
