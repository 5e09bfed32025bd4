// The view's options in its context menu, as a user sets them: the character set of text
// datagrams, the time and sender columns, colours by level and a limit on the lines kept. Each
// is read back as the user sees it: the view's lines, its pixels, the status line, the registry.
#include "e2e/RunningProgram.h"
#include "base/Unicode.h"
#include "support/Pump.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"

#include <atomic>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <thread>

namespace {

constexpr int kPort = 6702;
const std::string kGreetingUtf8 = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93";  // "Grüße ✓"

// Waits until the view has a line more than before (the datagram just sent) and returns it.
std::wstring NextLine(HWND view, LRESULT& lines) {
  const LRESULT before = lines;
  EXPECT_TRUE(PumpUntil([&] { return (lines = LineCount(view)) > before; })) << "no new line";
  return LineOf(view, before - 1);
}

// The character set chosen when each datagram arrived decodes it: a UTF-8 greeting in each mode.
TEST(ViewOptions, CharsetIsChosenInTheMenuKeptAndAppliesToWhatArrivesFromThen) {
  TSettingAtDefault setting(L"Charset");
  {
    TRunningProgram program;
    HWND main = program.MainWindow();
    HWND view = program.LogView();
    LRESULT lines = LineCount(view);
    SendDatagram(kPort, kGreetingUtf8);
    EXPECT_EQ(NextLine(view, lines), AnsiToText(kGreetingUtf8));  // ANSI, as always
    ChooseInViewMenu(main, view, {'Z', 'U'});
    EXPECT_TRUE(PumpUntil([] { return StoredSettingText(L"Charset") == L"UTF-8"; }));
    SendDatagram(kPort, kGreetingUtf8);
    EXPECT_EQ(NextLine(view, lines), L"Grüße ✓");
    EXPECT_EQ(LineOf(view, 0), AnsiToText(kGreetingUtf8));  // shown as it was received
    ChooseInViewMenu(main, view, {'Z', 'T'});
    EXPECT_TRUE(PumpUntil([] { return StoredSettingText(L"Charset") == L"Auto"; }));
  }
  TRunningProgram again;
  HWND view = again.LogView();
  LRESULT lines = LineCount(view);
  SendDatagram(kPort, kGreetingUtf8);
  EXPECT_EQ(NextLine(view, lines), L"Grüße ✓");
  SendDatagram(kPort, "Gr\xFC\xDF" "e");  // no UTF-8: ANSI
  EXPECT_EQ(NextLine(view, lines), L"Grüße");
  SendDatagram(kPort, "Gr\xC3\xBC\xC3");  // cut short: not UTF-8 either
  EXPECT_EQ(NextLine(view, lines), AnsiToText("Gr\xC3\xBC\xC3"));
}

// Minutes of the day and milliseconds, local time.
long long LocalMsecOfDay(const SYSTEMTIME& time) {
  return ((time.wHour * 60LL + time.wMinute) * 60 + time.wSecond) * 1000 + time.wMilliseconds;
}

// "hh:mm:ss.mmm" as milliseconds of the day, or -1.
long long ParseTime(const std::wstring& text) {
  unsigned h, m, s, ms;
  wchar_t tail;
  if (text.size() != 12 || swscanf(text.c_str(), L"%2u:%2u:%2u.%3u%lc", &h, &m, &s, &ms, &tail) != 4) return -1;
  return ((h * 60LL + m) * 60 + s) * 1000 + ms;
}

// Time and sender columns before each datagram's first line, its other lines and hex rows
// indented to match; taken when the datagram arrived, from the socket that sent it.
TEST(ViewOptions, ReceiveTimeAndSenderColumnsNameWhenAndWhereEachDatagramCameFrom) {
  TSettingAtDefault time(L"Receive Time");
  TSettingAtDefault sender(L"Sender");
  TRunningProgram program;
  HWND main = program.MainWindow();
  HWND view = program.LogView();
  ChooseInViewMenu(main, view, {'P'});
  ChooseInViewMenu(main, view, {'B'});
  EXPECT_TRUE(PumpUntil([] { return StoredSettingNumber(L"Receive Time") == 1 && StoredSettingNumber(L"Sender") == 1; }));

  TDatagramSender socket;
  const LRESULT at = LineCount(view) - 1;  // the empty last line, where the next one goes
  SYSTEMTIME before, after;
  ::GetLocalTime(&before);
  socket.Send("eins\r\nzwei");
  ASSERT_TRUE(PumpUntil([&] { return LineCount(view) >= at + 3; }));
  ::GetLocalTime(&after);
  const std::wstring first = LineOf(view, at);
  ASSERT_GE(first.size(), 35u) << first;
  const long long arrived = ParseTime(first.substr(0, 12));
  if (LocalMsecOfDay(after) < LocalMsecOfDay(before)) GTEST_SKIP() << "skipped: the day changed during the case";
  EXPECT_GE(arrived, LocalMsecOfDay(before)) << first;
  EXPECT_LE(arrived, LocalMsecOfDay(after)) << first;
  std::wstring senderColumn = L"127.0.0.1:" + std::to_wstring(socket.Port());
  senderColumn.resize(21, L' ');
  EXPECT_EQ(first.substr(12), L" " + senderColumn + L" eins");
  const std::wstring indent(35, L' ');
  EXPECT_EQ(LineOf(view, at + 1), indent + L"zwei");

  // Hex rows: the first after the columns, the next indented.
  const TToolButtonSeen hex = program.Button(L"Hex");
  ClickWithMouse(hex);
  ASSERT_TRUE(PumpUntil([&] { return hex.Down(); }));
  LRESULT lines = LineCount(view);
  socket.Send("123456789");
  ASSERT_TRUE(PumpUntil([&] { return LineCount(view) >= lines + 2; }));
  EXPECT_EQ(LineOf(view, lines - 1).substr(12, 26), L" " + senderColumn + L" 31 ");
  EXPECT_EQ(LineOf(view, lines).substr(0, 38), indent + L"39 ");

  // Off again: no columns.
  ClickWithMouse(hex);
  ChooseInViewMenu(main, view, {'P'});
  ChooseInViewMenu(main, view, {'B'});
  EXPECT_TRUE(PumpUntil([] { return StoredSettingNumber(L"Receive Time") == 0 && StoredSettingNumber(L"Sender") == 0; }));
  lines = LineCount(view);
  socket.Send("ohne");
  EXPECT_EQ(NextLine(view, lines), L"ohne");
}

// The top of a line's row in the view's client area (the line must hold a character).
int RowTop(HWND view, LRESULT line) {
  const auto start = static_cast<WPARAM>(Ask(view, EM_LINEINDEX, static_cast<WPARAM>(line)));
  return static_cast<short>(HIWORD(Ask(view, EM_POSFROMCHAR, start)));
}

// The darkest pixel of a line's row in the view: the colour its text is drawn in. The row's
// height is that of the first row (lines 0 and 1 hold text).
COLORREF DarkestInRow(HWND view, LRESULT line) {
  const int height = RowTop(view, 1) - RowTop(view, 0);
  const RECT client = ScreenClientRect(view);
  RECT row = client;
  row.top = client.top + RowTop(view, line);
  row.bottom = row.top + height;
  row.right = row.left + 120;
  if (height <= 0 || row.top < client.top || row.bottom > client.bottom) return RGB(255, 255, 255);
  const TScreenPixels pixels = ScreenPixels(row);
  COLORREF darkest = RGB(255, 255, 255);
  for (COLORREF c : pixels.Pixels)
    if (GetRValue(c) + GetGValue(c) + GetBValue(c) < GetRValue(darkest) + GetGValue(darkest) + GetBValue(darkest))
      darkest = c;
  return darkest;
}

bool IsRed(COLORREF c) { return GetRValue(c) > 140 && GetGValue(c) < 60 && GetBValue(c) < 60; }
bool IsDarkYellow(COLORREF c) {
  return GetRValue(c) > 90 && GetGValue(c) > 90 && std::abs(GetRValue(c) - GetGValue(c)) < 40 && GetBValue(c) < 50;
}
bool IsGrey(COLORREF c) {
  return GetRValue(c) > 90 && GetRValue(c) < 200 && GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c);
}
bool IsBlack(COLORREF c) { return GetRValue(c) < 60 && GetGValue(c) < 60 && GetBValue(c) < 60; }

