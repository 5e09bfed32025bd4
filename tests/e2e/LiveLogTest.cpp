// The real program as a live log people work in: the view holds still while they read and
// tells how many lines arrived meanwhile.
#include "e2e/RunningProgram.h"
#include "support/Pump.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

constexpr int kPort = 6702;

LRESULT FirstVisibleLine(HWND view) { return Ask(view, EM_GETFIRSTVISIBLELINE); }


// The badge of the view when it shows, else null.
HWND Badge(HWND view) {
  HWND badge = ::FindWindowExW(view, nullptr, L"Static", nullptr);
  return badge && ::IsWindowVisible(badge) ? badge : nullptr;
}


// The pixels of the status line on the screen: in dark text and in the reddish attention colour.
struct TStatusInk {
  std::size_t Dark = 0, Red = 0;
};
TStatusInk StatusInk(HWND line) {
  TStatusInk ink;
  for (COLORREF c : ScreenPixels(ScreenClientRect(line)).Pixels) {
    if (GetRValue(c) > 150 && GetGValue(c) < 80 && GetBValue(c) < 80) ++ink.Red;
    if (GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80) ++ink.Dark;
  }
  return ink;
}

// The count a badge text "▼ 1.234 neue Zeilen" gives, or -1 when the text is not of that form.
long long BadgeCount(const std::wstring& text) {
  const std::wstring head = L"\u25BC ", tail = L" neue Zeilen";
  if (text.size() <= head.size() + tail.size() || text.compare(0, head.size(), head) != 0 ||
      text.compare(text.size() - tail.size(), tail.size(), tail) != 0)
    return -1;
  return GermanNumber(text.substr(head.size(), text.size() - head.size() - tail.size()));
}


// Datagrams "Zeile n" sent every few milliseconds on a thread of its own, until stopped.
class TStream {
public:
  TStream()
      : FThread([this] {
          for (int i = 0; !FStop; ++i) {
            SendDatagram(kPort, "Zeile " + std::to_string(i));
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
          }
        }) {}
  ~TStream() { Stop(); }
  void Stop() {
    FStop = true;
    if (FThread.joinable()) FThread.join();
  }

private:
  std::atomic<bool> FStop{false};
  std::thread FThread;
};

class LiveLog : public ::testing::Test {
protected:
  // Sends a last datagram and waits until the view shows it: all before it is shown too.
  void SendAndWaitShown(HWND view, const std::string& text) {
    SendDatagram(kPort, text);
    const std::wstring wide(text.begin(), text.end());
    ASSERT_TRUE(PumpUntil([&] { return LineOf(view, LineCount(view) - 2) == wide; }, 60000)) << text;
  }

  TRunningProgram program;
};

TEST(LiveLogBadge, CountReadsGermanNumbers) {
  EXPECT_EQ(BadgeCount(L"\u25BC 1.234 neue Zeilen"), 1234);
  EXPECT_EQ(BadgeCount(L"\u25BC 12 neue Zeilen"), 12);
  EXPECT_EQ(BadgeCount(L"\u25BC 1234 neue Zeilen"), -1);
  EXPECT_EQ(BadgeCount(L"1 neue Zeile"), -1);
  EXPECT_EQ(GermanNumber(L"1.234.567"), 1234567);
}

// Scrolled up during a stream, the first visible line stays while the lines grow; the badge
// counts what arrived, and a click on it follows the end again.
TEST_F(LiveLog, ScrolledUpTheViewHoldsWhileLinesArriveAndTheBadgeFollowsAgain) {
  HWND view = program.FocusedView();
  LRESULT top = 0, heldAt = 0;
  {
    TStream stream;
    ASSERT_TRUE(PumpUntil([&] { return LineCount(view) > 200; }, 60000));
    PressKey(VK_UP, {VK_CONTROL});
    PressKey(VK_UP, {VK_CONTROL});
    ASSERT_TRUE(PumpUntil([&] { return Badge(view) != nullptr; }, 20000));
    top = FirstVisibleLine(view);
    heldAt = LineCount(view);
    ASSERT_TRUE(PumpUntil([&] { return LineCount(view) > heldAt + 300; }, 60000));
    EXPECT_EQ(FirstVisibleLine(view), top);
  }
  SendAndWaitShown(view, "Ende");
  EXPECT_EQ(FirstVisibleLine(view), top);
  HWND badge = Badge(view);
  ASSERT_NE(badge, nullptr);
  const long long counted = BadgeCount(WindowText(badge));
  EXPECT_GT(counted, 300) << testing::PrintToString(WindowText(badge));
  // Every line that arrives counts once.
  const LRESULT lines = LineCount(view);
  SendDatagram(kPort, "a");
  SendDatagram(kPort, "b");
  SendAndWaitShown(view, "c");
  EXPECT_EQ(LineCount(view), lines + 3);
  EXPECT_TRUE(PumpUntil([&] { return BadgeCount(WindowText(badge)) == counted + 3; }))
      << testing::PrintToString(WindowText(badge));
  EXPECT_EQ(FirstVisibleLine(view), top);

  ClickWithMouse(badge);
  ASSERT_TRUE(PumpUntil([&] { return Badge(view) == nullptr; }));
  const LRESULT following = FirstVisibleLine(view);
  EXPECT_GT(following, top);
  SendAndWaitShown(view, "danach");
  EXPECT_EQ(FirstVisibleLine(view), following + 1);
  EXPECT_EQ(Badge(view), nullptr);
}

