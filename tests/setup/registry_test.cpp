// Registry values of the product and setup manager keys, read, written and
// deleted in the test prefix's real registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "setup/reg_location.h"
#include "setup/registry.h"

namespace {
// Plants values with the plain API and removes both keys around every test.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveKeys(); }
    void TearDown() override { RemoveKeys(); }

    static void RemoveKeys()
    {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, PRODUCT_KEY);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, SETUP_MANAGER_KEY);
    }
    static void Plant(const char* subkey, const char* name, DWORD type, const void* data, DWORD size)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size));
        RegCloseKey(key);
    }
    static void PlantText(const char* name, const std::string& text)
    {
        Plant(PRODUCT_KEY, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
    static bool KeyExists(const char* subkey)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    // The stored value's type and bytes, read with the plain API.
    static bool Stored(const char* subkey, const char* name, DWORD* type, std::string* data)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        char buffer[512];
        DWORD size = sizeof(buffer);
        LONG result = RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        if (result != ERROR_SUCCESS)
            return false;
        data->assign(buffer, size);
        return true;
    }

    CRegLocation Product()
    {
        CRegLocation location;
        location.Set(HKEY_LOCAL_MACHINE, PRODUCT_KEY);
        return location;
    }
};

TEST_F(RegistryTest, MissingKeyOrValueGivesTheDefault)
{
    CRegLocation product = Product();
    CTextString text;
    product.ReadString(text, "ProgramsPath", "C:\\Default\\");
    EXPECT_STREQ("C:\\Default\\", text.GetData());
    EXPECT_FALSE(product.ReadFlag("RequireReboot", 0));
    EXPECT_TRUE(product.ReadFlag("RequireReboot", 1));
    DWORD value = 0;
    EXPECT_FALSE(RegReadDword(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "CANCELED", &value, 7));
    EXPECT_EQ(7u, value);

    PlantText("Path", "C:\\Somewhere\\");
    product.ReadString(text, "ProgramsPath", "");
    EXPECT_STREQ("", text.GetData());
    EXPECT_FALSE(product.ReadFlag("CANCELED", 0));
    product.ReadString(text, "Path", "");
    EXPECT_STREQ("C:\\Somewhere\\", text.GetData());
}

TEST_F(RegistryTest, LongStringsCountAsMissing)
{
    CRegLocation product = Product();
    CTextString text;
    PlantText("ProgramsPath", std::string(300, 'p'));
    product.ReadString(text, "ProgramsPath", "");
    EXPECT_STREQ("", text.GetData());
    // 255 bytes with the terminator is the most that is read.
    PlantText("ProgramsPath", std::string(254, 'q'));
    product.ReadString(text, "ProgramsPath", "");
    EXPECT_EQ(std::string(254, 'q'), text.GetData());
    PlantText("ProgramsPath", std::string(255, 'r'));
    product.ReadString(text, "ProgramsPath", "default");
    EXPECT_STREQ("default", text.GetData());
}

TEST_F(RegistryTest, UnterminatedStringsComeBackTerminated)
{
    // One byte more than is planted, and not zero: given a string whose last
    // counted byte is not zero, RegSetValueExA looks at the byte after it and,
    // if that one is zero, stores the terminator too.
    char data[256];
    std::memset(data, 's', sizeof(data));
    for (DWORD type : {DWORD(REG_SZ), DWORD(REG_BINARY)}) {
        SCOPED_TRACE(type);
        for (DWORD size : {DWORD(10), DWORD(255)}) {
            Plant(PRODUCT_KEY, "ProgramsPath", type, data, size);
            char out[300];
            std::memset(out, 'x', sizeof(out));
            RegReadString(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "ProgramsPath", "", out, sizeof(out));
            ASSERT_NE(nullptr, std::memchr(out, 0, REG_STRING_LIMIT + 1));
            EXPECT_EQ(std::string(size, 's'), out);
        }
    }
}

TEST_F(RegistryTest, OutputBufferIsNeverOverrun)
{
    PlantText("ProgramsPath", "C:\\Program Files\\Korvane\\Brixelcast\\");
    char out[12];
    std::memset(out, 'x', sizeof(out));
    EXPECT_FALSE(RegReadString(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "ProgramsPath", "C:\\Default\\Folder", out, 8));
    EXPECT_STREQ("C:\\Defa", out);
    EXPECT_EQ('x', out[8]);
    EXPECT_FALSE(RegReadString(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "ProgramsPath", "", out, 1));
    EXPECT_EQ(0, out[0]);
    // A value exactly as long as the buffer leaves no room for its terminator;
    // one byte shorter fits.
    PlantText("ProgramsPath", "C:\\Apps\\");
    std::memset(out, 'x', sizeof(out));
    EXPECT_FALSE(RegReadString(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "ProgramsPath", "D", out, 8));
    EXPECT_STREQ("D", out);
    EXPECT_EQ('x', out[8]);
    std::memset(out, 'x', sizeof(out));
    EXPECT_TRUE(RegReadString(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "ProgramsPath", "D", out, 9));
    EXPECT_STREQ("C:\\Apps\\", out);
    EXPECT_EQ('x', out[9]);
}

