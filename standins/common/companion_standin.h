#pragma once
// The common run of the companion installer stand-ins (wmfdist.exe,
// DivXPro.exe). Each honours exactly its silent command line:
//   - the silent switches: installs nothing harmful, ends with the scripted
//     exit code (0 by default) after the scripted delay, showing a window
//     only when the script asks for one;
//   - no arguments: shows a small window that asks whether to install;
//   - anything else: rejected at once with exit code 87 (invalid parameter).
#include <string>
#include <vector>

namespace standin {

enum class CompanionCall { Silent, Interactive, Rejected };

struct CompanionDescription {
    std::wstring name;     // in the journal
    std::wstring prefix;   // of its scripting variables
    std::wstring title;    // of its window
    std::wstring question; // asked when started without arguments
    // Sorts the arguments; for a silent call detail tells the journal what
    // was asked (for example the language).
    CompanionCall (*classify)(const std::vector<std::wstring>& arguments, std::wstring* detail);
};

int RunCompanionStandIn(const CompanionDescription& description);

} // namespace standin
