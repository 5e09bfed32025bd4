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

TEST(IsWow64, FalseForA64BitProcess) {
  // The test programs are 64-bit: no emulation layer.
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
