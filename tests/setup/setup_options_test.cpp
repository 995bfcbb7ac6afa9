#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "setup/setup_options.h"

namespace {
struct Flags {
    bool setupMgr, silent, noWaitDlg, launchDX9;
};

Flags Apply(const char* commandLine)
{
    CSetupOptions options("x");
    options.ApplyCommandLine(commandLine);
    return {options.m_bRunningAsSetupMgr, options.m_bSilent, options.m_bNoWaitDlg, options.m_bLaunchDX9};
}

std::vector<std::string> Split(const char* text)
{
    CTextStringList list;
    EXPECT_TRUE(SplitCommandLine(&list, text));
    std::vector<std::string> tokens;
    for (ItemNode* node = list.GetFirst(); node; node = node->pNext) {
        const CTextString* token = static_cast<const CTextString*>(node->pItem);
        tokens.push_back(token->IsEmpty() ? "" : token->GetData());
    }
    return tokens;
}
} // namespace

TEST(SplitCommandLine, BlanksQuotesAndEmptyTokens)
{
    EXPECT_EQ((std::vector<std::string>{"a", "", "b"}), Split("a  b"));
    EXPECT_EQ((std::vector<std::string>{"C:\\My Setup\\BCSetup.exe", "", "/Silent"}),
              Split("\"C:\\My Setup\\BCSetup.exe\" /Silent"));
    EXPECT_EQ((std::vector<std::string>{"a\tb"}), Split("a\tb"));
    EXPECT_EQ((std::vector<std::string>{""}), Split(""));
    EXPECT_EQ((std::vector<std::string>{"unterminated quote"}), Split("\"unterminated quote"));
    EXPECT_EQ((std::vector<std::string>{"a", ""}), Split("a "));
    CTextStringList list;
    EXPECT_FALSE(SplitCommandLine(nullptr, "a"));
    EXPECT_FALSE(SplitCommandLine(&list, nullptr));
}

TEST(ParseCommandLine, PrefixesInAnyMixAndCase)
{
    Flags f = Apply("setup.exe /Silent -NoWaitDlg --LaunchDX9 /-runningassetupmgr");
    EXPECT_TRUE(f.silent);
    EXPECT_TRUE(f.noWaitDlg);
    EXPECT_TRUE(f.launchDX9);
    EXPECT_TRUE(f.setupMgr);
    EXPECT_TRUE(Apply("setup.exe /silent").silent);
    EXPECT_TRUE(Apply("setup.exe /SILENT /silent").silent);
}

TEST(ParseCommandLine, NearMissesSetNothing)
{
    for (const char* line : {"setup.exe Silent", "setup.exe /Silent:1", "setup.exe /SilentX", "setup.exe /",
                             "setup.exe /Unknown -x", "/Silent", "setup.exe \"/Sil ent\""}) {
        Flags f = Apply(line);
        EXPECT_FALSE(f.silent || f.noWaitDlg || f.launchDX9 || f.setupMgr) << line;
    }
}

// The log switch alone, or with its file after '=' (in quotes when it holds blanks).
TEST(ParseCommandLine, LogWithAndWithoutItsFile)
{
    struct Case {
        const char* line;
        bool log;
        const char* path;
    };
    for (const Case& c : {Case{"setup.exe /Log", true, ""}, Case{"setup.exe --log", true, ""},
                          Case{"setup.exe -LOG=C:\\x.log /Silent", true, "C:\\x.log"},
                          Case{"setup.exe \"/Log=C:\\My Logs\\a=b.log\" /Log=", true, ""},
                          Case{"setup.exe /log=D:\\setup.log /LOG", true, "D:\\setup.log"},
                          Case{"setup.exe /LogX /Log:C:\\x.log Log=C:\\x.log /Lo", false, ""}}) {
        CSetupOptions options("x");
        options.ApplyCommandLine(c.line);
        EXPECT_EQ(c.log, options.m_bLog) << c.line;
        EXPECT_EQ(std::string(c.path), options.m_strLogPath.IsEmpty() ? "" : options.m_strLogPath.GetData()) << c.line;
    }
    CSetupOptions quoted("x");
    quoted.ApplyCommandLine("setup.exe \"/Log=C:\\My Logs\\a=b.log\"");
    EXPECT_STREQ("C:\\My Logs\\a=b.log", quoted.m_strLogPath.GetData());
}

TEST(ParseCommandLine, QuotedProgramPathWithBlanks)
{
    Flags f = Apply("\"C:\\Program Files\\Setup\\BCSetup.exe\" /Silent /NoWaitDlg");
    EXPECT_TRUE(f.silent);
    EXPECT_TRUE(f.noWaitDlg);
}

TEST(ParseCommandLine, HugeAndOddLinesDoNotCrash)
{
    std::string huge = "setup.exe";
    for (int i = 0; i < 20000; ++i)
        huge += " /x\"";
    huge += " /Silent";
    Apply(huge.c_str());
    std::string blanks = "setup.exe" + std::string(100000, ' ') + "/Silent";
    EXPECT_TRUE(Apply(blanks.c_str()).silent);
    Apply("\"\"\"\"\"");
    Apply("\"");
    Apply("-");
}

TEST(ParseCommandLine, ScansTheProcessCommandLineOnlyWhenTheTailIsNotEmpty)
{
    // This test runs with --NoWaitDlg on its own command line.
    CSetupOptions none("");
    EXPECT_FALSE(none.ParseCommandLine());
    EXPECT_FALSE(none.m_bNoWaitDlg);

    CSetupOptions some("--NoWaitDlg");
    EXPECT_TRUE(some.ParseCommandLine());
    EXPECT_TRUE(some.m_bNoWaitDlg);
    EXPECT_FALSE(some.m_bSilent);
}

// Run by setup_options_turkish_test under a Turkish user locale, where a
// locale-aware comparison would tell the dotted and dotless I apart.
TEST(TurkishLocale, SwitchNamesIgnoreCaseTheAsciiWay)
{
    ASSERT_EQ(LANG_TURKISH, PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID()))) << "not run under Turkish";
    SetThreadLocale(MAKELCID(MAKELANGID(LANG_TURKISH, SUBLANG_TURKISH_TURKEY), SORT_DEFAULT));
    for (const char* line : {"setup.exe /SILENT /NOWAITDLG /RUNNINGASSETUPMGR /LAUNCHDX9",
                             "setup.exe /silent /nowaitdlg /runningassetupmgr /launchdx9"}) {
        Flags f = Apply(line);
        EXPECT_TRUE(f.silent && f.noWaitDlg && f.launchDX9 && f.setupMgr) << line;
    }
    // The Turkish capital dotted I and small dotless i (code page 1254) are
    // other letters than the switches' I and i.
    Flags f = Apply("setup.exe /S\xDDLENT /NoWa\xFDtDlg /Runn\xDDngAsSetupMgr");
    EXPECT_FALSE(f.silent || f.noWaitDlg || f.setupMgr);
}
