#pragma once
// What the installer stand-in installs: the files that setup.ini lists, from
// its own folder into the destination folder, and the product key's record.
#include <string>

namespace standin {

extern const wchar_t kProductKey[];

// Files the package must hold beside setup.exe; the first one missing, or
// empty when all are there. The folder is made the current one and listed
// first, as a real installer does; what of that fails is named instead.
std::wstring MissingPackageFile(const std::wstring& packageFolder);

// Creates destination (with its parents), copies the listed files into it
// and records the installation ("Path") in the product key. On failure
// returns false and says why in error.
bool InstallProduct(const std::wstring& packageFolder, const std::wstring& destination, std::wstring* error);

} // namespace standin
