#include "tests/support/standin_journal.h"

#include <windows.h>

#include "tests/support/child_process.h"

namespace testing_support {

namespace {
std::vector<std::string> SplitFields(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

std::string JournalPathIn(const std::string& folder)
{
    std::string path = folder;
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    path += "standin-journal.txt";
    DeleteFileW(Widen(path).c_str());
    return path;
}
} // namespace

std::vector<JournalEntry> ReadJournal(const std::string& path)
{
    std::vector<JournalEntry> entries;
    HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return entries;
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        text.append(buffer, read);
    CloseHandle(file);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        std::vector<std::string> fields = SplitFields(text.substr(start, end - start));
        if (fields.size() == 6)
            entries.push_back({fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]});
        start = end + 2;
    }
    return entries;
}

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const std::string& name, const std::string& value)
    : m_strName(name), m_bHadValue(false)
{
    std::wstring wideName = Widen(name);
    DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size > 0) {
        std::wstring old(size, L'\0');
        DWORD length = GetEnvironmentVariableW(wideName.c_str(), &old[0], size);
        old.resize(length);
        m_strOldValue = Narrow(old);
        m_bHadValue = true;
    }
    SetEnvironmentVariableW(wideName.c_str(), Widen(value).c_str());
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable()
{
    std::wstring wideName = Widen(m_strName);
    SetEnvironmentVariableW(wideName.c_str(), m_bHadValue ? Widen(m_strOldValue).c_str() : nullptr);
}

ScopedJournal::ScopedJournal(const std::string& folder)
    : m_strPath(JournalPathIn(folder)), m_Variable("BCSETUP_STANDIN_JOURNAL", m_strPath)
{
}

} // namespace testing_support