TEST_F(RegistryTest, FlagsReadTheFirstFourBytesOfAnyType)
{
    CRegLocation product = Product();
    PlantText("RequireReboot", "1");
    EXPECT_TRUE(product.ReadFlag("RequireReboot", 0));
    PlantText("RequireReboot", "");
    EXPECT_FALSE(product.ReadFlag("RequireReboot", 1));
    const DWORD zero = 0;
    Plant(PRODUCT_KEY, "CANCELED", REG_DWORD, &zero, sizeof(zero));
    EXPECT_FALSE(product.ReadFlag("CANCELED", 1));
    const BYTE one = 1;
    Plant(PRODUCT_KEY, "CANCELED", REG_BINARY, &one, 1);
    EXPECT_TRUE(product.ReadFlag("CANCELED", 0));
    DWORD value = 0;
    EXPECT_TRUE(RegReadDword(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "CANCELED", &value, 0));
    EXPECT_EQ(1u, value);
    const BYTE big[300] = {};
    Plant(PRODUCT_KEY, "CANCELED", REG_BINARY, big, sizeof(big));
    EXPECT_TRUE(product.ReadFlag("CANCELED", 1));
}

TEST_F(RegistryTest, DeletingFromAMissingKeyDoesNothing)
{
    CRegLocation manager;
    manager.Set(HKEY_LOCAL_MACHINE, SETUP_MANAGER_KEY);
    EXPECT_FALSE(manager.DeleteValue("Abort"));
    EXPECT_FALSE(KeyExists(SETUP_MANAGER_KEY));

    const DWORD one = 1;
    Plant(SETUP_MANAGER_KEY, "Abort", REG_DWORD, &one, sizeof(one));
    EXPECT_TRUE(manager.DeleteValue("Abort"));
    DWORD type = 0;
    std::string data;
    EXPECT_FALSE(Stored(SETUP_MANAGER_KEY, "Abort", &type, &data));
    EXPECT_FALSE(manager.DeleteValue("Abort"));
}

TEST_F(RegistryTest, WritingCreatesTheKey)
{
    CRegLocation manager;
    manager.Set(HKEY_LOCAL_MACHINE, SETUP_MANAGER_KEY);
    EXPECT_TRUE(RegWriteDword(manager.GetRoot(), manager.GetSubkey(), "RequireReboot", 1));
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(Stored(SETUP_MANAGER_KEY, "RequireReboot", &type, &data));
    EXPECT_EQ(DWORD(REG_DWORD), type);
    EXPECT_EQ(std::string("\x01\0\0\0", 4), data);

    CRegLocation product = Product();
    EXPECT_TRUE(product.WriteString("ProgramsPath", "C:\\Program Files\\Korvane\\Brixelcast\\"));
    ASSERT_TRUE(Stored(PRODUCT_KEY, "ProgramsPath", &type, &data));
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_EQ(std::string("C:\\Program Files\\Korvane\\Brixelcast\\", 37), data);
    CTextString text;
    product.ReadString(text, "ProgramsPath", "");
    EXPECT_STREQ("C:\\Program Files\\Korvane\\Brixelcast\\", text.GetData());
}

TEST_F(RegistryTest, WritesFailOnlyWhenTheKeyCannotBeMade)
{
    const HKEY noRoot = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x12345678));
    EXPECT_FALSE(RegWriteString(noRoot, "Software", "v", "x"));
    EXPECT_FALSE(RegWriteDword(noRoot, "Software", "v", 1));
}

TEST_F(RegistryTest, DoubleByteTextsSurviveTheRoundTrip)
{
    if (GetACP() != 932)
        GTEST_SKIP() << "needs code page 932";
    const char* folder = "C:\\\x95\x5C\\"; // "表" has the trail byte 0x5C
    CRegLocation product = Product();
    ASSERT_TRUE(product.WriteString("ProgramsPath", folder));
    CTextString text;
    product.ReadString(text, "ProgramsPath", "");
    EXPECT_STREQ(folder, text.GetData());
}
} // namespace