// Lines with a level word or a syslog priority are drawn in its colour, on by default; the
// menu switches the colours off and on for every line.
TEST(ViewOptions, LinesAreDrawnInTheColourOfTheirLevel) {
  TSettingAtDefault setting(L"Level Colours");
  TRunningProgram program;
  HWND main = program.MainWindow();
  HWND view = program.LogView();
  ::SetForegroundWindow(main);
  for (const char* text : {"ERROR Platte voll", "alles gut", "<12>WARNUNG fast voll", "debug: x=1"})
    SendDatagram(kPort, text);
  ASSERT_TRUE(PumpUntil([&] { return LineOf(view, 3) == L"debug: x=1"; }));
  COLORREF error = 0, plain = 0, warning = 0, debug = 0;
  auto read = [&] {
    error = DarkestInRow(view, 0);
    plain = DarkestInRow(view, 1);
    warning = DarkestInRow(view, 2);
    debug = DarkestInRow(view, 3);
  };
  EXPECT_TRUE(PumpUntil([&] {
    read();
    return IsRed(error) && IsBlack(plain) && IsDarkYellow(warning) && IsGrey(debug);
  })) << std::hex << error << " " << plain << " " << warning << " " << debug;

  ChooseInViewMenu(main, view, {'F'});
  EXPECT_TRUE(PumpUntil([] { return StoredSettingNumber(L"Level Colours") == 0; }));
  EXPECT_TRUE(PumpUntil([&] {
    read();
    return IsBlack(error) && IsBlack(plain) && IsBlack(warning) && IsBlack(debug);
  })) << std::hex << error << " " << plain << " " << warning << " " << debug;
  ChooseInViewMenu(main, view, {'F'});
  EXPECT_TRUE(PumpUntil([&] {
    read();
    return IsRed(error);
  }));
}