// A flood that outruns a small backlog: every datagram sent is received, and each is either
// shown or counted among the dropped, as the status line and the drop notices say.
TEST(LiveLogCounts, AfterAFloodWithDropsReceivedIsShownPlusDroppedAndAllThatWasSent) {
  TRegistryValueBackup setting(HKEY_CURRENT_USER, kSettingsKey, L"Status Line");
  StoreSettingNumber(L"Status Line", 1);
  TRunningProgram program(L"/Backlog:4");
  HWND main = program.MainWindow();
  HWND view = program.LogView();
  ASSERT_TRUE(PumpUntil([&] { return StatusCount(main, L"Empfangen: ") == 0; }));
  // Nothing dropped yet: the line's text without a trace of red.
  ::SetForegroundWindow(main);
  HWND statusLine = StatusLine(main);
  ASSERT_NE(statusLine, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return StatusInk(statusLine).Dark > 0; }));
  EXPECT_EQ(StatusInk(statusLine).Red, 0u);
  constexpr int kSent = 3000;
  {
    TSocketHandle sock(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = ::htons(kPort);
    to.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
    for (int i = 0; i < kSent; ++i) {
      const std::string text = "Datagramm " + std::to_string(i);
      ASSERT_EQ(::sendto(sock.Get(), text.data(), static_cast<int>(text.size()), 0, reinterpret_cast<sockaddr*>(&to),
                         sizeof to),
                static_cast<int>(text.size()));
    }
  }
  EXPECT_TRUE(PumpUntil(
      [&] {
        return StatusCount(main, L"Empfangen: ") == kSent && StatusField(main, L"Wartend: ") == L"Wartend: 0 Bytes";
      },
      60000))
      << StatusCount(main, L"Empfangen: ");
  long long shown = 0, dropped = 0;
  int lines = 0;
  const std::wstring text = WindowText(view);
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = text.find(L"\r\n", at);
    const std::wstring line = text.substr(at, end - at);
    at = end == std::wstring::npos ? text.size() : end + 2;
    ++lines;
    if (line.rfind(L"Datagramm ", 0) == 0) ++shown;
    if (line.rfind(L"[Tavrino: ", 0) == 0) dropped += std::stoll(line.substr(10));
  }
  EXPECT_GT(dropped, 0);
  EXPECT_EQ(shown + dropped, kSent);
  EXPECT_TRUE(PumpUntil([&] { return StatusCount(main, L"Verworfen: ") == dropped; })) << StatusCount(main, L"Verworfen: ");
  EXPECT_TRUE(PumpUntil([&] { return StatusCount(main, L"Zeilen: ") == lines; })) << StatusCount(main, L"Zeilen: ");
  // Dropped datagrams in red: the line's ink on the screen.
  ::SetForegroundWindow(main);
  EXPECT_TRUE(PumpUntil([&] { return StatusInk(statusLine).Red > 0; }));
}

// Switched off in the view's context menu, the status line stays off at the next start.
TEST(LiveLogCounts, StatusLineSwitchedOffInTheViewsMenuStaysOff) {
  TRegistryValueBackup setting(HKEY_CURRENT_USER, kSettingsKey, L"Status Line");
  StoreSettingNumber(L"Status Line", 1);
  {
    TRunningProgram program;
    HWND main = program.MainWindow();
    HWND view = program.LogView();
    ASSERT_TRUE(PumpUntil([&] { return StatusField(main, L"Empfangen: ").has_value(); }));
    ChooseInViewMenu(main, view, {'S'});
    EXPECT_TRUE(PumpUntil([&] { return !StatusField(main, L"Empfangen: ").has_value(); }));
    EXPECT_TRUE(PumpUntil([&] { return StoredSettingNumber(L"Status Line") == 0; }));
    // And on again the same way, while the program runs.
    ChooseInViewMenu(main, view, {'S'});
    EXPECT_TRUE(PumpUntil([&] { return StatusField(main, L"Empfangen: ").has_value(); }));
    EXPECT_TRUE(PumpUntil([&] { return StoredSettingNumber(L"Status Line") == 1; }));
    ChooseInViewMenu(main, view, {'S'});
    EXPECT_TRUE(PumpUntil([&] { return StoredSettingNumber(L"Status Line") == 0; }));
    // The view takes the room.
    RECT viewRect, client;
    ::GetWindowRect(view, &viewRect);
    ::GetClientRect(main, &client);
    EXPECT_EQ(viewRect.bottom - viewRect.top, client.bottom);
  }
  TRunningProgram again;
  HWND main = again.MainWindow();
  ASSERT_TRUE(PumpUntil([&] { return WindowText(main) == L"Zevrik Tavrino    Port 6702"; }));
  EXPECT_FALSE(StatusField(main, L"Empfangen: ").has_value());
}

