#include "base/setup_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <utility>

#include "base/lock.h"
#include "base/unique_handle.h"

namespace {
const int kTextSize = 2048;

class CSetupLog {
public:

    HRESULT Open(const char* path)
    {
        CLockGuard guard(m_Lock);
        Close();
        UniqueFileHandle file(CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            DWORD error = GetLastError();
            return HRESULT_FROM_WIN32(error ? error : ERROR_OPEN_FAILED);
        }
        LARGE_INTEGER size = {};
        if (GetFileSizeEx(file.Get(), &size) && size.QuadPart == 0) {
            static const char kByteOrderMark[] = "\xEF\xBB\xBF";
            DWORD written = 0;
            WriteFile(file.Get(), kByteOrderMark, 3, &written, nullptr);
        }
        m_File = std::move(file);
        return S_OK;
    }

    void Close()
    {
        CLockGuard guard(m_Lock);
        m_File.Reset();
    }

    bool IsOpen() const { return m_File.IsValid(); }

    // text: one event in the ANSI code page.
    void Write(const char* text)
    {
        OutputDebugStringA(text);
        OutputDebugStringA("\n");
        CLockGuard guard(m_Lock);
        if (!m_File)
            return;
        SYSTEMTIME now;
        GetLocalTime(&now);
        char line[kTextSize * 3 + 64];
        int length = std::snprintf(line, sizeof(line), "%04u-%02u-%02u %02u:%02u:%02u.%03u ", now.wYear, now.wMonth,
                                   now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
        // Paths and messages are in the ANSI code page; the file is UTF-8.
        wchar_t wide[kTextSize];
        int wideLength = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, kTextSize);
        int utf8Length = wideLength > 1 ? WideCharToMultiByte(CP_UTF8, 0, wide, wideLength - 1, line + length,
                                                              static_cast<int>(sizeof(line)) - length - 2, nullptr,
                                                              nullptr)
                                        : 0;
        length += utf8Length;
        line[length++] = '\r';
        line[length++] = '\n';
        DWORD written = 0;
        WriteFile(m_File.Get(), line, static_cast<DWORD>(length), &written, nullptr);
    }

private:
    CLock m_Lock;
    UniqueFileHandle m_File;
};

CSetupLog g_SetupLog;

// Formats into text, with line breaks spelled out, so that an event is one line.
void FormatEvent(char (&text)[kTextSize], const char* format, va_list arguments)
{
    char raw[kTextSize];
    std::vsnprintf(raw, sizeof(raw), format, arguments);
    raw[kTextSize - 1] = 0;
    std::size_t out = 0;
    for (const char* p = raw; *p && out + 3 < kTextSize; ++p) {
        if (*p == '\r')
            continue;
        if (*p == '\n') {
            text[out++] = '\\';
            text[out++] = 'n';
        } else {
            text[out++] = *p;
        }
    }
    text[out] = 0;
}

// The platform's text for a result code, without its line end; empty when it has none.
void ResultText(HRESULT result, char* text, DWORD size)
{
    // Platform errors are looked up by their own number, which every version knows.
    DWORD code = HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : static_cast<DWORD>(result);
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                      FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                  nullptr, code, 0, text, size, nullptr);
    while (length > 0 && (text[length - 1] == ' ' || text[length - 1] == '\r' || text[length - 1] == '\n'))
        --length;
    text[length < size ? length : 0] = 0;
}
} // namespace

HRESULT OpenSetupLog(const char* path)
{
    if (!path || !*path)
        return E_INVALIDARG;
    return g_SetupLog.Open(path);
}

void CloseSetupLog()
{
    g_SetupLog.Close();
}

bool IsSetupLogOpen()
{
    return g_SetupLog.IsOpen();
}

void LogEvent(const char* format, ...)
{
    char text[kTextSize];
    va_list arguments;
    va_start(arguments, format);
    FormatEvent(text, format, arguments);
    va_end(arguments);
    g_SetupLog.Write(text);
}

void LogFailure(HRESULT result, const char* format, ...)
{
    char text[kTextSize];
    va_list arguments;
    va_start(arguments, format);
    FormatEvent(text, format, arguments);
    va_end(arguments);
    char platformText[512];
    ResultText(result, platformText, sizeof(platformText));
    char line[kTextSize + 600];
    std::snprintf(line, sizeof(line), "%s: 0x%08lX%s%s", text, static_cast<unsigned long>(result),
                  platformText[0] ? " " : "", platformText);
    g_SetupLog.Write(line);
}

const char* RegistryRootName(HKEY root)
{
    if (root == HKEY_LOCAL_MACHINE)
        return "HKLM";
    if (root == HKEY_CURRENT_USER)
        return "HKCU";
    if (root == HKEY_CLASSES_ROOT)
        return "HKCR";
    if (root == HKEY_USERS)
        return "HKU";
    return "(key)";
}
