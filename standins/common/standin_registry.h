#pragma once
// Registry values a test asks a stand-in to set, as one text:
//   ROOT\key path\value name=dword:NUMBER ; ROOT\key path\value name=sz:TEXT
// ROOT is HKLM or HKCU; items are separated by ';'. Missing keys are created.
#include <string>

namespace standin {

// Sets every value; a report of what was set (or what failed) goes to
// report, for the journal. False when an item was malformed or not written.
bool ApplyRegistryValues(const std::wstring& items, std::wstring* report);

// Helpers for the stand-ins' own values.
bool WriteRegistryDword(const std::wstring& root, const std::wstring& key, const std::wstring& name,
                        unsigned long value);
bool WriteRegistryText(const std::wstring& root, const std::wstring& key, const std::wstring& name,
                       const std::wstring& text);
// The text value, or empty when missing.
std::wstring ReadRegistryText(const std::wstring& root, const std::wstring& key, const std::wstring& name);

} // namespace standin
