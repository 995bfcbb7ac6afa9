#include "standins/common/standin_command_line.h"

#include <windows.h>

namespace standin {

namespace {
// The length of the program's own full path when the command line begins
// with it unquoted (a program started by its unquoted path with blanks), else 0.
size_t UnquotedProgramPathLength(const wchar_t* commandLine)
{
    wchar_t path[MAX_PATH * 2];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    if (length == 0 || length >= MAX_PATH * 2 || _wcsnicmp(commandLine, path, length) != 0)
        return 0;
    wchar_t next = commandLine[length];
    return next == L'\0' || next == L' ' || next == L'\t' ? length : 0;
}
} // namespace

std::wstring ArgumentText()
{
    const wchar_t* p = GetCommandLineW();
    p += UnquotedProgramPathLength(p);
    // The program token: up to the closing quote when it starts with one,
    // else up to the first blank; quotes inside it toggle as Windows does.
    bool quoted = false;
    while (*p && (quoted || (*p != L' ' && *p != L'\t'))) {
        if (*p == L'"')
            quoted = !quoted;
        ++p;
    }
    std::wstring rest(p);
    size_t first = rest.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return std::wstring();
    size_t last = rest.find_last_not_of(L" \t");
    return rest.substr(first, last - first + 1);
}

std::vector<std::wstring> Arguments()
{
    std::vector<std::wstring> arguments;
    std::wstring text = ArgumentText();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(L" \t", start);
        if (end == std::wstring::npos)
            end = text.size();
        if (end > start)
            arguments.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return arguments;
}

} // namespace standin
