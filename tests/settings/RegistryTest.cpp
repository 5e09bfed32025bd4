#include "base/Exception.h"
#include "settings/Registry.h"

#include "SettingsTestSupport.h"
#include "support/TestSupport.h"

#include <algorithm>

namespace {

class Registry : public ::testing::Test {
protected:
  TTestRegistryKey FKey;
  TRegistry FReg{HKEY_CURRENT_USER, KEY_READ | KEY_WRITE};

  void SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(SetRawValue(FKey.Path(), name, type, std::string(static_cast<const char*>(data), size)), ERROR_SUCCESS);
  }
};

TEST_F(Registry, OpenWithoutCreateFailsForMissingKey) {
  EXPECT_FALSE(FReg.OpenKey(L"\\" + FKey.Path(), false));
  EXPECT_EQ(FReg.CurrentKey(), nullptr);
  EXPECT_TRUE(FReg.OpenKey(L"\\" + FKey.Path() + L"\\", true));
  EXPECT_NE(FReg.CurrentKey(), nullptr);
  TRegistry reader(HKEY_CURRENT_USER, KEY_READ);
  EXPECT_TRUE(reader.OpenKey(FKey.Path(), false));
}

TEST_F(Registry, ValuesRoundTrip) {
  ASSERT_TRUE(FReg.OpenKey(FKey.Path(), true));
  FReg.WriteInteger(L"Int", -12);
  FReg.WriteString(L"Text", L"Grüße \u4E2D\u6587");
  FReg.WriteString(L"WithZero", std::wstring(L"a\0b\0", 4));
  FReg.WriteBinary(L"Bin", "\x00\x01\xFF", 3);
  EXPECT_EQ(FReg.ReadInteger(L"Int"), -12);
  EXPECT_EQ(FReg.ReadString(L"Text"), L"Grüße \u4E2D\u6587");
  EXPECT_EQ(FReg.ReadString(L"WithZero"), std::wstring(L"a\0b\0", 4));
  EXPECT_EQ(FReg.ReadBinary(L"Bin"), std::string("\x00\x01\xFF", 3));
  EXPECT_EQ(FReg.DataSize(L"Bin"), 3);
  EXPECT_EQ(FReg.DataSize(L"Missing"), -1);
  EXPECT_TRUE(FReg.ValueExists(L"Int"));
  EXPECT_FALSE(FReg.ValueExists(L"Missing"));
}

struct TRawCase {
  const char* name;
  DWORD type;
  std::string data;
  bool isInteger, isString, isBinary;
};

class RegistryRawValue : public Registry, public ::testing::WithParamInterface<TRawCase> {};

// Every reader refuses what is not its own type, and nothing raises.
TEST_P(RegistryRawValue, ReadersTakeOnlyTheirType) {
  const TRawCase& c = GetParam();
  SetRaw(L"V", c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
  ASSERT_TRUE(FReg.OpenKey(FKey.Path(), false));
  EXPECT_EQ(FReg.ReadInteger(L"V").has_value(), c.isInteger);
  EXPECT_EQ(FReg.ReadString(L"V").has_value(), c.isString);
  EXPECT_EQ(FReg.ReadBinary(L"V").has_value(), c.isBinary);
}

INSTANTIATE_TEST_SUITE_P(
    Registry, RegistryRawValue,
    ::testing::Values(TRawCase{"Dword", REG_DWORD, std::string("\x08\0\0\0", 4), true, false, false},
                      TRawCase{"TruncatedDword", REG_DWORD, std::string("\x08\0", 2), false, false, false},
                      TRawCase{"String", REG_SZ, std::string("8\0\0\0", 4), false, true, false},
                      TRawCase{"StringOddSize", REG_SZ, std::string("8\0\0", 3), false, true, false},
                      TRawCase{"ExpandString", REG_EXPAND_SZ, std::string("%\0X\0%\0\0\0", 8), false, true, false},
                      TRawCase{"MultiString", REG_MULTI_SZ, std::string("a\0\0\0\0\0", 6), false, false, false},
                      TRawCase{"Qword", REG_QWORD, std::string(8, '\x01'), false, false, false},
                      TRawCase{"Binary", REG_BINARY, std::string("abc"), false, false, true},
                      TRawCase{"EmptyBinary", REG_BINARY, std::string(), false, false, true},
                      TRawCase{"Untyped", REG_NONE, std::string("xy"), false, false, true}),
    TCaseName());

TEST_F(Registry, StringWithoutTerminatorAndExpandableUnexpanded) {
  SetRaw(L"NoZero", REG_SZ, L"abc", 6);
  SetRaw(L"Expand", REG_EXPAND_SZ, L"%TEMP%", 14);
  ASSERT_TRUE(FReg.OpenKey(FKey.Path(), false));
  EXPECT_EQ(FReg.ReadString(L"NoZero"), L"abc");
  EXPECT_EQ(FReg.ReadString(L"Expand"), L"%TEMP%");
}

TEST_F(Registry, HugeBinaryValue) {
  std::string big(8 << 20, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 31);
  ASSERT_TRUE(FReg.OpenKey(FKey.Path(), true));
  FReg.WriteBinary(L"Big", big.data(), big.size());
  EXPECT_EQ(FReg.ReadBinary(L"Big"), big);
}

TEST_F(Registry, NamesAndDeletion) {
  ASSERT_TRUE(FReg.OpenKey(FKey.Path() + L"\\K\\Deep", true));
  FReg.WriteInteger(L"D", 1);
  ASSERT_TRUE(FReg.OpenKey(FKey.Path(), true));
  FReg.WriteInteger(L"V", 1);
  const std::wstring longName(300, L'n');  // longer than the first name buffer
  FReg.WriteInteger(longName, 2);
  EXPECT_EQ(FReg.KeyNames(), std::vector<std::wstring>{L"K"});
  std::vector<std::wstring> values = FReg.ValueNames();
  std::sort(values.begin(), values.end());  // the order is the registry's own
  EXPECT_EQ(values, (std::vector<std::wstring>{L"V", longName}));
  EXPECT_TRUE(FReg.DeleteValue(longName));
  EXPECT_TRUE(FReg.DeleteValue(L"V"));
  EXPECT_FALSE(FReg.DeleteValue(L"V"));
  EXPECT_TRUE(FReg.DeleteKey(L"\\" + FKey.Path() + L"\\K"));
  ASSERT_TRUE(FReg.OpenKey(FKey.Path(), false));
  EXPECT_TRUE(FReg.KeyNames().empty());
  EXPECT_FALSE(FReg.DeleteKey(L"\\"));  // never the whole root
}

TEST_F(Registry, WriteWithoutOpenKeyRaises) {
  EXPECT_THROW(FReg.WriteInteger(L"V", 1), EOSError);
  TRegistry readOnly(HKEY_CURRENT_USER, KEY_READ);
  ASSERT_TRUE(FReg.OpenKey(FKey.Path(), true));
  ASSERT_TRUE(readOnly.OpenKey(FKey.Path(), false));
  EXPECT_THROW(readOnly.WriteString(L"V", L"x"), EOSError);
}

TEST(RegistrySubKey, TrimsBackslashes) {
  EXPECT_EQ(RegistrySubKey(L"\\Software\\\\X\\"), L"Software\\\\X");
  EXPECT_EQ(RegistrySubKey(L"\\"), L"");
}

}  // namespace
