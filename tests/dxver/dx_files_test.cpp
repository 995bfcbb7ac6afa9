// The file method against folders of test DLLs with chosen file versions.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <initializer_list>
#include <string>

#include "dxver/dx_version_steps.h"
#include "tests/support/test_paths.h"

namespace {
using testing_support::BinPath;

struct Found {
    DWORD major = 77;
    DWORD minor = 77;
    char letter = '?';
};

void ExpectVersion(const Found& found, DWORD major, DWORD minor, char letter)
{
    EXPECT_EQ(major, found.major);
    EXPECT_EQ(minor, found.minor);
    EXPECT_EQ(letter, found.letter);
}

class DXFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = testing_support::MakeScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override { testing_support::RemoveTree(m_folder); }

    // Puts the test DLL of that version into the folder as fileName.
    void Place(const char* fileName, const char* version)
    {
        std::string source = BinPath(std::string("dx_files\\") + version + ".dll");
        ASSERT_TRUE(CopyFileA(source.c_str(), (m_folder + fileName).c_str(), FALSE)) << source;
    }
    struct Step {
        const char* version;
        DWORD major, minor;
        char letter;
    };
    // Puts each version in turn into the folder as fileName and checks the result.
    void ExpectForEach(const char* fileName, std::initializer_list<Step> steps)
    {
        for (const Step& step : steps) {
            SCOPED_TRACE(step.version);
            Place(fileName, step.version);
            ExpectVersion(Detect(), step.major, step.minor, step.letter);
        }
    }
    Found Detect()
    {
        Found found;
        EXPECT_EQ(S_OK, GetDXVersionFromFilesIn(m_folder.c_str(), &found.major, &found.minor, &found.letter));
        return found;
    }

    std::string m_folder;
};

TEST_F(DXFilesTest, NoFilesGiveZero)
{
    ExpectVersion(Detect(), 0, 0, ' ');
}

TEST_F(DXFilesTest, FilesBelowEveryRuleGiveZero)
{
    Place("ddraw.dll", "4_2_0_94");
    Place("mpg2splt.ax", "6_3_1_884");
    ExpectVersion(Detect(), 0, 0, ' ');
}

TEST_F(DXFilesTest, D3d9DecidesWhateverElseIsThere)
{
    Place("d3d9.dll", "5_3_1_904");
    ExpectVersion(Detect(), 9, 0, ' ');
    Place("ddraw.dll", "4_8_0_400");
    Place("dinput.dll", "4_7_0_716");
    Place("dpnet.dll", "5_2_3677_134");
    ExpectVersion(Detect(), 9, 0, ' ');
}

TEST_F(DXFilesTest, UnreadableFilesAreSkipped)
{
    std::ofstream(m_folder + "d3d9.dll") << "no version here";
    Place("ddraw.dll", "4_6_0_318");
    ExpectVersion(Detect(), 6, 0, ' ');
}

TEST_F(DXFilesTest, DdrawAloneClimbsThroughTheEarlyRules)
{
    ExpectForEach("ddraw.dll", {{"4_2_0_95", 1, 0, ' '},
                                {"4_3_0_1096", 2, 0, ' '},
                                {"4_4_0_68", 3, 0, ' '},
                                {"4_5_0_155", 5, 0, ' '},
                                {"4_6_0_318", 6, 0, ' '},
                                {"4_6_0_436", 6, 1, ' '},
                                {"4_7_0_699", 6, 1, ' '},
                                {"4_7_0_700", 7, 0, ' '}});
}

TEST_F(DXFilesTest, LetterFilesOfTheEarlyVersions)
{
    Place("ddraw.dll", "4_4_0_68");
    Place("d3drg8x.dll", "4_4_0_70");
    ExpectVersion(Detect(), 3, 0, 'a');
    Place("ddraw.dll", "4_6_0_436");
    Place("dplayx.dll", "4_6_3_518");
    ExpectVersion(Detect(), 6, 1, 'a');
}

TEST_F(DXFilesTest, DdrawAndDinputGiveSevenA)
{
    Place("ddraw.dll", "4_7_0_700");
    Place("dinput.dll", "4_7_0_716");
    ExpectVersion(Detect(), 7, 0, 'a');
}

