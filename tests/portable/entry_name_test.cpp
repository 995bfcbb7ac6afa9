// Which entry names the unpacker accepts: bare file names only.
#include <gtest/gtest.h>

#include <string>

#include "package/portable/entry_name.h"

namespace {

bool Accepted(const std::string& name, LeadBytePredicate isLeadByte = NoLeadBytes)
{
    std::string field(name);
    field.resize(264, '\0');
    return IsBareEntryName(field.data(), field.size(), isLeadByte);
}

TEST(EntryName, AcceptsBareFileNames)
{
    for (const char* name : {"setup.exe", "setup.skin", "engine32.cab", "_ISRES1033.DLL", "0x0411.ini", "a",
                             "CONSOLE.txt", "COM10", "LPTX.dat", "COM\xB4", "nul1", ".hidden", " lead blank", "x y.z"})
        EXPECT_TRUE(Accepted(name)) << name;
    EXPECT_TRUE(Accepted(std::string(263, 'n')));
}

TEST(EntryName, RefusesFolderPartsDrivesAndParents)
{
    for (const char* name : {"", ".", "..", "...", "a\\b", "\\abs", "a/b", "/abs", "C:x", "C:\\x", "x::$DATA", "..\\up",
                             "../up", "\\\\server\\share\\x"})
        EXPECT_FALSE(Accepted(name)) << name;
}

TEST(EntryName, RefusesNamesWindowsWouldAlter)
{
    for (const char* name : {"name.", "name ", "a. ", "wild*.txt", "q?.txt", "a<b", "a>b", "a|b", "a\"b", "tab\there"})
        EXPECT_FALSE(Accepted(name)) << name;
}

TEST(EntryName, RefusesDeviceNamesWithAnyExtensionOrCase)
{
    for (const char* name :
         {"CON", "con", "Prn", "AUX", "NUL", "nul.txt", "NUL .txt", "COM1", "com9.log", "LPT1", "lpt9.x.y", "CONIN$",
          "conout$", "COM0", "lpt0.dat", "COM\xB9", "com\xB2.txt", "LPT\xB3", "Lpt\xB9 .x"})
        EXPECT_FALSE(Accepted(name)) << name;
}

// An entry of the package file's own name would overwrite the package while
// it is being unpacked.
TEST(EntryName, RefusesThePackageFilesOwnName)
{
    for (const char* name : {"BCSetup_IS.bin", "bcsetup_is.bin", "BCSETUP_IS.BIN"})
        EXPECT_FALSE(Accepted(name)) << name;
    for (const char* name : {"BCSetup_IS.bin2", "BCSetup_IS", "xBCSetup_IS.bin"})
        EXPECT_TRUE(Accepted(name)) << name;
}

TEST(EntryName, RefusesNameWithoutTerminatorInField)
{
    std::string field(264, 'n');
    EXPECT_FALSE(IsBareEntryName(field.data(), field.size(), NoLeadBytes));
}

TEST(EntryName, WalksDoubleByteCharactersAsUnits)
{
    // 0x95 0x5C is one Shift-JIS character whose second byte is a backslash.
    const std::string kanji = "\x95\x5C";
    EXPECT_TRUE(Accepted(kanji + ".txt", IsShiftJisLeadByte));
    EXPECT_TRUE(Accepted("a" + kanji, IsShiftJisLeadByte));
    EXPECT_FALSE(Accepted(kanji + ".txt", NoLeadBytes));
    // A lead byte whose second half is missing, and a real backslash after a character.
    EXPECT_FALSE(Accepted("abc\x95", IsShiftJisLeadByte));
    EXPECT_FALSE(Accepted(kanji + "\\x", IsShiftJisLeadByte));
    // The ends of both lead-byte ranges, and the bytes just outside them,
    // before a 0x5C: one character, or a byte and a backslash.
    for (unsigned char lead : {0x81, 0x9F, 0xE0, 0xFC}) {
        EXPECT_TRUE(IsShiftJisLeadByte(lead)) << int{lead};
        EXPECT_TRUE(Accepted(std::string{static_cast<char>(lead), '\x5C'} + ".txt", IsShiftJisLeadByte)) << int{lead};
    }
    for (unsigned char single : {0x80, 0xA0, 0xDF, 0xFD}) {
        EXPECT_FALSE(IsShiftJisLeadByte(single)) << int{single};
        EXPECT_FALSE(Accepted(std::string{static_cast<char>(single), '\x5C'} + ".txt", IsShiftJisLeadByte))
            << int{single};
    }
    // A lead byte may not swallow a separator, a dot or a blank.
    for (const char* pair : {"\x81/x", "\x81:x", "\x81.", "\x81 ", "x\x81\x01"})
        EXPECT_FALSE(Accepted(pair, IsShiftJisLeadByte)) << pair;
}

} // namespace
