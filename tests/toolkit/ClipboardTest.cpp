#include "support/TestSupport.h"
#include "base/Win.h"
#include "toolkit/Clipbrd.h"

#include <atomic>
#include <cstring>
#include <thread>

namespace {

struct TClipText {
  const char* name;
  std::wstring text;
};

class ClipboardRoundTrip : public ::testing::TestWithParam<TClipText> {};

TEST_P(ClipboardRoundTrip, TextComesBackAsItWasPut) {
  SetClipboardAsText(GetParam().text);
  EXPECT_TRUE(Clipboard().HasText());
  EXPECT_EQ(ClipboardAsText(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ClipboardRoundTrip,
    ::testing::Values(TClipText{"Empty", L""}, TClipText{"Ascii", L"Protokoll"},
                      TClipText{"Umlauts", L"Größe: 12 € – äöü ÄÖÜ ß"},
                      TClipText{"Lines", L"eins\r\nzwei\r\n\r\ndrei\r\n"},
                      TClipText{"OutsideBmp", L"\U0001F600 \U00020000"},
                      TClipText{"Large", std::wstring(1 << 20, L'x')}),
    TCaseName());

TEST(Clipboard, TextEndsAtItsFirstZeroCharacter) {
  SetClipboardAsText(std::wstring(L"vorne\0hinten", 12));
  EXPECT_EQ(ClipboardAsText(), L"vorne");
}

TEST(Clipboard, ClearLeavesNoText) {
  SetClipboardAsText(L"weg damit");
  Clipboard().Clear();
  EXPECT_FALSE(Clipboard().HasText());
  EXPECT_EQ(ClipboardAsText(), L"");
}

TEST(Clipboard, EightBitTextOfAnotherProgramIsReadConverted) {
  // Text in the ANSI code page, as an old program puts it there.
  const std::string ansi = "Gr\xF6\xDF" "e";
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, ansi.size() + 1);
  std::memcpy(::GlobalLock(memory), ansi.c_str(), ansi.size() + 1);
  ::GlobalUnlock(memory);
  ::SetClipboardData(CF_TEXT, memory);
  ::CloseClipboard();
  if (::GetACP() != 1252) GTEST_SKIP() << "the text is written for code page 1252";
  EXPECT_EQ(ClipboardAsText(), L"Größe");
}

// Another thread holds the clipboard open, as another program may.
class TClipboardHolder {
public:
  explicit TClipboardHolder(DWORD holdMsec) {
    FThread = std::thread([this, holdMsec] {
      HWND wnd = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
      FOpened = ::OpenClipboard(wnd) != FALSE;
      FReady = true;
      for (DWORD waited = 0; !FRelease && (holdMsec == INFINITE || waited < holdMsec); waited += 5) ::Sleep(5);
      if (FOpened) ::CloseClipboard();
      ::DestroyWindow(wnd);
    });
    while (!FReady) ::Sleep(1);
  }
  ~TClipboardHolder() {
    FRelease = true;
    FThread.join();
  }
  bool Opened() const { return FOpened; }

private:
  std::thread FThread;
  std::atomic<bool> FReady{false}, FRelease{false}, FOpened{false};
};

TEST(Clipboard, HeldForAMomentByAnotherProgramIsWaitedFor) {
  TClipboardHolder holder(50);
  ASSERT_TRUE(holder.Opened());
  SetClipboardAsText(L"nach dem Warten");
  EXPECT_EQ(ClipboardAsText(), L"nach dem Warten");
}

TEST(Clipboard, HeldForGoodRaisesClipboardException) {
  SetClipboardAsText(L"vorher");
  TClipboardHolder holder(INFINITE);
  ASSERT_TRUE(holder.Opened());
  EXPECT_THROW(SetClipboardAsText(L"nachher"), EClipboardException);
  try {
    ClipboardAsText();
    ADD_FAILURE() << "no exception";
  } catch (const EClipboardException& e) {
    EXPECT_NE(e.Message().find(L"clipboard"), std::wstring::npos);
  }
}

}  // namespace
