#include "base/Exception.h"
#include "base/Streams.h"
#include "base/Unicode.h"
#include "settings/RegistrySettings.h"

#include "SettingsTestSupport.h"
#include "support/TestSupport.h"

#include <sddl.h>

#include <memory>

namespace {

class RegistrySettings : public ::testing::Test {
protected:
  TTestRegistryKey FKey;
  TRegistrySettings FStore{FKey.Path()};

  std::wstring KeyOf(const std::wstring& subKey) const { return FKey.Path() + (subKey.empty() ? L"" : L"\\" + subKey); }
  void SetRaw(const std::wstring& subKey, const std::wstring& name, DWORD type, const std::string& data) {
    ASSERT_EQ(SetRawValue(KeyOf(subKey), name, type, data), ERROR_SUCCESS);
  }
  // Type and bytes of a stored value; type REG_NONE with "missing" when there is none.
  std::pair<DWORD, std::string> Raw(const std::wstring& subKey, const std::wstring& name) {
    return RawValue(KeyOf(subKey), name);
  }
};

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
  EXPECT_EQ(Raw(L"Settings", L"Font Size"), std::make_pair(DWORD(REG_DWORD), DwordBytes(8)));
  FStore.WrInteger(L"Settings\rFont Size\r8", 12);
  EXPECT_EQ(FStore.RdInteger(L"Settings\rFont Size\r8"), 12);
  EXPECT_EQ(Raw(L"Settings", L"Font Size"), std::make_pair(DWORD(REG_DWORD), DwordBytes(12)));
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
                      TWrongTypeCase{"DwordForList", REG_DWORD, DwordBytes(5)}),
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

// Sets the access rules of a key below HKEY_CURRENT_USER (SDDL); false when it cannot.
bool SetKeyAccess(const std::wstring& path, const wchar_t* sddl) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr)) return false;
  std::unique_ptr<void, decltype(&::LocalFree)> owner(sd, &::LocalFree);
  TRegKey key;
  return ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, WRITE_DAC, key.Put()) == ERROR_SUCCESS &&
         ::RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
}

// A key whose access rules allow only the given rights to everybody, for one scope.
class TRestrictedKey {
public:
  TRestrictedKey(std::wstring path, const wchar_t* sddl) : FPath(std::move(path)) { FSet = SetKeyAccess(FPath, sddl); }
  TRestrictedKey(const TRestrictedKey&) = delete;
  TRestrictedKey& operator=(const TRestrictedKey&) = delete;
  ~TRestrictedKey() { SetKeyAccess(FPath, L"D:(A;CI;KA;;;WD)"); }
  bool Set() const { return FSet; }
  // Whether the system enforces the rules: the key opens with Access or not.
  bool Opens(REGSAM access) const {
    TRegKey key;
    return ::RegOpenKeyExW(HKEY_CURRENT_USER, FPath.c_str(), 0, access, key.Put()) == ERROR_SUCCESS;
  }

private:
  std::wstring FPath;
  bool FSet = false;
};

// A value that is there but cannot be read is no missing value: the default must not replace it.
TEST_F(RegistrySettings, UnreadableValuesAreNotOverwrittenWithDefaults) {
  SetRaw(L"S", L"Int", REG_DWORD, DwordBytes(42));
  SetRaw(L"S", L"Text", REG_SZ, SzBytes(L"mine"));
  SetRaw(L"S", L"List", REG_BINARY, "a\r\n");
  {
    TRestrictedKey writeOnly(KeyOf(L"S"), L"D:P(A;;KWWD;;;WD)");
    ASSERT_TRUE(writeOnly.Set());
    if (writeOnly.Opens(KEY_READ)) GTEST_SKIP() << "the system does not enforce the key's access rules";
    ASSERT_TRUE(writeOnly.Opens(KEY_WRITE));
    EXPECT_EQ(FStore.RdInteger(L"S\rInt\r8"), 8);
    EXPECT_EQ(FStore.RdString(L"S\rText\rdefault"), L"default");
    EXPECT_EQ(FStore.RdStrings(L"S\rList", L"d"), L"d\r\n");
  }
  EXPECT_EQ(Raw(L"S", L"Int"), std::make_pair(DWORD(REG_DWORD), DwordBytes(42)));
  EXPECT_EQ(Raw(L"S", L"Text"), std::make_pair(DWORD(REG_SZ), SzBytes(L"mine")));
  EXPECT_EQ(Raw(L"S", L"List"), std::make_pair(DWORD(REG_BINARY), std::string("a\r\n")));
}

// A write-back that the system refuses (a key one may read but not write, as much of the machine
// hive is for a normal user) leaves the reader with its default and raises nothing.
TEST_F(RegistrySettings, RefusedWriteBackDoesNotRaise) {
  SetRaw(L"S", L"Other", REG_DWORD, DwordBytes(1));
  TRestrictedKey readOnly(KeyOf(L"S"), L"D:P(A;;KRWD;;;WD)");
  ASSERT_TRUE(readOnly.Set());
  if (readOnly.Opens(KEY_WRITE)) GTEST_SKIP() << "the system does not enforce the key's access rules";
  EXPECT_NO_THROW(EXPECT_EQ(FStore.RdInteger(L"S\rInt\r8"), 8));
  EXPECT_NO_THROW(EXPECT_EQ(FStore.RdString(L"S\rText\rd"), L"d"));
  EXPECT_NO_THROW(EXPECT_EQ(FStore.RdStrings(L"S\rList", L"d"), L"d\r\n"));
  EXPECT_EQ(Raw(L"S", L"Int").first, DWORD(REG_NONE));
}

// The same where the writer itself raises, as the registry access object does for a value the
// system refuses.
class TRefusingRegistrySettings : public TRegistrySettings {
public:
  using TRegistrySettings::TRegistrySettings;
  using TRegistrySettings::WrStrings;
  int Writes = 0;
  void WrInteger(const std::wstring&, std::int32_t) override { Refuse(); }
  void WrString(const std::wstring&, const std::wstring&) override { Refuse(); }
  void WrStrings(const std::wstring&, const TStrings&, TTrimStringsOptions) override { Refuse(); }

private:
  void Refuse() {
    ++Writes;
    throw EOSError(ERROR_ACCESS_DENIED, L"Failed to set data");
  }
};

TEST_F(RegistrySettings, WriteBackThatRaisesIsCaught) {
  TRefusingRegistrySettings store(FKey.Path());
  EXPECT_NO_THROW(EXPECT_EQ(store.RdInteger(L"S\rInt\r8"), 8));
  EXPECT_NO_THROW(EXPECT_EQ(store.RdString(L"S\rText\rd"), L"d"));
  EXPECT_NO_THROW(EXPECT_EQ(store.RdStrings(L"S\rList", L"d"), L"d\r\n"));
  EXPECT_NO_THROW(EXPECT_EQ(store.RdFloat(L"S\rF\r1.5"), 1.5));
  EXPECT_EQ(store.Writes, 4);
}

}  // namespace
