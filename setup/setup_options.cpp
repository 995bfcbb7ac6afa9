#include "setup/setup_options.h"

#include <windows.h>

namespace {
bool IsSwitchPrefix(char c)
{
    return c == '/' || c == '-';
}

char FoldAsciiCase(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Switch names are ASCII, so they are compared with ASCII case folding: the
// user's locale must not decide (under a Turkish locale "SILENT" and "Silent"
// differ in their dotted and dotless I). A double-byte character never
// matches, as its lead byte is no ASCII character.
bool SameSwitch(const char* text, const char* name)
{
    for (; *text && *name; ++text, ++name) {
        if (FoldAsciiCase(*text) != FoldAsciiCase(*name))
            return false;
    }
    return *text == *name;
}

// The text after name and '=' when text is that switch with a value; else null.
const char* SwitchValue(const char* text, const char* name)
{
    for (; *name; ++text, ++name) {
        if (FoldAsciiCase(*text) != FoldAsciiCase(*name))
            return nullptr;
    }
    return *text == '=' ? text + 1 : nullptr;
}
} // namespace

bool SplitCommandLine(CTextStringList* list, const char* text)
{
    if (!list || !text)
        return false;
    const char* p = text;
    for (;;) {
        const char* start = p;
        char stop = ' ';
        if (*p == '"') {
            start = ++p;
            stop = '"';
        }
        while (*p && *p != stop)
            ++p;
        if (!list->Append(start, static_cast<int>(p - start)))
            return false;
        if (*p == 0)
            return true;
        ++p; // the one delimiter: the blank or the closing quote
    }
}

CSetupOptions::CSetupOptions(const char* commandLineTail)
    : m_strCommandLine(commandLineTail), m_bRunningAsSetupMgr(false), m_bSilent(false), m_bNoWaitDlg(false),
      m_bLaunchDX9(false), m_bLog(false)
{
}

bool CSetupOptions::ParseCommandLine()
{
    if (m_strCommandLine.IsEmpty())
        return false;
    ApplyCommandLine(GetCommandLineA());
    return true;
}

bool CSetupOptions::ApplyCommandLine(const char* commandLine)
{
    CTextStringList tokens;
    if (!SplitCommandLine(&tokens, commandLine))
        return false; // no switch at all is applied
    bool first = true;
    for (ItemNode* node = tokens.GetFirst(); node; node = node->pNext) {
        if (first) {
            first = false; // the program name, whatever it looks like
            continue;
        }
        const CTextString* token = static_cast<const CTextString*>(node->pItem);
        const char* text = token->GetData();
        if (token->IsEmpty() || !IsSwitchPrefix(text[0]))
            continue;
        while (IsSwitchPrefix(*text))
            ++text;
        ApplySwitch(text);
    }
    return true;
}

void CSetupOptions::ApplySwitch(const char* name)
{
    if (SameSwitch(name, "RunningAsSetupMgr"))
        m_bRunningAsSetupMgr = true;
    else if (SameSwitch(name, "Silent"))
        m_bSilent = true;
    else if (SameSwitch(name, "NoWaitDlg"))
        m_bNoWaitDlg = true;
    else if (SameSwitch(name, "LaunchDX9"))
        m_bLaunchDX9 = true;
    else if (SameSwitch(name, "Log"))
        m_bLog = true;
    else if (const char* path = SwitchValue(name, "Log")) {
        m_bLog = true;
        m_strLogPath.Assign(path);
    }
}
