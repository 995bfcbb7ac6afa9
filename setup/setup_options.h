#pragma once
// The run-mode switches read from the command line.
#include "base/text_string.h"
#include "base/text_string_list.h"

class CSetupOptions {
public:
    explicit CSetupOptions(const char* commandLineTail);

    // Scans the process command line for the switches; false (and nothing
    // scanned) when the tail handed to WinMain is empty.
    bool ParseCommandLine();
    // Applies the switches of a whole command line (program name first);
    // false when it could not be split, and then no switch is applied.
    bool ApplyCommandLine(const char* commandLine);

    CTextString m_strCommandLine;
    bool m_bRunningAsSetupMgr;
    bool m_bSilent;
    bool m_bNoWaitDlg;
    bool m_bLaunchDX9;
    // "Log" or "Log=PATH": write the setup log, to PATH or, when it is
    // empty, to the default (setup_log_file.h).
    bool m_bLog;
    CTextString m_strLogPath;

private:
    void ApplySwitch(const char* name);
};

// Splits text into tokens: a token that begins with a double quote runs to
// the next quote, any other to the next blank. Every token, also an empty
// one, becomes one string appended to the list.
bool SplitCommandLine(CTextStringList* list, const char* text);
