#include "base/Files.h"
#include "base/Unicode.h"
#include "base/Win.h"
#include "base/Win32.h"

#include "support/TestSupport.h"

#include <cwctype>

namespace {

// Sets an environment variable for one scope.
class TScopedEnv {
public:
  TScopedEnv(const wchar_t* name, const wchar_t* value) : FName(name) {
    wchar_t old[1024];
    DWORD n = ::GetEnvironmentVariableW(name, old, 1024);
    FHadValue = n > 0 && n < 1024;
    if (FHadValue) FOld.assign(old, n);
    ::SetEnvironmentVariableW(name, value);
  }
  ~TScopedEnv() { ::SetEnvironmentVariableW(FName, FHadValue ? FOld.c_str() : nullptr); }

private:
  const wchar_t* FName;
  bool FHadValue = false;
  std::wstring FOld;
};

TEST(ComputerName, NotEmpty) {
  std::wstring name = ComputerName();
  EXPECT_FALSE(name.empty());
  EXPECT_LE(name.size(), 15u);
}

TEST(ClientComputerName, ClientNameOrComputerName) {
  {
    TScopedEnv client(L"CLIENTNAME", L"REMOTE-PC");
    EXPECT_EQ(ClientComputerName(), L"REMOTE-PC");
  }
  TScopedEnv client(L"CLIENTNAME", nullptr);
  EXPECT_EQ(ClientComputerName(), ComputerName());
}

// Wine takes the name from the Unix account, so longer names cannot be tried here.
TEST(UserLoginName, NotEmpty) { EXPECT_FALSE(UserLoginName().empty()); }

// Stand-ins for the system's IsWow64Process: what the routine is asked and what it answers.
HANDLE gAskedProcess = nullptr;
BOOL WINAPI AnswersWow64(HANDLE process, PBOOL wow64) {
  gAskedProcess = process;
  *wow64 = TRUE;
  return TRUE;
}
BOOL WINAPI AnswersNative(HANDLE process, PBOOL wow64) {
  gAskedProcess = process;
  *wow64 = FALSE;
  return TRUE;
}
BOOL WINAPI FailsButSetsWow64(HANDLE process, PBOOL wow64) {
  gAskedProcess = process;
  *wow64 = TRUE;
  ::SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}

TEST(IsWow64, FollowsTheSystemsAnswerForTheCurrentProcess) {
  gAskedProcess = nullptr;
  EXPECT_TRUE(IsWow64Through(AnswersWow64));
  EXPECT_EQ(gAskedProcess, ::GetCurrentProcess());
  EXPECT_FALSE(IsWow64Through(AnswersNative));
  // A failed call says nothing, whatever it left in its output.
  EXPECT_FALSE(IsWow64Through(FailsButSetsWow64));
  // Systems without the routine run no emulation layer.
  EXPECT_FALSE(IsWow64Through(nullptr));
}

TEST(IsWow64, FalseForA64BitProcess) {
  // The test programs are 64-bit: no emulation layer, and the system's routine is there.
  ASSERT_NE(SystemIsWow64Process(), nullptr);
  BOOL wow64 = TRUE;
  ASSERT_TRUE(SystemIsWow64Process()(::GetCurrentProcess(), &wow64));
  EXPECT_FALSE(wow64);
  EXPECT_FALSE(IsWow64());
}

TEST(FileVersion, ProgramWithVersionResource) {
  // The build folder is a Unix path: Wine shows the root as drive Z:.
  std::wstring program = L"Z:" + Utf8ToText(TAVRINO_BUILD_DIR) + L"/Tavrino.exe";
  for (wchar_t& c : program)
    if (c == L'/') c = L'\\';
  std::wstring text = FileVersionText(program);
  ASSERT_TRUE(text.starts_with(L"2.0.6.")) << text;
  EXPECT_EQ(FileVersionBuild(program), static_cast<std::uint32_t>(6 * 65536 + std::stoul(text.substr(6))));
}

TEST(FileVersion, FileWithoutVersionResource) {
  // The test program carries no version resource.
  EXPECT_EQ(FileVersionText(), L"");
  EXPECT_EQ(FileVersionBuild(), 0u);
  EXPECT_EQ(FileVersionText(L"C:\\does\\not\\exist.dll"), L"");
  EXPECT_EQ(FileVersionBuild(L"C:\\does\\not\\exist.dll"), 0u);
}

}  // namespace
