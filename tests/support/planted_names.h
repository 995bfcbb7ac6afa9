#pragma once
// What another program of the user puts at a name the setup is about to
// write, before it does: a file, a folder, a link to a file of its own
// outside, a link whose target is gone. After the setup's turn, the check
// says whether all of it is as it was: the file's bytes, the folder, the
// outside file's bytes (neither written through the link nor deleted).
// Paths are UTF-8.
#include <string>

namespace testing_support {

enum class PlantedKind { File, Folder, LinkToAFileOutside, DanglingLink };

const PlantedKind kEveryPlantedKind[] = {PlantedKind::File, PlantedKind::Folder, PlantedKind::LinkToAFileOutside,
                                         PlantedKind::DanglingLink};

const char* Describe(PlantedKind kind);

// Plants kind at path; a link's target is made in outsideFolder (which
// must exist). False, with a test failure, when it could not be made.
bool Plant(PlantedKind kind, const std::string& path, const std::string& outsideFolder);
// Empty when what was planted at path is as it was; else what changed.
std::string ChangedSincePlanted(PlantedKind kind, const std::string& path, const std::string& outsideFolder);
// Removes what was planted (a link itself, never its target).
void RemovePlanted(PlantedKind kind, const std::string& path, const std::string& outsideFolder);

} // namespace testing_support
