#pragma once
// The arguments a stand-in was given, as Windows programs see them: the
// process command line without its first token (the program).
#include <string>
#include <vector>

namespace standin {

// Text after the program token, without surrounding blanks.
std::wstring ArgumentText();
// The arguments split at blanks (the stand-ins take no quoted arguments).
std::vector<std::wstring> Arguments();

} // namespace standin