// A flood into a view that keeps at most 100,000 lines: the oldest go (in whole blocks of the
// view's text), the first line says how many, and the window answers throughout. (The system may
// drop datagrams of such a flood before the program sees them: the counts are checked against
// what the program received.)
TEST(ViewOptions, FloodWithALineLimitKeepsTheLinesAtTheLimit) {
  TSettingAtDefault setting(L"Line Limit");
  StoreSettingNumber(L"Line Limit", 100000);
  TRunningProgram program;
  HWND main = program.MainWindow();
  HWND view = program.LogView();
  std::atomic<bool> sent{false};
  std::thread flood([&] {
    TDatagramSender socket;
    for (int i = 0; i < 150000; ++i) {
      socket.Send("Zeile " + std::to_string(i));
      if (i % 500 == 499) ::Sleep(20);  // at most 25,000 a second
    }
    sent = true;
  });
  LRESULT most = 0;
  bool answered = true;
  auto watch = [&] {
    DWORD_PTR result = 0;
    answered = answered && ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
    most = std::max(most, LineCount(view));
  };
  PumpUntil([&] {
    watch();
    return sent.load();
  }, 180000);
  flood.join();
  // The end, once what was sent is shown.
  TDatagramSender socket;
  ASSERT_TRUE(PumpUntil([&] {
    watch();
    socket.Send("Ende");
    return LineOf(view, LineCount(view) - 2) == L"Ende";
  }, 60000));
  EXPECT_TRUE(answered);
  EXPECT_LE(most, 100000);
  EXPECT_GT(most, 90000);
  // "[Tavrino: 12.345 ältere Zeilen entfernt]", then the oldest line kept.
  const std::wstring notice = LineOf(view, 0), head = L"[Tavrino: ", tail = L" ältere Zeilen entfernt]";
  ASSERT_TRUE(notice.starts_with(head) && notice.ends_with(tail)) << notice;
  const std::wstring removedText = notice.substr(head.size(), notice.size() - head.size() - tail.size());
  const long long removed = GermanNumber(removedText);
  EXPECT_GT(removed, 0) << notice;
  EXPECT_TRUE(LineOf(view, 1).starts_with(L"Zeile ")) << LineOf(view, 1);
  // Every line received is kept or counted as removed: the notice and the empty last line aside.
  long long received = -1;
  ASSERT_TRUE(PumpUntil([&] {
    received = StatusCount(main, L"Empfangen: ");
    return removed + LineCount(view) - 2 == received;
  })) << removed << " removed, " << LineCount(view) << " lines, " << received << " received";
  EXPECT_EQ(StatusCount(main, L"Verworfen: "), 0);
  EXPECT_TRUE(PumpUntil([&] {
    const std::optional<std::wstring> lines = StatusField(main, L"Zeilen: ");
    return lines && lines->ends_with(L"(höchstens 100.000, " + removedText + L" entfernt)");
  }));
}

}  // namespace
