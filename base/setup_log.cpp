#include "base/setup_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <utility>

#include "base/last_error.h"
#include "base/unique_handle.h"

namespace {
const int kTextSize = 2048;
// An event with its failure code and the platform's text for it.
const int kLineTextSize = kTextSize + 640;
// How long a thread waits for the log's lock before it drops its line: only
// a holder that was terminated keeps it that long.
const DWORD kLockWaitMs = 2000;

// The log's sink. It is constant-initialized (no constructor code), so that
// it also works where this program's start-up code never ran: GetDXVersion
// logs when another program has loaded us as a module and calls it.
class CSetupLog {
public:
    // The file at path, appended to; made when missing.
    HRESULT Open(const char* path)
    {
        HANDLE opened = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (opened == INVALID_HANDLE_VALUE)
            return LastErrorResult();
        UniqueKernelHandle file(opened);
        LARGE_INTEGER size = {};
        const bool empty = GetFileSizeEx(file.Get(), &size) && size.QuadPart == 0;
        return Use(std::move(file), empty);
    }

    // The open file becomes the log; an empty one gets the byte-order mark first.
    HRESULT Use(UniqueKernelHandle file, bool empty)
    {
        if (empty) {
            static const char kByteOrderMark[] = "\xEF\xBB\xBF";
            DWORD written = 0;
            WriteFile(file.Get(), kByteOrderMark, 3, &written, nullptr);
        }
        CTurn turn(*this);
        if (!turn.IsTaken())
            return HRESULT_FROM_WIN32(ERROR_BUSY);
        m_File = std::move(file);
        return S_OK;
    }

    // The file is closed even when the turn can't be had: only a holder that
    // was terminated keeps it that long, and it writes no more.
    void Close()
    {
        CTurn turn(*this);
        UniqueKernelHandle file(m_File.Release());
    }

    bool IsOpen() const { return m_File.IsValid(); }

    // text: one event in the ANSI code page, cut at kLineTextSize bytes.
    void Write(const char* text)
    {
        OutputDebugStringA(text);
        OutputDebugStringA("\n");
        if (!m_File)
            return;
        SYSTEMTIME now;
        GetLocalTime(&now);
        char line[kLineTextSize * 3 + 64];
        int length = std::snprintf(line, sizeof(line), "%04u-%02u-%02u %02u:%02u:%02u.%03u ", now.wYear, now.wMonth,
                                   now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
        // Paths and messages are in the ANSI code page; the file is UTF-8.
        // No byte gives more than one UTF-16 unit, and no unit more than three
        // bytes of UTF-8, so the whole text fits.
        int textLength = 0;
        while (textLength < kLineTextSize && text[textLength])
            ++textLength;
        wchar_t wide[kLineTextSize];
        int wideLength = textLength > 0 ? MultiByteToWideChar(CP_ACP, 0, text, textLength, wide, kLineTextSize) : 0;
        int utf8Length = wideLength > 0
                             ? WideCharToMultiByte(CP_UTF8, 0, wide, wideLength, line + length,
                                                   static_cast<int>(sizeof(line)) - length - 2, nullptr, nullptr)
                             : 0;
        length += utf8Length;
        line[length++] = '\r';
        line[length++] = '\n';
        CTurn turn(*this);
        DWORD written = 0;
        if (turn.IsTaken() && m_File)
            WriteFile(m_File.Get(), line, static_cast<DWORD>(length), &written, nullptr);
    }

private:
    // One thread at a time uses the file. A plain flag, not a critical
    // section: it needs no constructor, and a holder that was terminated
    // (the wait dialog's thread can be) costs a dropped line, not a hang.
    bool Take()
    {
        DWORD start = GetTickCount();
        while (InterlockedCompareExchange(&m_Busy, 1, 0) != 0) {
            if (GetTickCount() - start >= kLockWaitMs)
                return false;
            Sleep(1);
        }
        return true;
    }
    void Give() { InterlockedExchange(&m_Busy, 0); }
    // One thread's turn with the file, from Take to Give, when it was had.
    class CTurn {
    public:
        explicit CTurn(CSetupLog& log) : m_Log(log), m_bTaken(log.Take()) {}
        ~CTurn()
        {
            if (m_bTaken)
                m_Log.Give();
        }
        CTurn(const CTurn&) = delete;
        CTurn& operator=(const CTurn&) = delete;
        bool IsTaken() const { return m_bTaken; }

    private:
        CSetupLog& m_Log;
        bool m_bTaken;
    };

    LONG m_Busy = 0;
    // The open log file; null, not INVALID_HANDLE_VALUE, when there is none,
    // so that its empty value is there before any constructor runs.
    UniqueKernelHandle m_File;
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
    DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
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

HRESULT UseNewSetupLog(HANDLE file)
{
    if (!file || file == INVALID_HANDLE_VALUE)
        return E_INVALIDARG;
    return g_SetupLog.Use(UniqueKernelHandle(file), true);
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
    char line[kLineTextSize];
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
