#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/text_string.h"
#include "resource_ids.h"
#include "tests/support/ansi_text.h"
#include "tests/support/message_texts.h"

TEST(TextString, DefaultStringHasNoStorage)
{
    CTextString text;
    EXPECT_EQ(nullptr, text.GetData());
    EXPECT_EQ(0, text.GetLength());
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(nullptr, text.AddBackslash());
    EXPECT_EQ(nullptr, text.GetData());
    EXPECT_EQ(nullptr, text.Tokenize("\\", 1));
    char out[4] = "xyz";
    EXPECT_EQ(0u, text.CopyTo(out, sizeof(out)));
    EXPECT_STREQ("", out);
    EXPECT_STREQ("", text.GetCopy());
}

TEST(TextString, StorageGrowsInStepsOf256AndIsReused)
{
    CTextString text;
    text.Assign("abc");
    EXPECT_EQ(259, text.GetCapacity());
    char* block = text.GetData();
    text.Assign(std::string(258, 'a').c_str());
    EXPECT_EQ(block, text.GetData());
    EXPECT_EQ(259, text.GetCapacity());
    text.Assign(std::string(259, 'b').c_str());
    EXPECT_EQ(515, text.GetCapacity());
    EXPECT_EQ(259, text.GetLength());
}

TEST(TextString, AssignNullWithLengthGivesEmptyTextWithRoom)
{
    CTextString text;
    ASSERT_NE(nullptr, text.Assign(nullptr, 260));
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_GE(text.GetCapacity(), 261);
}

TEST(TextString, AssignWithLengthCutsAndAppendMatchesAssignOnEmpty)
{
    CTextString cut("C:\\Program Files", 2);
    EXPECT_STREQ("C:", cut.GetData());
    CTextString assigned, appended;
    assigned.Assign("setup.exe");
    appended.Append("setup.exe");
    EXPECT_STREQ(assigned.GetData(), appended.GetData());
    appended.Append("\\more", 3);
    EXPECT_STREQ("setup.exe\\mo", appended.GetData());
    appended.Append(nullptr);
    EXPECT_STREQ("setup.exe\\mo", appended.GetData());
    appended.Append("re", 0); // below 1 means the whole text
    EXPECT_STREQ("setup.exe\\more", appended.GetData());
}

TEST(TextString, CopiesAreIndependent)
{
    CTextString a("one");
    CTextString b(a);
    CTextString c;
    c = a;
    a.Assign("two");
    EXPECT_STREQ("one", b.GetData());
    EXPECT_STREQ("one", c.GetData());
    c = c;
    EXPECT_STREQ("one", c.GetData());
    c.Assign(c.GetData() + 1); // a suffix of its own text
    EXPECT_STREQ("ne", c.GetData());
}

TEST(TextString, FormatJoinsAndCutsAt1023Characters)
{
    CTextString text("old");
    EXPECT_STREQ("C:\\Temp\\setup.exe", text.Format("%s%s", "C:\\Temp\\", "setup.exe"));
    EXPECT_EQ(nullptr, text.Format(nullptr));
    EXPECT_STREQ("C:\\Temp\\setup.exe", text.GetData());
    std::string big(3000, 'x');
    ASSERT_NE(nullptr, text.Format("%s", big.c_str()));
    EXPECT_EQ(1023, text.GetLength());
    EXPECT_STREQ("id 42 ff", text.Format("id %d %x", 42, 255));
}

TEST(TextString, LoadTextReadsTheStringTable)
{
    CTextString text;
    ASSERT_NE(nullptr, text.LoadText(GetModuleHandleA(nullptr), IDS_SETUP_COMPLETE));
    EXPECT_EQ(testing_support::ToAnsi(testing_support::MessageText(IDS_SETUP_COMPLETE)), text.GetData());
    text.Assign("keep?");
    ASSERT_NE(nullptr, text.LoadText(GetModuleHandleA(nullptr), 4242));
    EXPECT_TRUE(text.IsEmpty());
}

TEST(TextString, BackslashesAtTheEnd)
{
    CTextString text("C:\\Temp");
    EXPECT_STREQ("C:\\Temp\\", text.AddBackslash());
    EXPECT_STREQ("C:\\Temp\\", text.AddBackslash());
    text.Assign("C:\\Temp\\\\");
    EXPECT_STREQ("C:\\Temp\\", text.RemoveBackslash());
    EXPECT_STREQ("C:\\Temp", text.RemoveBackslash());
    EXPECT_STREQ("C:\\Temp", text.RemoveBackslash());
    CTextString empty("");
    EXPECT_EQ(nullptr, empty.AddBackslash());
    EXPECT_STREQ("", empty.GetData());
}

TEST(TextString, CopyToIsBounded)
{
    CTextString text("abcdef");
    char out[16];
    std::memset(out, '#', sizeof(out));
    EXPECT_EQ(3u, text.CopyTo(out, 4));
    EXPECT_STREQ("abc", out);
    EXPECT_EQ(6u, text.CopyTo(out, static_cast<unsigned>(-1)));
    EXPECT_STREQ("abcdef", out);
    EXPECT_EQ(0u, text.CopyTo(nullptr, 16));
    EXPECT_EQ(6u, text.CopyTo(out, 16));
}
