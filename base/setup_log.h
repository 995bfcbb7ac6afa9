#pragma once
// The setup log: one line per event, for support, in a UTF-8 file when asked for.
// Each line starts with the local time and is appended to the file; every
// event also goes to the debugger's output, whether the file is open or not.
#include <windows.h>

// Opens path (ANSI) for appending, creating it with the UTF-8 byte-order
// mark when it is new or empty: for a path the administrator chose. A file
// already open is closed. The failure when it can't be opened: the setup
// then goes on without a file.
HRESULT OpenSetupLog(const char* path);
// Takes over file, just made new and open for appending, as the log,
// writing the byte-order mark first; the log closes it.
HRESULT UseNewSetupLog(HANDLE file);
void CloseSetupLog();
bool IsSetupLogOpen();

// One event, printf-style, in the ANSI code page and without a line end.
// Line breaks in the text come out as "\n", so that an event stays one line;
// a text longer than 2,045 bytes is cut there. Works also before the
// program's start-up code has run (the log then has no file).
void LogEvent(const char* format, ...);

// A failure: the event text, then ": 0x%08X" and the platform's text for
// the result code (FormatMessage), when it has one.
void LogFailure(HRESULT result, const char* format, ...);

// The text, or an empty one for null: what the log shows of an argument
// that may be missing.
inline const char* LogText(const char* text)
{
    return text ? text : "";
}

// HKEY_LOCAL_MACHINE as "HKLM", and so on, for naming registry values.
const char* RegistryRootName(HKEY root);
