// Tokenize, SplitPath and the double-byte rules. The double-byte cases run
// where the ANSI code page is 932 (the Japanese run of the suite).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/text_string.h"

namespace {
bool IsCodePage932()
{
    return GetACP() == 932;
}

// 0x95 0x5C is a kanji whose trail byte is the backslash byte.
const char kKanjiWith5C[] = "\x95\x5C";
} // namespace

TEST(Tokenize, WalksThePathsFolders)
{
    CTextString path("C:\\Program Files\\App");
    EXPECT_EQ(nullptr, path.Tokenize(nullptr, -1)); // rewind
    EXPECT_STREQ("C:", path.Tokenize("\\", -1));
    EXPECT_STREQ("Program Files", path.Tokenize("\\", -1));
    EXPECT_STREQ("App", path.Tokenize("\\", -1));
    EXPECT_EQ(nullptr, path.Tokenize("\\", -1));
    EXPECT_STREQ("Program Files", path.Tokenize("\\", 2));
    EXPECT_STREQ("App", path.Tokenize("\\", -1)); // the walk goes on from field 2
}

TEST(Tokenize, EmptyFieldsAndTheEnd)
{
    CTextString doubled("a\\\\b");
    doubled.Tokenize(nullptr, -1);
    EXPECT_STREQ("a", doubled.Tokenize("\\", -1));
    EXPECT_STREQ("", doubled.Tokenize("\\", -1));
    EXPECT_STREQ("b", doubled.Tokenize("\\", -1));
    EXPECT_EQ(nullptr, doubled.Tokenize("\\", -1));

    CTextString trailing("a\\");
    trailing.Tokenize(nullptr, -1);
    EXPECT_STREQ("a", trailing.Tokenize("\\", -1));
    EXPECT_EQ(nullptr, trailing.Tokenize("\\", -1));

    CTextString beyond("a\\b");
    EXPECT_STREQ("", beyond.Tokenize("\\", 7));
    EXPECT_EQ(nullptr, beyond.Tokenize("\\", -1));
}

TEST(Tokenize, LongFieldIsCutAndTheWalkGoesOn)
{
    std::string text = std::string(1500, 'x') + "\\next";
    CTextString path(text.c_str());
    path.Tokenize(nullptr, -1);
    char* first = path.Tokenize("\\", -1);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(1024u, std::strlen(first));
    EXPECT_STREQ("next", path.Tokenize("\\", -1));
}

TEST(Tokenize, GetCopyBetweenCallsDoesNotDisturbTheWalk)
{
    CTextString path("a\\b\\c");
    path.Tokenize(nullptr, -1);
    EXPECT_STREQ("a", path.Tokenize("\\", -1));
    EXPECT_STREQ("a\\b\\c", path.GetCopy());
    EXPECT_STREQ("b", path.Tokenize("\\", -1));
}

TEST(SplitPath, FolderNameAndExtension)
{
    CTextString folder, name, extension;
    ASSERT_TRUE(CTextString::SplitPath(CTextString("D:\\setup\\data.cab"), &folder, &name, &extension));
    EXPECT_STREQ("D:\\setup\\", folder.GetData());
    EXPECT_STREQ("data", name.GetData());
    EXPECT_STREQ(".cab", extension.GetData());

    ASSERT_TRUE(CTextString::SplitPath(CTextString("readme"), &folder, &name, &extension));
    EXPECT_TRUE(folder.IsEmpty());
    EXPECT_STREQ("readme", name.GetData());
    EXPECT_TRUE(extension.IsEmpty());

    ASSERT_TRUE(CTextString::SplitPath(CTextString("C:\\Program Files\\App\\setup.ini"), &folder, nullptr, nullptr));
    EXPECT_STREQ("C:\\Program Files\\App\\", folder.GetData());

    CTextString untouched("same");
    EXPECT_FALSE(CTextString::SplitPath(CTextString(""), &untouched, nullptr, nullptr));
    EXPECT_STREQ("same", untouched.GetData());
}

TEST(DoubleByte, TrailByte5CIsNotABackslash)
{
    if (!IsCodePage932())
        GTEST_SKIP() << "needs code page 932";
    std::string folder = std::string("C:\\") + kKanjiWith5C;
    CTextString text(folder.c_str());
    EXPECT_STREQ((folder + "\\").c_str(), text.AddBackslash());
    EXPECT_STREQ(folder.c_str(), text.RemoveBackslash());
    EXPECT_STREQ(folder.c_str(), text.RemoveBackslash()); // the trail byte stays
}

TEST(DoubleByte, FolderNameWithTrailByte5CIsOneField)
{
    if (!IsCodePage932())
        GTEST_SKIP() << "needs code page 932";
    std::string name = std::string(kKanjiWith5C) + "\x83\x5C" + "x"; // two kanji with trail 0x5C, then x
    std::string path = "C:\\" + name + "\\y";
    CTextString text(path.c_str());
    text.Tokenize(nullptr, -1);
    EXPECT_STREQ("C:", text.Tokenize("\\", -1));
    EXPECT_STREQ(name.c_str(), text.Tokenize("\\", -1));
    EXPECT_STREQ("y", text.Tokenize("\\", -1));

    CTextString folder, file;
    ASSERT_TRUE(
        CTextString::SplitPath(CTextString((std::string("C:\\") + kKanjiWith5C).c_str()), &folder, &file, nullptr));
    EXPECT_STREQ("C:\\", folder.GetData());
    EXPECT_STREQ(kKanjiWith5C, file.GetData());
}

TEST(DoubleByte, CopiesNeverSplitACharacter)
{
    if (!IsCodePage932())
        GTEST_SKIP() << "needs code page 932";
    // The fifth byte is a lead byte: length 5 copies only 4.
    CTextString cut("abcd\x95\x5C", 5);
    EXPECT_STREQ("abcd", cut.GetData());

    // A string ending in a lone lead byte: Append overwrites it.
    CTextString lone("abX");
    lone.GetData()[2] = '\x95';
    lone.Append("cd");
    EXPECT_STREQ("abcd", lone.GetData());

    // Append with a count that would end inside a character stops before it.
    CTextString appended("x");
    appended.Append("y\x95\x5Cz", 2);
    EXPECT_STREQ("xy", appended.GetData());

    char out[4];
    CTextString text("ab\x95\x5C");
    EXPECT_EQ(2u, text.CopyTo(out, 4));
    EXPECT_STREQ("ab", out);
}
