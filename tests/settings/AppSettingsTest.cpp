// The program-wide stores, and settings that outlive the process that wrote them.
#include "base/Streams.h"
#include "settings/AppSettings.h"

#include "SettingsTestSupport.h"
#include "support/TestSupport.h"

namespace {

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
  EXPECT_EQ(AppSettings()->Win32Root(), rr6432);  // a 64-bit process reads its own view
  EXPECT_TRUE(AppSettings()->WriteBack());
  // Creating the stores touches neither the registry nor the disk.
  EXPECT_FALSE(FileExists(AppIniSettings()->FileName()));
}

struct TProgramCase {
  const char* name;
  std::wstring program;
  std::wstring iniName;
  std::wstring keyPrefix;
};

class AppSettingsNames : public AppSettingsTest, public ::testing::WithParamInterface<TProgramCase> {};

// The INI file beside the program file and the registry key named after it, when neither is given.
TEST_P(AppSettingsNames, FollowTheProgramFile) {
  InitAppSettingsFor(GetParam().program, L"", true, L"");
  EXPECT_EQ(AppIniSettings()->FileName(), GetParam().iniName);
  EXPECT_EQ(AppSettings()->KeyPrefix(), GetParam().keyPrefix);
  EXPECT_TRUE(AppSettings()->WriteBack());
}

INSTANTIATE_TEST_SUITE_P(
    AppSettings, AppSettingsNames,
    ::testing::Values(
        TProgramCase{"Program", L"C:\\Tools\\Tavrino.exe", L"C:\\Tools\\Tavrino.ini", L"\\Software\\Zevrik\\Tavrino\\"},
        TProgramCase{"TwoDots", L"C:\\x\\a.b.exe", L"C:\\x\\a.b.ini", L"\\Software\\Zevrik\\a.b\\"},
        TProgramCase{"NoExtension", L"C:\\x.y\\tool", L"C:\\x.y\\tool.ini", L"\\Software\\Zevrik\\tool\\"}),
    TCaseName());

TEST_F(AppSettingsTest, SecondCallReplacesBothAndKeepsTheExtraStore) {
  TTempFolder folder;
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

// Runs this test program with one test (disabled tests included). It passes when the child
// exits with 0 and has left the marker file, which only a test body that ran to its end writes
// (gtest also exits with 0 when its filter matches no test).
::testing::AssertionResult RunChild(const std::wstring& test, const std::wstring& marker) {
  ::DeleteFileW(marker.c_str());
  ::SetEnvironmentVariableW(L"TAVRINO_TEST_MARKER", marker.c_str());
  std::wstring commandLine =
      L"\"" + ProgramFileName() + L"\" --gtest_also_run_disabled_tests --gtest_filter=" + test;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  BOOL started =
      ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
  ::SetEnvironmentVariableW(L"TAVRINO_TEST_MARKER", nullptr);
  if (!started) return ::testing::AssertionFailure() << "cannot start the child: error " << ::GetLastError();
  THandleOwner thread(process.hThread), child(process.hProcess);
  if (::WaitForSingleObject(child.Get(), 120000) != WAIT_OBJECT_0) {
    ::TerminateProcess(child.Get(), 1);
    ::WaitForSingleObject(child.Get(), 10000);
    return ::testing::AssertionFailure() << "the child did not end within 2 minutes";
  }
  DWORD code = 0xFFFFFFFF;
  ::GetExitCodeProcess(child.Get(), &code);
  if (code != 0) return ::testing::AssertionFailure() << "the child exited with " << code;
  if (!FileExists(marker)) return ::testing::AssertionFailure() << "the child ran no test";
  return ::testing::AssertionSuccess();
}

// Called at the end of a child's test body: it ran.
void MarkChildRan() { WriteFileBytes(Env(L"TAVRINO_TEST_MARKER"), "ran"); }

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
  MarkChildRan();
}

TEST(DurableChild, DISABLED_Read) {
  ASSERT_FALSE(Env(L"TAVRINO_TEST_KEY").empty());
  TRegistrySettings registry(Env(L"TAVRINO_TEST_KEY"));
  TIniSettings ini(Env(L"TAVRINO_TEST_INI"), false);
  ExpectEverything(registry);
  ExpectEverything(ini);
  if (!::testing::Test::HasFailure()) MarkChildRan();
}

TEST(Durable, WrittenByOneProcessReadByTheNext) {
  TTestRegistryKey key;
  TTempFolder folder;
  std::wstring ini = folder.Path() + L"durable.ini";
  ::SetEnvironmentVariableW(L"TAVRINO_TEST_KEY", key.Path().c_str());
  ::SetEnvironmentVariableW(L"TAVRINO_TEST_INI", ini.c_str());
  std::wstring marker = folder.Path() + L"child.ran";
  EXPECT_TRUE(RunChild(L"DurableChild.DISABLED_Write", marker));
  EXPECT_TRUE(RunChild(L"DurableChild.DISABLED_Read", marker));
  // A filter that matches no test is no pass.
  EXPECT_FALSE(RunChild(L"DurableChild.NoSuchTest", marker));
  ::SetEnvironmentVariableW(L"TAVRINO_TEST_KEY", nullptr);
  ::SetEnvironmentVariableW(L"TAVRINO_TEST_INI", nullptr);
  // And this process, which wrote nothing, reads the same.
  TRegistrySettings registry(key.Path());
  TIniSettings iniStore(ini, false);
  ExpectEverything(registry);
  ExpectEverything(iniStore);
}

}  // namespace
