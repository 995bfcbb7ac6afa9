// The diagnostic method: on the test system, and against a container of
// properties made up by the test.
#include <windows.h>
#include <dxdiag.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "dxver/dx_version_steps.h"

namespace {
// A system-information container that answers GetProp from a table.
class CPropertyTable : public IDxDiagContainer {
public:
    std::map<std::wstring, VARIANT> m_Properties;

    ~CPropertyTable()
    {
        for (auto& entry : m_Properties)
            VariantClear(&entry.second);
    }
    void SetNumber(const wchar_t* name, DWORD value)
    {
        VARIANT& v = Slot(name);
        v.vt = VT_UI4;
        v.ulVal = value;
    }
    void SetText(const wchar_t* name, const wchar_t* text)
    {
        VARIANT& v = Slot(name);
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(text);
    }

    // The property's place, emptied of what it held.
    VARIANT& Slot(const wchar_t* name)
    {
        VARIANT& v = m_Properties[name];
        VariantClear(&v);
        return v;
    }

    STDMETHODIMP QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetNumberOfChildContainers(DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP EnumChildContainerNames(DWORD, LPWSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetChildContainer(LPCWSTR, IDxDiagContainer**) override { return E_NOTIMPL; }
    STDMETHODIMP GetNumberOfProps(DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP EnumPropNames(DWORD, LPWSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetProp(LPCWSTR name, VARIANT* value) override
    {
        auto found = m_Properties.find(name);
        if (found == m_Properties.end())
            return E_INVALIDARG;
        return VariantCopy(value, &found->second);
    }
};

TEST(DXDiagnostics, TestSystemReportsNineZeroC)
{
    DWORD major = 0;
    DWORD minor = 77;
    char letter = '?';
    ASSERT_EQ(S_OK, GetDXVersionFromDiagnostics(&major, &minor, &letter));
    std::printf("diagnostic provider: %lu.%lu letter '%c'\n", static_cast<unsigned long>(major),
                static_cast<unsigned long>(minor), letter);
    EXPECT_EQ(9u, major);
    EXPECT_EQ(0u, minor);
    EXPECT_EQ('c', letter);
    EXPECT_EQ(S_OK, GetDXVersionFromDiagnostics(nullptr, nullptr, nullptr));
}

TEST(DXDiagnostics, AllThreePropertiesAreRead)
{
    CPropertyTable table;
    table.SetNumber(L"dwDirectXVersionMajor", 8);
    table.SetNumber(L"dwDirectXVersionMinor", 1);
    table.SetText(L"szDirectXVersionLetter", L"B");
    DWORD major = 0;
    DWORD minor = 0;
    char letter = '?';
    ASSERT_EQ(S_OK, ReadDXVersionProperties(&table, &major, &minor, &letter));
    EXPECT_EQ(8u, major);
    EXPECT_EQ(1u, minor);
    EXPECT_EQ('B', letter);
}

TEST(DXDiagnostics, MissingLetterFails)
{
    CPropertyTable table;
    table.SetNumber(L"dwDirectXVersionMajor", 9);
    table.SetNumber(L"dwDirectXVersionMinor", 0);
    DWORD major = 0;
    EXPECT_EQ(E_FAIL, ReadDXVersionProperties(&table, &major, nullptr, nullptr));
}

TEST(DXDiagnostics, WrongTypesFail)
{
    CPropertyTable table;
    table.SetText(L"dwDirectXVersionMajor", L"9");
    table.SetNumber(L"dwDirectXVersionMinor", 0);
    table.SetText(L"szDirectXVersionLetter", L"c");
    EXPECT_EQ(E_FAIL, ReadDXVersionProperties(&table, nullptr, nullptr, nullptr));
    table.SetNumber(L"dwDirectXVersionMajor", 9);
    table.SetNumber(L"szDirectXVersionLetter", 3);
    EXPECT_EQ(E_FAIL, ReadDXVersionProperties(&table, nullptr, nullptr, nullptr));
}

TEST(DXDiagnostics, EmptyLetterIsASpace)
{
    CPropertyTable table;
    table.SetNumber(L"dwDirectXVersionMajor", 9);
    table.SetNumber(L"dwDirectXVersionMinor", 0);
    table.SetText(L"szDirectXVersionLetter", L"");
    char letter = '?';
    ASSERT_EQ(S_OK, ReadDXVersionProperties(&table, nullptr, nullptr, &letter));
    EXPECT_EQ(' ', letter);
    EXPECT_EQ(E_FAIL, ReadDXVersionProperties(nullptr, nullptr, nullptr, &letter));
}
} // namespace
