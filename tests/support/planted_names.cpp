#include "tests/support/planted_names.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/support/child_process.h"
#include "tests/support/unix_link.h"

namespace testing_support {

namespace {
const char kPlantedBytes[] = "planted by another program\n";

std::string Target(const std::string& outsideFolder)
{
    return outsideFolder + "victim.txt";
}

bool WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(Widen(path).c_str(), std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

// The file's bytes; "<missing>" when it can't be read.
std::string ReadText(const std::string& path)
{
    std::ifstream in(Widen(path).c_str(), std::ios::binary);
    if (!in)
        return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

DWORD Attributes(const std::string& path)
{
    return GetFileAttributesW(Widen(path).c_str());
}
} // namespace

const char* Describe(PlantedKind kind)
{
    switch (kind) {
    case PlantedKind::File: return "a file";
    case PlantedKind::Folder: return "a folder";
    case PlantedKind::LinkToAFileOutside: return "a link to a file outside";
    default: return "a link whose target is gone";
    }
}

bool Plant(PlantedKind kind, const std::string& path, const std::string& outsideFolder)
{
    bool planted = false;
    switch (kind) {
    case PlantedKind::File: planted = WriteText(path, kPlantedBytes); break;
    case PlantedKind::Folder: planted = CreateDirectoryW(Widen(path).c_str(), nullptr) != FALSE; break;
    case PlantedKind::LinkToAFileOutside:
        planted = WriteText(Target(outsideFolder), kPlantedBytes) && PlantUnixLink(path, Target(outsideFolder));
        break;
    case PlantedKind::DanglingLink:
        planted = WriteText(Target(outsideFolder), kPlantedBytes) && PlantUnixLink(path, Target(outsideFolder)) &&
                  DeleteFileW(Widen(Target(outsideFolder)).c_str());
        break;
    }
    if (!planted)
        ADD_FAILURE() << "could not plant " << Describe(kind) << " at " << path;
    return planted;
}

std::string ChangedSincePlanted(PlantedKind kind, const std::string& path, const std::string& outsideFolder)
{
    switch (kind) {
    case PlantedKind::File: return ReadText(path) == kPlantedBytes ? "" : "the planted file was written or removed";
    case PlantedKind::Folder: {
        const DWORD attributes = Attributes(path);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
                   ? ""
                   : "the planted folder is gone";
    }
    case PlantedKind::LinkToAFileOutside:
        return ReadText(Target(outsideFolder)) == kPlantedBytes
                   ? ""
                   : "the file outside was written through the link, or deleted";
    default:
        return Attributes(Target(outsideFolder)) == INVALID_FILE_ATTRIBUTES
                   ? ""
                   : "a file was made outside through the link";
    }
}

void RemovePlanted(PlantedKind kind, const std::string& path, const std::string& outsideFolder)
{
    switch (kind) {
    case PlantedKind::File: DeleteFileW(Widen(path).c_str()); break;
    case PlantedKind::Folder: RemoveDirectoryW(Widen(path).c_str()); break;
    default:
        // A link whose target is gone can't be told gone from there: its
        // target comes back first, so the wait for the link's end can see it.
        WriteText(Target(outsideFolder), kPlantedBytes);
        RemoveUnixLink(path);
        DeleteFileW(Widen(Target(outsideFolder)).c_str());
        break;
    }
}

} // namespace testing_support
