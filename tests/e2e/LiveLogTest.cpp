// The real program as a live log people work in: the view holds still while they read and
// tells how many lines arrived meanwhile.
#include "e2e/RunningProgram.h"
#include "support/Pump.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"

#include <atomic>
#include <thread>

namespace {

constexpr int kPort = 6702;

LRESULT Ask(HWND wnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(wnd, msg, wParam, lParam, SMTO_NORMAL, 10000, &result);
  return static_cast<LRESULT>(result);
}
LRESULT LineCount(HWND view) { return Ask(view, EM_GETLINECOUNT); }
LRESULT FirstVisibleLine(HWND view) { return Ask(view, EM_GETFIRSTVISIBLELINE); }

std::wstring LineOf(HWND view, LRESULT line) {
  wchar_t text[256] = {};
  *reinterpret_cast<WORD*>(text) = 255;
  const LRESULT length = Ask(view, EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(text));
  return std::wstring(text, static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
}

// The badge of the view when it shows, else null.
HWND Badge(HWND view) {
  HWND badge = ::FindWindowExW(view, nullptr, L"Static", nullptr);
  return badge && ::IsWindowVisible(badge) ? badge : nullptr;
}

// The count a badge text "▼ 1.234 neue Zeilen" gives, or -1 when the text is not of that form.
long long BadgeCount(const std::wstring& text) {
  const std::wstring head = L"\u25BC ", tail = L" neue Zeilen";
  if (text.size() <= head.size() + tail.size() || text.compare(0, head.size(), head) != 0 ||
      text.compare(text.size() - tail.size(), tail.size(), tail) != 0)
    return -1;
  const std::wstring number = text.substr(head.size(), text.size() - head.size() - tail.size());
  long long count = 0;
  for (std::size_t i = 0; i < number.size(); ++i) {
    // Groups of three digits, separated by points, from the right.
    if ((number.size() - i) % 4 == 0) {
      if (number[i] != L'.') return -1;
      continue;
    }
    if (number[i] < L'0' || number[i] > L'9') return -1;
    count = count * 10 + (number[i] - L'0');
  }
  return count;
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
  HWND StartFocused() {
    HWND view = program.LogView();
    EXPECT_NE(view, nullptr);
    ::SetForegroundWindow(program.MainWindow());
    EXPECT_TRUE(PumpUntil([&] { return FocusedWindowOf(view) == view; }));
    return view;
  }
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
}

// Scrolled up during a stream, the first visible line stays while the lines grow; the badge
// counts what arrived, and a click on it follows the end again.
TEST_F(LiveLog, ScrolledUpTheViewHoldsWhileLinesArriveAndTheBadgeFollowsAgain) {
  HWND view = StartFocused();
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

}  // namespace
