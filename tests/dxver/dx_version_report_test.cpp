// GetDXVersion's outputs: the packed value and the bounded text.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "dxver/dx_version.h"
#include "dxver/dx_version_steps.h"
#include "tests/support/child_process.h"
#include "tests/support/test_paths.h"

namespace {
// The packed value (major, minor, letter's place in the alphabet) and the
// text: an upper-case letter is lowered; a letter outside the alphabet counts
// zero in the value but stays in the text; a blank adds nothing.
TEST(DXVersionReport, PackedValueAndText)
{
    const struct {
        DWORD major, minor;
        char letter;
        DWORD packed;
        const char* text;
    } cases[] = {{9, 0, 'c', 0x00090003u, "9.0c"},
                 {8, 1, 'b', 0x00080102u, "8.1b"},
                 {8, 0, ' ', 0x00080000u, "8.0"},
                 {9, 0, 'C', 0x00090003u, "9.0c"},
                 {9, 0, '1', 0x00090000u, "9.01"}};
    for (const auto& c : cases) {
        DWORD packed = 0;
        char text[24] = "Unknown Version";
        ReportDXVersion(c.major, c.minor, c.letter, &packed, text, sizeof(text));
        EXPECT_EQ(c.packed, packed) << c.text;
        EXPECT_STREQ(c.text, text);
    }
}

TEST(DXVersionReport, TextIsCutAndTerminatedInItsLastByte)
{
    char text[8];
    std::memset(text, 'x', sizeof(text));
    ReportDXVersion(9, 0, 'c', nullptr, text, 4);
    EXPECT_STREQ("9.0", text);
    EXPECT_EQ('x', text[4]);
    std::memset(text, 'x', sizeof(text));
    ReportDXVersion(9, 0, 'c', nullptr, text, 1);
    EXPECT_EQ(0, text[0]);
    EXPECT_EQ('x', text[1]);
    ReportDXVersion(9, 0, 'c', nullptr, text, 0);
    EXPECT_EQ(0, text[0]);
    EXPECT_EQ('x', text[1]);
}

// The test system (Wine) reports DirectX 9.0c through its diagnostic provider.
TEST(GetDXVersion, ReportsTheInstalledVersion)
{
    DWORD packed = 0;
    char text[24] = "Unknown Version";
    ASSERT_EQ(S_OK, GetDXVersion(&packed, text, sizeof(text)));
    std::printf("GetDXVersion: 0x%08lx \"%s\"\n", static_cast<unsigned long>(packed), text);
    EXPECT_EQ(0x00090003u, packed);
    EXPECT_STREQ("9.0c", text);
}

TEST(GetDXVersion, NullOutputsStillDetect)
{
    EXPECT_EQ(S_OK, GetDXVersion(nullptr, nullptr, 24));
    DWORD packed = 0;
    EXPECT_EQ(S_OK, GetDXVersion(&packed, nullptr, 0));
    EXPECT_EQ(0x00090003u, packed);
    char text[4];
    EXPECT_EQ(S_OK, GetDXVersion(nullptr, text, sizeof(text)));
    EXPECT_STREQ("9.0", text);
}

// Other programs find the function by name in the program that exports it.
TEST(GetDXVersion, IsExportedUnderItsOwnName)
{
    typedef HRESULT(__cdecl * GetDXVersionFn)(DWORD*, char*, int);
    GetDXVersionFn exported = reinterpret_cast<GetDXVersionFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA(nullptr), "GetDXVersion")));
    ASSERT_NE(nullptr, exported);
    DWORD packed = 0;
    EXPECT_EQ(S_OK, exported(&packed, nullptr, 0));
    EXPECT_EQ(0x00090003u, packed);
}

// Another program loads the setup itself as a module, where none of the
// setup's start-up code runs, and asks it: LoadLibrary and GetProcAddress,
// nothing else. (Wine binds no import of a program loaded so.)
TEST(GetDXVersion, AnswersAProgramThatLoadsTheSetupAsAModule)
{
    HMODULE setup = LoadLibraryW(testing_support::Widen(testing_support::BinPath("BCSetup.exe")).c_str());
    ASSERT_NE(nullptr, setup) << GetLastError();
    typedef HRESULT(__cdecl * GetDXVersionFn)(DWORD*, char*, int);
    GetDXVersionFn exported =
        reinterpret_cast<GetDXVersionFn>(reinterpret_cast<void (*)()>(GetProcAddress(setup, "GetDXVersion")));
    ASSERT_NE(nullptr, exported);
    DWORD packed = 0;
    char text[24] = "Unknown Version";
    EXPECT_EQ(S_OK, exported(&packed, text, sizeof(text)));
    std::printf("GetDXVersion of BCSetup.exe loaded as a module: 0x%08lx \"%s\"\n", static_cast<unsigned long>(packed),
                text);
    EXPECT_EQ(0x00090003u, packed);
    EXPECT_STREQ("9.0c", text);
    FreeLibrary(setup);
}
} // namespace
