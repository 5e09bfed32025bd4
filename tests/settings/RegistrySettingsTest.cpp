#include "base/Streams.h"
#include "base/Unicode.h"
#include "settings/Settings.h"

#include "SettingsTestSupport.h"
#include "support/TestSupport.h"

namespace {

class RegistrySettings : public ::testing::Test {
protected:
  TTestRegistryKey FKey;
  TRegistrySettings FStore{FKey.Path()};

  // Writes a value of any type as another program would.
  void SetRaw(const std::wstring& subKey, const std::wstring& name, DWORD type, const std::string& data) {
    HKEY key = nullptr;
    std::wstring path = FKey.Path() + (subKey.empty() ? L"" : L"\\" + subKey);
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                     static_cast<DWORD>(data.size()));
    ::RegCloseKey(key);
  }
  // Type and bytes of a stored value; type REG_NONE with "missing" when there is none.
  std::pair<DWORD, std::string> Raw(const std::wstring& subKey, const std::wstring& name) {
    std::wstring path = FKey.Path() + (subKey.empty() ? L"" : L"\\" + subKey);
    DWORD type = 0, size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                       &size) != ERROR_SUCCESS)
      return {REG_NONE, "missing"};
    std::string data(size, '\0');
    ::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &size);
    data.resize(size);
    return {type, data};
  }
};

