#pragma once
// Paths for the setup's own functions, which take text in the ANSI code page.
#include <string>

namespace testing_support {

// The UTF-8 text in the system's ANSI code page; empty when a character has
// no ANSI form (for example a kanji under code page 1252).
std::string ToAnsi(const std::string& utf8);

} // namespace testing_support
