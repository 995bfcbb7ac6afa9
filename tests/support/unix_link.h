#pragma once
// Links as another program of the user could plant them. Wine 8 makes none
// through CreateSymbolicLink (it answers success and makes nothing), but it
// shows a Unix symbolic link as one (a folder link with
// FILE_ATTRIBUTE_REPARSE_POINT), so the tests make Unix links with the
// system's own ln, which Wine starts like any program. Paths are UTF-8.
#include <string>

namespace testing_support {

// A symbolic link at link pointing to target (a file or a folder, which
// must exist). False, with the reason on stderr, when it could not be made.
bool PlantUnixLink(const std::string& link, const std::string& target);
// Removes the link itself (never its target); waits until it is gone.
bool RemoveUnixLink(const std::string& link);

} // namespace testing_support