std::string Dword(std::int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

TEST(RegistrySettingsPrefix, Normalised) {
  EXPECT_EQ(TRegistrySettings(L"Software/Zevrik/Tavrino").KeyPrefix(), L"\\Software\\Zevrik\\Tavrino\\");
  EXPECT_EQ(TRegistrySettings(L"/Software//X/").KeyPrefix(), L"\\Software\\\\X\\");
  EXPECT_EQ(TRegistrySettings(L"").KeyPrefix(), L"\\");
  EXPECT_EQ(TRegistrySettings(L"\\\\A\\").KeyPrefix(), L"\\A\\");
}

TEST(RegistrySettingsRoot, SixtyFourBitViewOnlyForWow64) {
  // A 64-bit process reads its own view: the setting is only kept for 32-bit processes.
  EXPECT_EQ(TRegistrySettings(L"X", hkCurrentUser, rr6464).Win32Root(), rr6432);
  EXPECT_EQ(RegistryRootKey(hkCurrentUser), HKEY_CURRENT_USER);
  EXPECT_EQ(RegistryRootKey(hkLocalMachine), HKEY_LOCAL_MACHINE);
  EXPECT_EQ(RegistryRootKey(hrCurrentConfig), HKEY_CURRENT_CONFIG);
  EXPECT_EQ(RegistryRootName(hrCurrentConfig), L"HKEY_CURRENT_CONFIG");
}

TEST_F(RegistrySettings, FontSizeOnAFreshHive) {
  EXPECT_EQ(FStore.RdInteger(L"Settings\rFont Size\r8"), 8);
  EXPECT_EQ(Raw(L"Settings", L"Font Size"), std::make_pair(DWORD(REG_DWORD), Dword(8)));
  FStore.WrInteger(L"Settings\rFont Size\r8", 12);
  EXPECT_EQ(FStore.RdInteger(L"Settings\rFont Size\r8"), 12);
  EXPECT_EQ(Raw(L"Settings", L"Font Size"), std::make_pair(DWORD(REG_DWORD), Dword(12)));
}

TEST_F(RegistrySettings, NativeTypes) {
  FStore.WrString(L"A/B\\C\rText", L"x");
  FStore.WrStrings(L"S\rList", L"a\r\nb", TTrimStringsOptions());
  EXPECT_EQ(Raw(L"A\\B\\C", L"Text"), std::make_pair(DWORD(REG_SZ), std::string("x\0\0\0", 4)));
  EXPECT_EQ(Raw(L"S", L"List"), std::make_pair(DWORD(REG_BINARY), std::string("a\r\nb\r\n")));
  TMemoryStream blob(std::string("\x00\x01\x02", 3));
  FStore.WrBlob(L"S\rBlob", blob);
  EXPECT_EQ(Raw(L"S", L"Blob"), std::make_pair(DWORD(REG_BINARY), std::string("\x00\x01\x02", 3)));
  FStore.WrBlobText(L"S\rBlobText", L"ä");
  EXPECT_EQ(Raw(L"S", L"BlobText").second, "\xEF\xBB\xBF\xC3\xA4");
  EXPECT_EQ(FStore.RdBinary(L"S\rBlob"), std::string("\x00\x01\x02", 3));
}

struct TWrongTypeCase {
  const char* name;
  DWORD type;
  std::string data;
};

class RegistryWrongType : public RegistrySettings, public ::testing::WithParamInterface<TWrongTypeCase> {};

// Whatever another program stored, the readers give their defaults without raising, and the
// value stays as it was.
TEST_P(RegistryWrongType, ReadersGiveDefaults) {
  const TWrongTypeCase& c = GetParam();
  SetRaw(L"S", L"V", c.type, c.data);
  auto before = Raw(L"S", L"V");
  if (c.type != REG_DWORD || c.data.size() != 4) {
    EXPECT_EQ(FStore.RdInteger(L"S\rV\r8"), 8);
  }
  if (c.type != REG_SZ && c.type != REG_EXPAND_SZ) {
    EXPECT_EQ(FStore.RdString(L"S\rV\rdef"), L"def");
  }
  EXPECT_NO_THROW({
    FStore.RdInt64(L"S\rV\r1");
    FStore.RdDate(L"S\rV");
    FStore.RdDateTime(L"S\rV");
    FStore.RdFloat(L"S\rV");
    FStore.RdIntArray(L"S\rV");
    FStore.RdPassword(L"S\rV", L"c", etQelEncode);
    FStore.RdBlobText(L"S\rV");
    FStore.RdStrings(L"S\rV", L"d");
  });
  if (c.type != REG_BINARY && c.type != REG_NONE) {
    TMemoryStream stream("x");
    stream.SetPosition(1);
    FStore.RdBlob(L"S\rV", stream);
    EXPECT_EQ(stream.DataString(), "x");
    EXPECT_EQ(FStore.RdBinary(L"S\rV"), "");
    if (!c.data.empty()) {
      EXPECT_EQ(FStore.RdStrings(L"S\rV", L"d"), L"d\r\n");
    }
  }
  EXPECT_EQ(Raw(L"S", L"V"), before);
}

INSTANTIATE_TEST_SUITE_P(
    Registry, RegistryWrongType,
    ::testing::Values(TWrongTypeCase{"StringForNumber", REG_SZ, std::string("1\0\0\0", 4)},
                      TWrongTypeCase{"TruncatedDword", REG_DWORD, std::string("\x01\x02", 2)},
                      TWrongTypeCase{"Qword", REG_QWORD, std::string(8, '\x7F')},
                      TWrongTypeCase{"MultiString", REG_MULTI_SZ, std::string("a\0b\0\0\0", 6)},
                      TWrongTypeCase{"OddString", REG_SZ, std::string("abc", 3)},
                      TWrongTypeCase{"InvalidUtf8Binary", REG_BINARY, std::string("\xFF\xFE\xC3", 3)},
                      TWrongTypeCase{"EmptyBinary", REG_BINARY, std::string()},
                      TWrongTypeCase{"DwordForList", REG_DWORD, Dword(5)}),
    TCaseName());

TEST_F(RegistrySettings, ListValueOfSizeZeroIsEmpty) {
  SetRaw(L"S", L"Empty", REG_BINARY, "");
  TStringList lines{L"old"};
  FStore.RdStrings(L"S\rEmpty", lines, L"default");
  EXPECT_EQ(lines.Count(), 0);
  FStore.SetWriteBack(false);
  FStore.RdStrings(L"S\rMissing", lines, L"d1\r\nd2");
  EXPECT_EQ(lines.Lines(), (std::vector<std::wstring>{L"d1", L"d2"}));
}

TEST_F(RegistrySettings, HugeBlob) {
  std::string bytes(4 << 20, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  TMemoryStream in(bytes);
  FStore.WrBlob(L"S\rHuge", in);
  TMemoryStream out;
  FStore.RdBlob(L"S\rHuge", out);
  EXPECT_TRUE(out.DataString() == bytes);
}

TEST_F(RegistrySettings, SubKeysThenValues) {
  FStore.WrInteger(L"Sec\rV", 1);
  FStore.WrInteger(L"Sec/K\rW", 1);
  TStringList names;
  FStore.GetSubEntries(L"Sec", names);
  EXPECT_EQ(names.Lines(), (std::vector<std::wstring>{L"K", L"V"}));
  FStore.DelSection(L"Sec");
  EXPECT_FALSE(TRegistrySettings::KeyExists(FKey.Path() + L"/Sec", hkCurrentUser));
  EXPECT_TRUE(TRegistrySettings::KeyExists(L"/" + FKey.Path() + L"/", hkCurrentUser));
  FStore.GetSubEntries(L"Sec", names);
  EXPECT_EQ(names.Count(), 0);
  // Deleting a value of a missing key creates nothing.
  FStore.DelEntry(L"Nowhere\rV");
  EXPECT_FALSE(TRegistrySettings::KeyExists(FKey.Path() + L"\\Nowhere", hkCurrentUser));
}

TEST_F(RegistrySettings, DisplayString) {
  TRegistrySettings store(L"Software/Zevrik/Tavrino");
  EXPECT_EQ(store.SettingsDisplayStr(L"Settings\rFont Size\r8"),
            L"HKEY_CURRENT_USER\\Software\\Zevrik\\Tavrino\\Settings \u2192 Font Size");
}

TEST_F(RegistrySettings, AutoFlushSwitchesLazyWriting) {
  EXPECT_FALSE(FStore.AutoFlush());
  EXPECT_TRUE(FStore.Registry().LazyWrite());
  FStore.SetAutoFlush(true);
  EXPECT_FALSE(FStore.Registry().LazyWrite());
  FStore.WrInteger(L"S\rV", 3);
  FStore.Flush();
  EXPECT_EQ(FStore.RdInteger(L"S\rV"), 3);
}

TEST_F(RegistrySettings, WriteBackThatFailsDoesNotRaise) {
  // The machine hive is not writable for a normal user; under Wine everything is.
  TRegistrySettings machine(L"Software\\TavrinoTestNoSuchKey", hkLocalMachine);
  machine.SetWriteBack(false);
  EXPECT_EQ(machine.RdInteger(L"S\rV\r4"), 4);
  TRegistrySettings users(L"", hkUsers);  // writes below HKEY_USERS itself are refused
  EXPECT_NO_THROW(EXPECT_EQ(users.RdString(L"\rTavrinoTestValue\rx"), L"x"));
  ::RegDeleteValueW(HKEY_USERS, L"TavrinoTestValue");
}

}  // namespace
