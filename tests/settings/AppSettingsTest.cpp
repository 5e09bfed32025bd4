// The program-wide stores, and settings that outlive the process that wrote them.
#include "base/Streams.h"
#include "settings/Settings.h"

#include "SettingsTestSupport.h"
#include "support/TestSupport.h"

namespace {

struct TExtCase {
  const char* name;
  std::wstring file, ext, expected;
};

class ChangeFileExtOf : public ::testing::TestWithParam<TExtCase> {};

TEST_P(ChangeFileExtOf, Name) {
  EXPECT_EQ(ChangeFileExt(GetParam().file, GetParam().ext), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(AppSettings, ChangeFileExtOf,
                         ::testing::Values(TExtCase{"Program", L"C:\\Tools\\Tavrino.exe", L".ini", L"C:\\Tools\\Tavrino.ini"},
                                           TExtCase{"LastDot", L"C:\\x\\a.b.exe", L".ini", L"C:\\x\\a.b.ini"},
                                           TExtCase{"NoExtension", L"C:\\x.y\\tool", L".ini", L"C:\\x.y\\tool.ini"}),
                         TCaseName());

// Leaves the program-wide stores as they were before the test.
class AppSettingsTest : public ::testing::Test {
protected:
  void TearDown() override { SettingsStart(); }
};

TEST_F(AppSettingsTest, NoneBeforeInit) {
  SettingsStart();
  EXPECT_EQ(AppSettings(), nullptr);
  EXPECT_EQ(AppIniSettings(), nullptr);
  EXPECT_EQ(AppExtraSettings(), nullptr);
}

TEST_F(AppSettingsTest, DefaultsFollowTheProgramFile) {
  InitAppSettings(L"", false, L"");
  ASSERT_NE(AppSettings(), nullptr);
  ASSERT_NE(AppIniSettings(), nullptr);
  EXPECT_EQ(AppIniSettings()->FileName(), ChangeFileExt(ProgramFileName(), L".ini"));
  EXPECT_FALSE(AppIniSettings()->WriteBack());
  EXPECT_EQ(AppSettings()->KeyPrefix(), L"\\Software\\Zevrik\\" + FileBaseName(ProgramFileName()) + L"\\");
  EXPECT_EQ(AppSettings()->Root(), hkCurrentUser);
  EXPECT_TRUE(AppSettings()->WriteBack());
  // Creating the stores touches neither the registry nor the disk.
  EXPECT_FALSE(FileExists(AppIniSettings()->FileName()));
}

TEST_F(AppSettingsTest, SecondCallReplacesBothAndKeepsTheExtraStore) {
  TTestFolder folder;
  SetAppExtraSettings(std::make_unique<TIniSettings>(folder.Path() + L"extra.ini", false));
  TSettings* extra = AppExtraSettings();
  InitAppSettings(L"Software/Zevrik/Tavrino", true, folder.Path() + L"a.ini");
  EXPECT_EQ(AppSettings()->KeyPrefix(), L"\\Software\\Zevrik\\Tavrino\\");
  EXPECT_TRUE(AppIniSettings()->WriteBack());
  InitAppSettings(L"Other", false, folder.Path() + L"b.ini");
  EXPECT_EQ(AppSettings()->KeyPrefix(), L"\\Other\\");
  EXPECT_EQ(AppIniSettings()->FileName(), folder.Path() + L"b.ini");
  EXPECT_EQ(AppExtraSettings(), extra);
  SettingsStop();
  EXPECT_EQ(AppExtraSettings(), nullptr);
  EXPECT_EQ(AppSettings(), nullptr);
}

// ---- Durability: one process writes, a later one reads.

std::wstring Env(const wchar_t* name) {
  wchar_t value[1024];
  DWORD n = ::GetEnvironmentVariableW(name, value, 1024);
  return n > 0 && n < 1024 ? std::wstring(value, n) : std::wstring();
}

// Runs this test program with one test (disabled tests included); its exit code.
DWORD RunChild(const std::wstring& test) {
  std::wstring commandLine =
      L"\"" + ProgramFileName() + L"\" --gtest_also_run_disabled_tests --gtest_filter=" + test;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return 0xFFFFFFFF;
  ::WaitForSingleObject(process.hProcess, 120000);
  DWORD code = 0xFFFFFFFF;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return code;
}

const std::wstring kText = L" Grüße \u4E2D\u6587 \U0001F600 ";
const std::string kBlob("\x00\xFF\x01 blob", 8);

void WriteEverything(TSettings& store) {
  store.WrInteger(L"Durable\rInt", -42);
  store.WrString(L"Durable\rText", kText);
  store.WrStrings(L"Durable\rList", TStringList{L" one", L"two ", L"'three'"}, TTrimStringsOptions());
  TMemoryStream blob(kBlob);
  store.WrBlob(L"Durable\rBlob", blob);
  store.WrBlobText(L"Durable\rBlobText", kText);
}

void ExpectEverything(TSettings& store) {
  store.SetWriteBack(false);
  EXPECT_EQ(store.RdInteger(L"Durable\rInt"), -42);
  EXPECT_EQ(store.RdString(L"Durable\rText"), kText);
  TStringList list;
  store.RdStrings(L"Durable\rList", list, L"");
  EXPECT_EQ(list.Lines(), (std::vector<std::wstring>{L" one", L"two ", L"'three'"}));
  TMemoryStream blob;
  store.RdBlob(L"Durable\rBlob", blob);
  EXPECT_EQ(blob.DataString(), kBlob);
  EXPECT_EQ(store.RdBlobText(L"Durable\rBlobText"), kText);
}

// Run only as the child of the test below.
TEST(DurableChild, DISABLED_Write) {
  ASSERT_FALSE(Env(L"TAVRINO_TEST_KEY").empty());
  TRegistrySettings registry(Env(L"TAVRINO_TEST_KEY"));
  TIniSettings ini(Env(L"TAVRINO_TEST_INI"), false);
  WriteEverything(registry);
  WriteEverything(ini);
}

TEST(DurableChild, DISABLED_Read) {
  ASSERT_FALSE(Env(L"TAVRINO_TEST_KEY").empty());
  TRegistrySettings registry(Env(L"TAVRINO_TEST_KEY"));
  TIniSettings ini(Env(L"TAVRINO_TEST_INI"), false);
  ExpectEverything(registry);
  ExpectEverything(ini);
}

TEST(Durable, WrittenByOneProcessReadByTheNext) {
  TTestRegistryKey key;
  TTestFolder folder;
  std::wstring ini = folder.Path() + L"durable.ini";
  ::SetEnvironmentVariableW(L"TAVRINO_TEST_KEY", key.Path().c_str());
  ::SetEnvironmentVariableW(L"TAVRINO_TEST_INI", ini.c_str());
  EXPECT_EQ(RunChild(L"DurableChild.DISABLED_Write"), 0u);
  EXPECT_EQ(RunChild(L"DurableChild.DISABLED_Read"), 0u);
  ::SetEnvironmentVariableW(L"TAVRINO_TEST_KEY", nullptr);
  ::SetEnvironmentVariableW(L"TAVRINO_TEST_INI", nullptr);
  // And this process, which wrote nothing, reads the same.
  TRegistrySettings registry(key.Path());
  TIniSettings iniStore(ini, false);
  ExpectEverything(registry);
  ExpectEverything(iniStore);
}

}  // namespace