// A control of the main window by its class and text, when it shows.
HWND Shown(HWND main, const std::wstring& className, const std::wstring& text) {
  for (HWND wnd : ChildWindows(main, className))
    if (::IsWindowVisible(wnd) && WindowText(wnd) == text) return wnd;
  return nullptr;
}

std::pair<DWORD, DWORD> SelectionOf(HWND view) {
  DWORD start = 0, end = 0;
  ::SendMessageW(view, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

// Ctrl+F, typing, Enter, F3 and Shift+F3, the case switch and Esc, as a user gives them; the
// count and the selection each leaves, read from outside.
TEST_F(LiveLog, FindBarFindsTypedTextAndLeavesTheSelectionOnTheMatch) {
  HWND view = program.FocusedView();
  HWND main = program.MainWindow();
  for (const char* line : {"eins Fehler", "zwei", "drei FEHLER", "vier fehler"}) SendDatagram(kPort, line);
  ASSERT_TRUE(PumpUntil([&] { return WindowText(view) == L"eins Fehler\r\nzwei\r\ndrei FEHLER\r\nvier fehler\r\n"; }));

  // The bar's windows are made when it first opens.
  EXPECT_TRUE(ChildWindows(main, L"Edit").empty());
  PressKey('F', {VK_CONTROL});
  HWND edit = nullptr;
  ASSERT_TRUE(PumpUntil([&] {
    edit = FocusedWindowOf(view);
    return edit && edit != view && ::IsWindowVisible(edit);
  }));
  // Between the view and the status line (or the window's bottom edge, without one).
  auto rectInMain = [&](HWND wnd) {
    RECT r;
    ::GetWindowRect(wnd, &r);
    ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
    return r;
  };
  RECT client;
  ::GetClientRect(main, &client);
  const RECT bar = rectInMain(::GetParent(edit));
  HWND statusLine = StatusLine(main);
  EXPECT_EQ(bar.bottom, statusLine ? rectInMain(statusLine).top : client.bottom);
  EXPECT_EQ(rectInMain(view).bottom, bar.top);
  TypeText(L"fehler");
  EXPECT_TRUE(PumpUntil([&] { return Shown(main, L"Static", L"3 Treffer") != nullptr; }));
  // Matches in sight are marked.
  EXPECT_TRUE(PumpUntil([&] {
    const TScreenPixels pixels = ScreenPixels(ScreenClientRect(view));
    return std::count(pixels.Pixels.begin(), pixels.Pixels.end(), RGB(255, 226, 110)) > 0;
  }));

  PressKey(VK_RETURN);  // from the caret at the end around to the first
  EXPECT_TRUE(PumpUntil([&] { return SelectionOf(view) == std::make_pair(DWORD{5}, DWORD{11}); }));
  EXPECT_TRUE(PumpUntil([&] { return Shown(main, L"Static", L"1 von 3") != nullptr; }));
  PressKey(VK_F3);
  EXPECT_TRUE(PumpUntil([&] { return SelectionOf(view) == std::make_pair(DWORD{24}, DWORD{30}); }));
  EXPECT_TRUE(PumpUntil([&] { return Shown(main, L"Static", L"2 von 3") != nullptr; }));
  PressKey(VK_F3, {VK_SHIFT});
  EXPECT_TRUE(PumpUntil([&] { return SelectionOf(view) == std::make_pair(DWORD{5}, DWORD{11}); }));

  HWND matchCase = Shown(main, L"Button", L"Groß-/Kleinschreibung");
  ASSERT_NE(matchCase, nullptr);
  ClickWithMouse(matchCase);
  EXPECT_TRUE(PumpUntil([&] { return Shown(main, L"Static", L"1 Treffer") != nullptr; }));
  HWND next = Shown(main, L"Button", L"Weiter");
  ASSERT_NE(next, nullptr);
  ClickWithMouse(next);
  EXPECT_TRUE(PumpUntil([&] { return SelectionOf(view) == std::make_pair(DWORD{37}, DWORD{43}); }));
  EXPECT_TRUE(PumpUntil([&] { return Shown(main, L"Static", L"1 von 1") != nullptr; }));

  PressKey(VK_ESCAPE);
  EXPECT_TRUE(PumpUntil([&] { return !::IsWindowVisible(edit); }));
  EXPECT_TRUE(PumpUntil([&] { return FocusedWindowOf(view) == view; }));
  EXPECT_EQ(SelectionOf(view), std::make_pair(DWORD{37}, DWORD{43}));
}

}  // namespace