TEST_F(DXFilesTest, LaterRuleOverwritesTheLetterOfAnEarlierOne)
{
    Place("dinput.dll", "4_7_0_716");
    Place("ddraw.dll", "4_8_0_400");
    ExpectVersion(Detect(), 8, 0, ' ');
}

TEST_F(DXFilesTest, DdrawEightNeedsItsOwnMajorsThreshold)
{
    ExpectForEach("ddraw.dll", {{"5_1_2258_400", 8, 0, ' '},
                                // Above 4.8.0.400 as a whole, but a major 5 file must reach 5.1.2258.400.
                                {"5_1_2258_399", 7, 0, ' '},
                                // Neither major 4 nor 5: only the whole-version rules hold.
                                {"6_0_0_0", 7, 0, ' '}});
}

TEST_F(DXFilesTest, D3d8MajorFourAndFive)
{
    ExpectForEach("d3d8.dll", {{"4_8_1_881", 8, 1, ' '},
                               {"4_8_1_901", 8, 1, 'a'},
                               {"5_1_2600_881", 8, 1, ' '},
                               {"5_1_2600_900", 8, 1, ' '},
                               {"5_1_2600_901", 8, 1, 'a'},
                               // Any major 4 file from 4.8.1.901 on is 8.1a.
                               {"4_9_0_134", 8, 1, 'a'}});
}

TEST_F(DXFilesTest, Mpg2splitGivesEightOneB)
{
    Place("d3d8.dll", "5_1_2600_901");
    Place("mpg2splt.ax", "6_3_1_885");
    ExpectVersion(Detect(), 8, 1, 'b');
}

TEST_F(DXFilesTest, DpnetMajorFourAndFive)
{
    Place("mpg2splt.ax", "6_3_1_885");
    ExpectForEach(
        "dpnet.dll",
        {{"4_9_0_134", 8, 2, ' '}, {"5_2_3677_134", 8, 2, ' '}, {"5_2_3677_133", 8, 1, 'b'}, {"4_8_0_400", 8, 1, 'b'}});
}

TEST_F(DXFilesTest, FolderWithTrailingBackslashAndNullOutputs)
{
    Place("ddraw.dll", "4_7_0_700");
    DWORD major = 0;
    EXPECT_EQ(S_OK, GetDXVersionFromFilesIn(m_folder.c_str(), &major, nullptr, nullptr));
    EXPECT_EQ(7u, major);
    std::string withoutBackslash = m_folder.substr(0, m_folder.size() - 1);
    char letter = '?';
    EXPECT_EQ(S_OK, GetDXVersionFromFilesIn(withoutBackslash.c_str(), nullptr, nullptr, &letter));
    EXPECT_EQ(' ', letter);
}

TEST(FileVersionReader, ReadsTheFixedVersion)
{
    DWORD high = 0;
    DWORD low = 0;
    ASSERT_EQ(S_OK, ReadFileVersion(BinPath("dx_files\\5_1_2258_400.dll").c_str(), &high, &low));
    EXPECT_EQ(0x00050001u, high);
    EXPECT_EQ((2258u << 16) | 400u, low);
}

TEST(FileVersionReader, Failures)
{
    DWORD high = 0;
    DWORD low = 0;
    const std::string file = BinPath("dx_files\\4_2_0_95.dll");
    EXPECT_EQ(E_INVALIDARG, ReadFileVersion(nullptr, &high, &low));
    EXPECT_EQ(E_INVALIDARG, ReadFileVersion(file.c_str(), nullptr, &low));
    EXPECT_EQ(E_INVALIDARG, ReadFileVersion(file.c_str(), &high, nullptr));
    EXPECT_EQ(E_FAIL, ReadFileVersion(BinPath("dx_files\\missing.dll").c_str(), &high, &low));
}

TEST(FileVersionReader, SystemFolderOfTheTestSystemHasD3d9)
{
    Found found;
    EXPECT_EQ(S_OK, GetDXVersionFromFiles(&found.major, &found.minor, &found.letter));
    ExpectVersion(found, 9, 0, ' ');
}
} // namespace
