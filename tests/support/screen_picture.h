#pragma once
#include <string>

namespace testing_support {

// Saves what the screen (the Wine desktop) shows now as a 24-bit BMP file.
bool SaveScreenPicture(const std::string& path);

} // namespace testing_support
