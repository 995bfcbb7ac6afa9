#include "standins/common/standin_journal.h"

#include <windows.h>

#include "standins/common/standin_script.h"

namespace standin {

const wchar_t kJournalVariable[] = L"BCSETUP_STANDIN_JOURNAL";

namespace {
// Tabs and line breaks would break the line into wrong fields.
std::wstring Field(std::wstring text)
{
    for (wchar_t& c : text) {
        if (c == L'\t' || c == L'\r' || c == L'\n')
            c = L' ';
    }
    return text;
}

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], length, nullptr, nullptr);
    return result;
}

std::wstring ProgramFile()
{
    wchar_t path[MAX_PATH * 2];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    return std::wstring(path, length);
}

std::wstring TemporaryFolder()
{
    wchar_t path[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, path);
    return length <= MAX_PATH ? std::wstring(path, length) : std::wstring();
}

std::wstring CurrentFolder()
{
    wchar_t path[MAX_PATH * 2];
    DWORD length = GetCurrentDirectoryW(MAX_PATH * 2, path);
    return length < MAX_PATH * 2 ? std::wstring(path, length) : std::wstring();
}
} // namespace

void WriteJournal(const std::wstring& name, const std::wstring& action)
{
    std::wstring file = EnvironmentText(kJournalVariable);
    if (file.empty())
        return;
    std::wstring line = Field(name) + L'\t' + Field(ProgramFile()) + L'\t' + Field(GetCommandLineW()) + L'\t' +
                        Field(CurrentFolder()) + L'\t' + Field(action) + L'\t' + Field(TemporaryFolder()) + L"\r\n";
    std::string bytes = Utf8(line);
    // Another stand-in may be appending at this moment; appends of one
    // WriteFile are whole, so a short retry on a sharing clash is enough.
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE handle = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            CloseHandle(handle);
            return;
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION)
            return;
        Sleep(20);
    }
}

} // namespace standin
