// The locale runs really run under the locale they are named after: the Windows user locale and
// the C library's locale behind Wine's file names (without it, non-ASCII file names fail).
#include "base/Handle.h"

#include "support/TestSupport.h"

#include <cstdlib>

namespace {

TEST(RunLocale, IsTheLocaleTheRunIsNamedAfter) {
  const char* run = std::getenv("TAVRINO_TEST_LOCALE");
  if (!run) GTEST_SKIP() << "not a locale run";
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  ::GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
  EXPECT_STREQ(name, std::string(run) == "de" ? L"de-DE" : L"en-US");

  wchar_t temp[MAX_PATH];
  ASSERT_GT(::GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring path = std::wstring(temp) + L"Gr\u00FC\u00DFe \u20AC " + std::to_wstring(::GetCurrentProcessId());
  TFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  EXPECT_TRUE(file.Valid()) << "a file name with umlauts and the euro sign cannot be created";
}

}  // namespace
