// The log view control in a real window: its lines, the edit control's messages (answered as
// Wine's edit control answers them, side by side), scroll bars and fonts, keys, typing, the
// clipboard, the mouse and its context menu, all given as a user or a caller gives them.
#include "base/Unicode.h"
#include "support/Pump.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"
#include "toolkit/Clipbrd.h"
#include "toolkit/LogMemo.h"
#include "toolkit/MouseAt.h"
#include "toolkit/ToolkitTestSupport.h"

#include <climits>
#include <cstdio>
#include <oleacc.h>
#include <optional>

namespace {

using TPos = TLogMemo::TPos;

TFontDesc LogFont(int points) {
  TFontDesc font = TFontDesc::FromPoints(L"Consolas", points);
  font.Pitch = fpFixed;
  font.Family = FF_MODERN;
  return font;
}

LRESULT Send(HWND wnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return ::SendMessageW(wnd, msg, wParam, lParam); }

std::wstring TextOf(HWND wnd) {
  std::wstring text(static_cast<std::size_t>(Send(wnd, WM_GETTEXTLENGTH)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(Send(wnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

SCROLLINFO ScrollInfoOf(HWND wnd, int bar) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  ::GetScrollInfo(wnd, bar, &info);
  return info;
}

std::pair<DWORD, DWORD> SelectionOf(HWND wnd) {
  DWORD start = 0, end = 0;
  Send(wnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

// Keys as a short script: plain characters are typed; {KEY} presses a key, with modifiers
// before a "+": {S+LEFT} is Shift+Left, {C+HOME} Ctrl+Home, {CS+END} Ctrl+Shift+End.
void RunScript(const std::wstring& script) {
  static const std::pair<const wchar_t*, WORD> keys[] = {
      {L"LEFT", VK_LEFT}, {L"RIGHT", VK_RIGHT}, {L"UP", VK_UP},     {L"DOWN", VK_DOWN},     {L"HOME", VK_HOME},
      {L"END", VK_END},   {L"PGUP", VK_PRIOR},  {L"PGDN", VK_NEXT}, {L"BS", VK_BACK},       {L"DEL", VK_DELETE},
      {L"ENTER", VK_RETURN}, {L"TAB", VK_TAB},  {L"INS", VK_INSERT}, {L"A", 'A'}, {L"C", 'C'}, {L"V", 'V'},
      {L"X", 'X'},        {L"Z", 'Z'}};
  std::wstring typed;
  for (std::size_t i = 0; i < script.size(); ++i) {
    if (script[i] != L'{') {
      typed += script[i];
      continue;
    }
    TypeText(typed);
    typed.clear();
    const std::size_t end = script.find(L'}', i);
    std::wstring name = script.substr(i + 1, end - i - 1);
    i = end;
    std::vector<WORD> modifiers;
    if (const std::size_t plus = name.find(L'+'); plus != std::wstring::npos) {
      for (wchar_t m : name.substr(0, plus)) modifiers.push_back(m == L'C' ? VK_CONTROL : m == L'A' ? VK_MENU : VK_SHIFT);
      name.erase(0, plus + 1);
    }
    for (const auto& [keyName, key] : keys) {
      if (name != keyName) continue;
      if (modifiers.size() == 2)
        PressKey(key, {modifiers[0], modifiers[1]});
      else if (modifiers.size() == 1)
        PressKey(key, {modifiers[0]});
      else
        PressKey(key);
    }
  }
  TypeText(typed);
}

INPUT MouseInput(POINT screen, DWORD buttons) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = ::MulDiv(screen.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = ::MulDiv(screen.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
  return in;
}

// The mouse moved to a point of the screen, with buttons pressed or let go on the way.
void MouseTo(POINT screen, DWORD buttons = 0) {
  INPUT in = MouseInput(screen, buttons);
  ::SendInput(1, &in, sizeof(INPUT));
}

// Mouse input given one step every 100 ms by a timer, as a hand gives it: also while a modal
// loop of the system (a scroll bar's thumb being dragged) runs instead of the test's own.
std::vector<INPUT> gLaterInput;

void CALLBACK GiveLaterInput(HWND, UINT, UINT_PTR timer, DWORD) {
  if (gLaterInput.empty()) {
    ::KillTimer(nullptr, timer);
    return;
  }
  ::SendInput(1, gLaterInput.data(), sizeof(INPUT));
  gLaterInput.erase(gLaterInput.begin());
}

void MouseLater(std::vector<INPUT> steps) {
  gLaterInput = std::move(steps);
  ::SetTimer(nullptr, 0, 100, GiveLaterInput);
}

// What an open context menu shows, read while it is open (its own message loop runs the
// timer); then "Alles markieren" is chosen with its key.
struct TOpenMenu {
  std::vector<std::wstring> Items;
  std::vector<bool> Enabled;
  bool Read = false;
};
TOpenMenu* gOpenMenu = nullptr;

void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND popup = ::FindWindowW(L"#32768", nullptr);
  if (!gOpenMenu || gOpenMenu->Read || !popup || !::IsWindowVisible(popup)) return;
  HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
    gOpenMenu->Items.push_back(text);
    gOpenMenu->Enabled.push_back(!(::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)));
  }
  gOpenMenu->Read = true;
  ::KillTimer(nullptr, timer);
  PressKey('M');
}

class LogMemoTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (Clipboard().HasText()) savedClipboard = Clipboard().AsText();
    form = NewForm(400, 300);
    memo = Place<TLogMemo>(form.get(), form.get(), 0, 0, 400, 300);
    memo->SetAlign(alClient);
    memo->SetFont(LogFont(9));
    memo->OnKeyDown = [this](TObject*, unsigned short& key, TShiftState) {
      if (key == VK_F24) {
        ++sentinels;
        key = 0;
      }
    };
    memo->OnChange = [this](TObject*) { ++changes; };
    form->Show();
    PumpFor(20);
  }
  void TearDown() override {
    form.reset();
    if (savedClipboard) Clipboard().SetAsText(*savedClipboard);
  }
  HWND View() const { return memo->Handle(); }
  void ShowFocused() {
    ::SetForegroundWindow(form->Handle());
    memo->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == View(); }));
  }
  // Runs the script and waits until the control has seen all of it.
  void Play(const std::wstring& script) {
    RunScript(script);
    PressKey(VK_F24);
    const int expected = sentinels + 1;
    ASSERT_TRUE(PumpUntil([&] { return sentinels == expected; }));
  }
  // Where a character's cell is on the screen (client pixels), and a row's height.
  POINT PointOf(TPos pos) {
    const LRESULT p = Send(View(), EM_POSFROMCHAR, static_cast<WPARAM>(pos));
    return POINT{static_cast<short>(LOWORD(p)), static_cast<short>(HIWORD(p))};
  }
  int RowHeight() {
    TEXTMETRICW metrics{};
    HDC dc = ::GetDC(View());
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(Send(View(), WM_GETFONT)));
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(View(), dc);
    return metrics.tmHeight;
  }
  int CellWidth() { return PointOf(1).x - PointOf(0).x; }
  std::wstring NumberedLines(int count, int width = 0) {
    std::wstring text;
    for (int i = 0; i < count; ++i) {
      std::wstring line = L"Zeile " + std::to_wstring(i);
      if (width > 0) line.resize(static_cast<std::size_t>(width), L'x');
      text += line + L"\r\n";
    }
    return text;
  }

  std::unique_ptr<TForm> form;
  TLogMemo* memo = nullptr;
  int sentinels = 0;
  int changes = 0;
  std::optional<std::wstring> savedClipboard;
};

// ---- lines ----

TEST_F(LogMemoTest, AddedLinesEachTakeALineOfTheirOwn) {
  TStrings& lines = memo->Lines();
  lines.Add(L"eins");
  lines.Add(L"a\r\nb");  // a line with a break inside becomes two
  EXPECT_EQ(TextOf(View()), L"eins\r\na\r\nb\r\n");
  EXPECT_EQ(lines.Count(), 3);
  EXPECT_EQ(lines.Get(2), L"b");
  EXPECT_THROW(lines.Get(3), std::out_of_range);

  // Typed behind the last break: the next line still starts on a line of its own.
  Send(View(), EM_SETSEL, 12, 12);
  Send(View(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"getippt"));
  EXPECT_EQ(lines.Add(L"zwei"), 4);
  EXPECT_EQ(lines.ToVector(), (std::vector<std::wstring>{L"eins", L"a", L"b", L"getippt", L"zwei"}));

  lines.Insert(1, L"davor");
  lines.Delete(0);
  lines.Insert(lines.Count(), L"ende");
  EXPECT_EQ(lines.ToVector(), (std::vector<std::wstring>{L"davor", L"a", L"b", L"getippt", L"zwei", L"ende"}));
  lines.Clear();
  EXPECT_EQ(lines.Count(), 0);
  EXPECT_EQ(TextOf(View()), L"");
}

// Every character stays as it was given: lone CR and LF, tabs, control characters and zero
// characters are text of their line (the edit control ended a text at its first zero).
TEST_F(LogMemoTest, EveryCharacterStaysAsGiven) {
  const std::wstring line(L"a\rb\nc\td\x01\x7F\x9D\0e", 12);
  memo->Lines().Add(line);
  EXPECT_EQ(TextOf(View()), line + L"\r\n");
  EXPECT_EQ(Send(View(), EM_GETLINECOUNT), 2);
  EXPECT_EQ(memo->Lines().Get(0), line);
}

// Every code unit there is, in rows of 256, painted row by row: none upsets the painting.
TEST_F(LogMemoTest, EveryCodeUnitPaintsSafely) {
  std::wstring text;
  for (int unit = 0; unit < 0x10000; ++unit) {
    text += static_cast<wchar_t>(unit);
    if (unit % 256 == 255) text += L"\r\n";
  }
  memo->Lines().SetText(text);
  for (TPos line = 0; line < 256; line += 4) {
    memo->SetTopLine(line);
    ::RedrawWindow(View(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  EXPECT_TRUE(TextOf(View()) == text);
  EXPECT_EQ(Send(View(), EM_GETLINECOUNT), 257);
}

// ---- the edit control's messages, answered as the edit control answers them ----

class LogMemoMessages : public LogMemoTest {
protected:
  void SetUp() override {
    LogMemoTest::SetUp();
    edit = Place<TMemo>(form.get(), form.get(), 0, 0, 400, 300);
    edit->SetScrollBars(ssBoth);
    edit->SetWordWrap(false);
    edit->HandleNeeded();
  }
  // What a caller reads from a control holding the text, as one list of answers.
  std::vector<std::string> Answers(HWND wnd, const std::wstring& text) {
    std::vector<std::string> out;
    // (Pointers are not written down: they differ between the two.)
    auto ask = [&](const char* name, UINT msg, WPARAM wParam, LPARAM lParam, const wchar_t* buffer = nullptr) {
      const LRESULT result = Send(wnd, msg, wParam, lParam);
      const bool pointers = msg == EM_GETSEL || msg == EM_GETLINE || msg == WM_GETTEXT;
      char row[160];
      std::snprintf(row, sizeof row, "%s(%d, %d) = %lld", name, msg == EM_GETSEL ? 0 : static_cast<int>(wParam),
                    pointers ? 0 : static_cast<int>(lParam), static_cast<long long>(result));
      out.push_back(row);
      if (buffer) out.back().append(1, ' ').append(testing::PrintToString(std::wstring(buffer, static_cast<std::size_t>(std::max<LRESULT>(result, 0)))));
    };
    ::SetWindowTextW(wnd, text.c_str());
    const int length = static_cast<int>(text.size());
    ask("WM_GETTEXTLENGTH", WM_GETTEXTLENGTH, 0, 0);
    ask("EM_GETLINECOUNT", EM_GETLINECOUNT, 0, 0);
    const int lines = static_cast<int>(Send(wnd, EM_GETLINECOUNT));
    for (int line = -1; line <= lines + 1; ++line) ask("EM_LINEINDEX", EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    for (int index = 0; index <= length + 1; ++index) {
      ask("EM_LINELENGTH", EM_LINELENGTH, static_cast<WPARAM>(index), 0);
      ask("EM_LINEFROMCHAR", EM_LINEFROMCHAR, static_cast<WPARAM>(index), 0);
    }
    for (int line = 0; line <= lines; ++line) {
      for (WORD room : {WORD{3}, WORD{100}}) {
        wchar_t buffer[100] = {room};
        ask("EM_GETLINE", EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(buffer), buffer);
      }
    }
    for (int size : {0, 1, 2, length, length + 1, length + 10}) {
      std::wstring buffer(static_cast<std::size_t>(size) + 1, L'#');
      ask("WM_GETTEXT", WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer.data()), buffer.c_str());
    }
    const std::pair<int, int> selections[] = {{0, -1}, {2, 5}, {5, 2}, {-1, 0}, {3, 3}, {100, 200}, {7, 12}};
    for (const auto& [start, end] : selections) {
      ask("EM_SETSEL", EM_SETSEL, static_cast<WPARAM>(start), end);
      DWORD from = 0, to = 0;
      ask("EM_GETSEL", EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
      out.back().append(1, ' ').append(std::to_string(from)).append(1, '-').append(std::to_string(to));
      ask("EM_LINEFROMCHAR", EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0);
      ask("EM_LINEINDEX", EM_LINEINDEX, static_cast<WPARAM>(-1), 0);
    }
    return out;
  }
  // Edits and undos as a caller makes them, and what the control then holds.
  std::vector<std::string> Edits(HWND wnd, const std::wstring& text) {
    std::vector<std::string> out;
    auto state = [&](const char* step) {
      const auto [from, to] = SelectionOf(wnd);
      out.push_back(std::string(step) + ": " + testing::PrintToString(TextOf(wnd)) + " " + std::to_string(from) + "-" +
                    std::to_string(to) + " undo " + std::to_string(Send(wnd, EM_CANUNDO)));
    };
    auto replace = [&](int from, int to, const wchar_t* by, bool undoable) {
      Send(wnd, EM_SETSEL, static_cast<WPARAM>(from), to);
      Send(wnd, EM_REPLACESEL, undoable, reinterpret_cast<LPARAM>(by));
    };
    ::SetWindowTextW(wnd, text.c_str());
    state("set");
    replace(2, 2, L"x", true);
    replace(3, 3, L"y", true);  // typed on: one undo
    state("typed");
    Send(wnd, EM_UNDO);
    state("undone");
    Send(wnd, EM_UNDO);
    state("redone");
    replace(4, 6, L"", true);
    replace(3, 4, L"", true);  // Backspace before it: one undo
    state("deleted");
    Send(wnd, WM_UNDO);
    state("undone");
    replace(0, 1, L"\r\n", false);  // not undoable: the undo goes
    state("replaced");
    replace(1, 3, L"zz", true);
    Send(wnd, EM_EMPTYUNDOBUFFER);
    state("emptied");
    Send(wnd, EM_SETSEL, 0, 3);
    Send(wnd, WM_CLEAR);
    state("cleared");
    Send(wnd, EM_UNDO);
    state("undone");
    return out;
  }
  TMemo* edit = nullptr;
};

void ExpectSameAnswers(const std::vector<std::string>& ours, const std::vector<std::string>& edits) {
  ASSERT_EQ(ours.size(), edits.size());
  for (std::size_t i = 0; i < ours.size(); ++i) EXPECT_EQ(ours[i], edits[i]) << "answer " << i;
}

// (No lone LF in these texts: Wine's edit control ends a line there, Windows' edit control
// does not, nor does the log view, which shows it as a character of its line.)
TEST_F(LogMemoMessages, AnswerAsTheEditControlAnswers) {
  for (const std::wstring& text : {std::wstring(), std::wstring(L"eins\r\nzwei drei\r\n\r\n\tvier\r\nfünf"),
                                  std::wstring(L"a\rb\tc\r\n"), std::wstring(L"\r\n")}) {
    SCOPED_TRACE(testing::PrintToString(text));
    ExpectSameAnswers(Answers(View(), text), Answers(edit->Handle(), text));
    ExpectSameAnswers(Edits(View(), text + L"0123456789"), Edits(edit->Handle(), text + L"0123456789"));
  }
}

// EM_LINELENGTH with -1: the characters of the selected lines that are not selected. (Wine's
// edit control counts from its anchor, so a selection made backwards gives another number.)
TEST_F(LogMemoTest, LineLengthOfTheSelectionCountsWhatItsLinesHoldBesideIt) {
  ::SetWindowTextW(View(), L"eins\r\nzwei drei\r\nx");
  const struct {
    int from, to;
    LRESULT unselected;
  } rows[] = {{2, 3, 3}, {3, 2, 3}, {2, 8, 2 + 7}, {8, 2, 2 + 7}, {0, 17, 1}, {6, 6, 9}};
  for (const auto& row : rows) {
    Send(View(), EM_SETSEL, static_cast<WPARAM>(row.from), row.to);
    EXPECT_EQ(Send(View(), EM_LINELENGTH, static_cast<WPARAM>(-1)), row.unselected) << row.from << "-" << row.to;
  }
}

TEST_F(LogMemoTest, FontIsTheOneSetAndTheTextLengthIsKept) {
  HFONT font = reinterpret_cast<HFONT>(Send(View(), WM_GETFONT));
  EXPECT_EQ(font, memo->FontHandle());
  memo->Lines().Add(std::wstring(70000, L'x'));
  EXPECT_EQ(Send(View(), WM_GETTEXTLENGTH), 70002);
  EXPECT_EQ(Send(View(), EM_LINELENGTH, 0), 70000);  // beyond the 65,535 of a WORD
}

// ---- the view following appends, scroll bars and fonts ----

TEST_F(LogMemoTest, AppendedLinesScrollIntoViewWithTheCaretBehindThem) {
  for (int i = 0; i < 500; ++i) memo->Lines().Add(L"line " + std::to_wstring(i));
  memo->PaintChanges();
  EXPECT_EQ(Send(View(), EM_GETFIRSTVISIBLELINE), 501 - memo->PageRows());
  EXPECT_EQ(SelectionOf(View()), std::make_pair(DWORD(memo->Content().Length()), DWORD(memo->Content().Length())));
  const SCROLLINFO info = ScrollInfoOf(View(), SB_VERT);
  EXPECT_EQ(info.nMax, 500);  // 501 lines: the last one empty behind the final break
  EXPECT_EQ(info.nPage, static_cast<UINT>(memo->PageRows()));
  EXPECT_EQ(info.nPos, 501 - memo->PageRows());
  EXPECT_GE(changes, 1);  // the parent heard of it
}

// Dragging the thumb reaches every line, also beyond the 65,535 a scroll message carries.
TEST_F(LogMemoTest, ThumbDraggedToTheEndReachesLinesBeyond65535) {
  memo->Lines().SetText(NumberedLines(100000));
  memo->SetTopLine(0);
  ShowFocused();
  SCROLLBARINFO bar{};
  bar.cbSize = sizeof(bar);
  ASSERT_TRUE(::GetScrollBarInfo(View(), OBJID_VSCROLL, &bar));
  const int x = (bar.rcScrollBar.left + bar.rcScrollBar.right) / 2;
  const POINT thumb{x, bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2};
  const POINT end{x, bar.rcScrollBar.bottom - 1};
  MouseLater({MouseInput(thumb, 0), MouseInput(thumb, MOUSEEVENTF_LEFTDOWN), MouseInput({x, (thumb.y + end.y) / 2}, 0),
              MouseInput(end, 0), MouseInput(end, MOUSEEVENTF_LEFTUP)});
  const TPos last = 100001 - memo->PageRows();
  EXPECT_TRUE(PumpUntil([&] { return memo->TopLine() == last; })) << memo->TopLine();
  EXPECT_EQ(Send(View(), EM_GETFIRSTVISIBLELINE), last);
}

// The horizontal scroll bar counts cells: after a font step either way, scrolled fully to the
// right, the end of the widest line is at the right edge, not before it or beyond.
TEST_F(LogMemoTest, HorizontalRangeFollowsEveryFontAtOnce) {
  memo->Lines().Add(std::wstring(300, L'x'));
  for (int points : {20, 8, 14}) {
    SCOPED_TRACE(std::to_string(points) + " pt");
    memo->SetFont(LogFont(points));
    RECT client;
    ::GetClientRect(View(), &client);
    const int margin = PointOf(0).x, cell = CellWidth();
    const SCROLLINFO info = ScrollInfoOf(View(), SB_HORZ);
    EXPECT_EQ(info.nMax, 300);  // 301 cells: the line and the caret behind it
    EXPECT_EQ(info.nPage, static_cast<UINT>((client.right - margin) / cell));
    Send(View(), WM_HSCROLL, SB_RIGHT);
    const int lastRight = PointOf(299).x + cell;
    EXPECT_LE(lastRight, client.right - cell);
    EXPECT_GT(lastRight, client.right - 2 * cell);
    Send(View(), WM_HSCROLL, SB_LEFT);
  }
}

TEST_F(LogMemoTest, FontStepsKeepTheTopLine) {
  memo->Lines().SetText(NumberedLines(1000));
  memo->SetTopLine(500);
  for (int points : {12, 6, 9}) {
    memo->SetFont(LogFont(points));
    EXPECT_EQ(Send(View(), EM_GETFIRSTVISIBLELINE), 500) << points << " pt";
    EXPECT_EQ(PointOf(memo->Content().LineStart(500)).y, 0) << points << " pt";
  }
}

// ---- following the end and holding still ----

// A step of the user or of the stream: keys (a script as above), lines arriving, a click on
// the badge, or the view cleared.
struct TFollowStep {
  enum TKind { fsKeys, fsArrive, fsBadgeClick, fsClear } Kind;
  const wchar_t* Keys = L"";
  int Lines = 0;
};
TFollowStep Keys(const wchar_t* script) { return {TFollowStep::fsKeys, script, 0}; }
TFollowStep Arrive(int lines) { return {TFollowStep::fsArrive, L"", lines}; }
constexpr TFollowStep kBadgeClick{TFollowStep::fsBadgeClick};
constexpr TFollowStep kClear{TFollowStep::fsClear};

// The first visible line expected: the last page, or lines from the top line the view had at
// the start (100 lines, following).
constexpr TPos kLastPage = INT_MIN;

struct TFollowCase {
  const char* name;
  std::vector<TFollowStep> steps;
  TPos topFromStart;  // or kLastPage
  TPos badge;               // lines counted, 0: no badge
};

class LogMemoFollow : public LogMemoTest, public ::testing::WithParamInterface<TFollowCase> {
protected:
  HWND Badge() {
    HWND badge = ::FindWindowExW(View(), nullptr, L"Static", nullptr);
    return badge && ::IsWindowVisible(badge) ? badge : nullptr;
  }
  int arrived = 0;
};

TEST_P(LogMemoFollow, HoldsStillAndCountsOrFollows) {
  const TFollowCase& row = GetParam();
  for (int i = 0; i < 100; ++i) memo->Lines().Add(L"Zeile " + std::to_wstring(arrived++));
  memo->PaintChanges();
  ShowFocused();
  const TPos startTop = memo->TopLine();
  ASSERT_EQ(startTop, 101 - memo->PageRows());
  for (const TFollowStep& step : row.steps) {
    switch (step.Kind) {
      case TFollowStep::fsKeys: Play(step.Keys); break;
      case TFollowStep::fsArrive:
        for (int i = 0; i < step.Lines; ++i) memo->Lines().Add(L"Zeile " + std::to_wstring(arrived++));
        memo->PaintChanges();
        break;
      case TFollowStep::fsBadgeClick: {
        HWND badge = Badge();
        ASSERT_NE(badge, nullptr);
        ClickWithMouse(badge);
        ASSERT_TRUE(PumpUntil([&] { return Badge() == nullptr; }));
        break;
      }
      case TFollowStep::fsClear: memo->Lines().Clear(); break;
    }
  }
  const TPos expectedTop = row.topFromStart == kLastPage
                               ? std::max<TPos>(memo->Content().LineCount() - memo->PageRows(), 0)
                               : startTop + row.topFromStart;
  EXPECT_EQ(Send(View(), EM_GETFIRSTVISIBLELINE), expectedTop);
  EXPECT_EQ(memo->NewLines(), row.badge);
  HWND badge = Badge();
  if (row.badge == 0) {
    EXPECT_EQ(badge, nullptr);
  } else {
    ASSERT_NE(badge, nullptr);
    EXPECT_EQ(TextOf(badge), TLogMemo::NewLinesText(row.badge));
    // In the bottom right corner of the view.
    RECT r = WindowRectIn(badge, View()), client;
    ::GetClientRect(View(), &client);
    EXPECT_GT(r.left, client.right / 2);
    EXPECT_GT(r.top, client.bottom / 2);
    EXPECT_LE(r.right, client.right);
    EXPECT_LE(r.bottom, client.bottom);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, LogMemoFollow,
    ::testing::Values(
        TFollowCase{"ArrivalsWhileFollowingScrollIn", {Arrive(10)}, kLastPage, 0},
        TFollowCase{"ScrolledUpHoldsStill", {Keys(L"{C+UP}{C+UP}{C+UP}"), Arrive(10)}, -3, 10},
        TFollowCase{"SelectingHoldsStill", {Keys(L"{S+UP}"), Arrive(10)}, 0, 10},
        TFollowCase{"CaretMovedUpHoldsStill", {Keys(L"{UP}{UP}"), Arrive(7)}, 0, 7},
        TFollowCase{"CountGrowsOverArrivals", {Keys(L"{UP}{UP}{UP}"), Arrive(3), Arrive(1234)}, 0, 1237},
        TFollowCase{"OneLineIsOneLine", {Keys(L"{UP}"), Arrive(1)}, 0, 1},
        TFollowCase{"CtrlEndFollowsAgain", {Keys(L"{C+UP}{C+UP}{C+UP}"), Arrive(10), Keys(L"{C+END}"), Arrive(2)},
                    kLastPage, 0},
        TFollowCase{"BadgeClickFollowsAgain", {Keys(L"{UP}"), Arrive(10), kBadgeClick, Arrive(1)}, kLastPage, 0},
        TFollowCase{"ScrolledBackToTheEndFollowsAgain",
                    {Keys(L"{C+UP}{C+UP}"), Arrive(5), Keys(L"{C+DOWN}{C+DOWN}{C+DOWN}{C+DOWN}{C+DOWN}{C+DOWN}{C+DOWN}{C+DOWN}"),
                     Arrive(3)},
                    kLastPage, 0},
        TFollowCase{"ScrolledBackWithASelectionStillHolds",
                    {Keys(L"{S+UP}{C+UP}"), Arrive(5), Keys(L"{C+DOWN}{C+DOWN}{C+DOWN}{C+DOWN}{C+DOWN}{C+DOWN}{C+DOWN}{C+DOWN}"),
                     Arrive(3)},
                    5, 8},
        TFollowCase{"ClearFollowsAgain", {Keys(L"{UP}"), Arrive(5), kClear, Arrive(4)}, kLastPage, 0}),
    TCaseName());

// The window made smaller or larger: a view that follows still shows the last line.
TEST_F(LogMemoTest, FollowingViewKeepsTheLastLineWhenResized) {
  memo->Lines().SetText(NumberedLines(200));
  memo->SetSelection(memo->Content().Length(), memo->Content().Length());
  memo->SetTopLine(200);
  ASSERT_TRUE(memo->Following());
  for (int height : {150, 280}) {
    form->SetClientSize(400, height);
    PumpFor(20);
    EXPECT_EQ(memo->TopLine(), 201 - memo->PageRows()) << height;
    EXPECT_TRUE(memo->Following()) << height;
  }
}

// A scroll bar shows only while the text does not fit that way. One bar takes room from the
// other direction and may make the other needed too: then both show, and stay.
TEST_F(LogMemoTest, ScrollBarsShowOnlyWhileTheTextDoesNotFit) {
  using TBars = std::pair<bool, bool>;  // vertical, horizontal
  const TBars none{false, false}, vertical{true, false}, horizontal{false, true}, both{true, true};
  auto bars = [&] {
    const LONG_PTR style = ::GetWindowLongPtrW(View(), GWL_STYLE);
    return TBars{(style & WS_VSCROLL) != 0, (style & WS_HSCROLL) != 0};
  };
  ASSERT_EQ(bars(), none);
  // Rows and cells of the whole client area, and beside a bar of the other direction.
  memo->Lines().SetText(L"xx");
  const int cell = CellWidth(), margin = PointOf(0).x, row = RowHeight();
  memo->Lines().Clear();
  RECT client;
  ::GetClientRect(View(), &client);
  const auto dpi = static_cast<UINT>(memo->Dpi());
  const TPos rows = client.bottom / row, cells = (client.right - margin) / cell;
  const TPos rowsAboveBar = (client.bottom - ::GetSystemMetricsForDpi(SM_CYHSCROLL, dpi)) / row;
  const TPos cellsBesideBar = (client.right - ::GetSystemMetricsForDpi(SM_CXVSCROLL, dpi) - margin) / cell;
  ASSERT_EQ(memo->PageRows(), rows);
  ASSERT_LT(rowsAboveBar, rows);
  ASSERT_LT(cellsBesideBar, cells);
  // A text of so many lines (the empty one behind the last break counts), the first as wide.
  auto text = [](TPos lines, TPos widest) {
    std::wstring t(static_cast<std::size_t>(widest), L'x');
    for (TPos i = 1; i < lines; ++i) t += i + 1 < lines ? L"\r\nx" : L"\r\n";
    return t;
  };
  struct TStep {
    const char* Name;
    TPos Lines, Widest;  // Lines < 0: cleared
    TBars Bars;
  };
  const TStep steps[] = {
      {"AllFits", rows, cells - 1, none},
      {"OneLineMore", rows + 1, 1, vertical},
      {"OneCellMore", 1, cells, horizontal},
      {"LinesFitAboveTheHorizontalBar", rowsAboveBar, cells, horizontal},
      {"HorizontalBarTakesTheLastRows", rows, cells, both},
      {"VerticalBarTakesTheLastCell", rows + 1, cells - 1, both},
      {"FitsAgain", rows - 1, cells - 1, none},
      {"ManyLines", 100000, 20, vertical},
      {"Cleared", -1, 0, none},
  };
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.Name);
    if (step.Lines < 0) {
      memo->Lines().Clear();
    } else {
      memo->Lines().SetText(text(step.Lines, step.Widest));
    }
    memo->PaintChanges();
    ASSERT_EQ(memo->Content().LineCount(), std::max<TPos>(step.Lines, 1));
    EXPECT_EQ(bars(), step.Bars);
    // Settled: what shows is what the client area left by the bars needs; the bars' ranges and
    // the view's place fit it.
    ::GetClientRect(View(), &client);
    const TPos pageRows = client.bottom / row, pageCells = (client.right - margin) / cell;
    EXPECT_EQ(memo->PageRows(), pageRows);
    EXPECT_EQ(bars().first, memo->Content().LineCount() > pageRows);
    EXPECT_EQ(bars().second, memo->Content().WidestLine() + 1 > pageCells);
    if (bars().first) {
      EXPECT_EQ(ScrollInfoOf(View(), SB_VERT).nMax, memo->Content().LineCount() - 1);
      EXPECT_EQ(ScrollInfoOf(View(), SB_VERT).nPage, static_cast<UINT>(pageRows));
    }
    if (bars().second) {
      EXPECT_EQ(ScrollInfoOf(View(), SB_HORZ).nMax, memo->Content().WidestLine());
      EXPECT_EQ(ScrollInfoOf(View(), SB_HORZ).nPage, static_cast<UINT>(pageCells));
    }
    EXPECT_EQ(memo->TopLine(), 0);
    EXPECT_EQ(memo->LeftCell(), 0);
  }
  // Lines arriving at a view that follows: the bar comes as they stop fitting, and the last
  // line stays in sight, also when a wide line brings the other bar.
  for (TPos line = 1; line < rows + 3; ++line) memo->AppendLine(L"x");
  memo->PaintChanges();
  EXPECT_EQ(bars(), vertical);
  EXPECT_EQ(memo->TopLine(), memo->Content().LineCount() - memo->PageRows());
  memo->AppendLine(std::wstring(static_cast<std::size_t>(cells + 10), L'x'));
  memo->PaintChanges();
  EXPECT_EQ(bars(), both);
  EXPECT_TRUE(memo->Following());
  EXPECT_EQ(memo->TopLine(), memo->Content().LineCount() - memo->PageRows());
}

// ---- keys ----

struct TKeyCase {
  const char* name;
  TPos anchor, caret;  // before
  const wchar_t* keys;
  TPos expectedAnchor, expectedCaret;
};

// "eins zwei" 0-9, break, "drei" 11-15, break, "" 17, break, "vier fünf sechs" 19-34, break, "sieben" 36-42
const wchar_t kKeyText[] = L"eins zwei\r\ndrei\r\n\r\nvier fünf sechs\r\nsieben";

class LogMemoKeys : public LogMemoTest, public ::testing::WithParamInterface<TKeyCase> {};

TEST_P(LogMemoKeys, MoveTheCaretAndShiftExtends) {
  const TKeyCase& row = GetParam();
  memo->Lines().SetText(kKeyText);
  ShowFocused();
  memo->SetSelection(row.anchor, row.caret);
  Play(row.keys);
  EXPECT_EQ(memo->Caret(), row.expectedCaret);
  EXPECT_EQ(memo->SelStart(), std::min(row.expectedAnchor, row.expectedCaret));
  EXPECT_EQ(memo->SelEnd(), std::max(row.expectedAnchor, row.expectedCaret));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, LogMemoKeys,
    ::testing::Values(TKeyCase{"Right", 0, 0, L"{RIGHT}", 1, 1}, TKeyCase{"RightOverABreak", 9, 9, L"{RIGHT}", 11, 11},
                      TKeyCase{"LeftOverABreak", 11, 11, L"{LEFT}", 9, 9},
                      TKeyCase{"ShiftRightTwice", 0, 0, L"{S+RIGHT}{S+RIGHT}", 0, 2},
                      TKeyCase{"LeftEndsASelectionAtItsStart", 2, 5, L"{LEFT}", 2, 2},
                      TKeyCase{"RightEndsASelectionAtItsEnd", 5, 2, L"{RIGHT}", 5, 5},
                      TKeyCase{"CtrlRightToTheNextWord", 0, 0, L"{C+RIGHT}", 5, 5},
                      TKeyCase{"CtrlRightAtTheEndOfALine", 9, 9, L"{C+RIGHT}", 11, 11},
                      TKeyCase{"CtrlLeftToTheWordStart", 9, 9, L"{C+LEFT}", 5, 5},
                      TKeyCase{"CtrlShiftLeft", 34, 34, L"{CS+LEFT}{CS+LEFT}", 34, 24},
                      TKeyCase{"DownKeepsTheCell", 7, 7, L"{DOWN}{DOWN}{DOWN}", 26, 26},
                      TKeyCase{"UpOnTheFirstLineStays", 3, 3, L"{UP}", 3, 3},
                      TKeyCase{"ShiftDown", 2, 2, L"{S+DOWN}", 2, 13},
                      TKeyCase{"HomeAndEnd", 22, 22, L"{HOME}", 19, 19}, TKeyCase{"End", 19, 19, L"{END}", 34, 34},
                      TKeyCase{"ShiftEnd", 20, 20, L"{S+END}", 20, 34},
                      TKeyCase{"CtrlHome", 30, 30, L"{C+HOME}", 0, 0}, TKeyCase{"CtrlEnd", 3, 3, L"{C+END}", 42, 42},
                      TKeyCase{"CtrlShiftEnd", 3, 3, L"{CS+END}", 3, 42},
                      TKeyCase{"CtrlShiftHome", 30, 30, L"{CS+HOME}", 30, 0}),
    TCaseName());

TEST_F(LogMemoTest, PageKeysMoveByTheRowsInSight) {
  memo->Lines().SetText(NumberedLines(300));
  ShowFocused();
  memo->SetSelection(0, 0);
  const TPos rows = memo->PageRows();
  Play(L"{PGDN}{PGDN}");
  EXPECT_EQ(memo->Content().LineOf(memo->Caret()), 2 * rows);
  EXPECT_EQ(Send(View(), EM_GETFIRSTVISIBLELINE), 2 * rows);
  Play(L"{S+PGUP}");
  EXPECT_EQ(memo->Content().LineOf(memo->Caret()), rows);
  EXPECT_EQ(memo->SelEnd(), memo->Content().LineStart(2 * rows));
}

// ---- typing and the clipboard ----

TEST_F(LogMemoTest, TypingEnterBackspaceDeleteAndUndoAsInAnEditControl) {
  memo->Lines().SetText(L"abc");
  ShowFocused();
  memo->SetSelection(3, 3);
  Play(L"de{ENTER}f\tg");
  EXPECT_EQ(TextOf(View()), L"abcde\r\nf\tg");
  Play(L"{BS}{BS}{HOME}{BS}");  // the break goes as one
  EXPECT_EQ(TextOf(View()), L"abcdef");
  Play(L"{C+HOME}{DEL}{DEL}");
  EXPECT_EQ(TextOf(View()), L"cdef");
  Play(L"{C+Z}");  // the two deleted characters come back
  EXPECT_EQ(TextOf(View()), L"abcdef");
  EXPECT_EQ(SelectionOf(View()), std::make_pair(DWORD{0}, DWORD{2}));
  Play(L"{C+Z}");  // and go again: one level, undone and redone
  EXPECT_EQ(TextOf(View()), L"cdef");
  EXPECT_GE(changes, 8);
}

TEST_F(LogMemoTest, ClipboardKeysCutCopyPasteAndSelectAll) {
  memo->Lines().SetText(L"eins zwei drei");
  ShowFocused();
  memo->SetSelection(5, 9);
  Play(L"{C+C}");
  EXPECT_EQ(Clipboard().AsText(), L"zwei");
  Play(L"{C+END}{C+V}");
  EXPECT_EQ(TextOf(View()), L"eins zwei dreizwei");
  memo->SetSelection(0, 5);
  Play(L"{C+X}");
  EXPECT_EQ(Clipboard().AsText(), L"eins ");
  EXPECT_EQ(TextOf(View()), L"zwei dreizwei");
  Play(L"{S+INS}{C+A}");
  EXPECT_EQ(TextOf(View()), L"eins zwei dreizwei");
  EXPECT_EQ(SelectionOf(View()), std::make_pair(DWORD{0}, DWORD{18}));
  Play(L"{C+INS}");
  EXPECT_EQ(Clipboard().AsText(), L"eins zwei dreizwei");
  Play(L"{S+DEL}");
  EXPECT_EQ(TextOf(View()), L"");
}

// A part the ANSI code page writes goes on the clipboard in it, at half the bytes; any other
// goes as Unicode. Either way a program that pastes Unicode gets the part as it was.
struct TCopyCase {
  const char* name;
  std::wstring part;
  UINT format;  // the one the copy put there, listed first
};

class LogMemoCopy : public LogMemoTest, public ::testing::WithParamInterface<TCopyCase> {};

TEST_P(LogMemoCopy, PutsThePartInTheNarrowestFormatThatKeepsIt) {
  if (::GetACP() != 1252) GTEST_SKIP() << "the cases are chosen for code page 1252";
  const std::wstring& part = GetParam().part;
  memo->Append(L"vorher \u2713" + part + L"nachher \u2713");
  memo->CopyToClipboard(8, static_cast<TPos>(part.size()));
  EXPECT_EQ(Clipboard().AsText(), part);
  ASSERT_TRUE(::OpenClipboard(nullptr));
  const UINT first = ::EnumClipboardFormats(0);
  std::string ansi;
  if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
    ansi = static_cast<const char*>(::GlobalLock(data));
    ::GlobalUnlock(data);
  }
  ::CloseClipboard();
  EXPECT_EQ(first, GetParam().format);
  if (GetParam().format == CF_TEXT) {
    EXPECT_EQ(ansi, TextToAnsi(part, 1252));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Parts, LogMemoCopy,
    ::testing::Values(TCopyCase{"AnsiLines", L"Grüße\r\n\tZeile 2 kostet 5 \u20AC", CF_TEXT},
                      TCopyCase{"AnsiAcrossASlicesEnd", std::wstring(65535, L'x') + L"\u20AC\u00FF\r\nEnde", CF_TEXT},
                      TCopyCase{"CheckMark", L"Grüße \u2713", CF_UNICODETEXT},
                      TCopyCase{"PairAfterAnAnsiSlice", std::wstring(65535, L'x') + L"\U0001F600", CF_UNICODETEXT},
                      TCopyCase{"Empty", L"", CF_TEXT}),
    TCaseName());

// Numbered lines of more characters than a block holds: a copy of them goes to a thread.
std::wstring LinesBeyondABlock() {
  std::wstring lines;
  for (int i = 0; lines.size() <= TLogText::kBlockChars; ++i) lines += L"Zeile " + std::to_wstring(i) + L"\r\n";
  return lines;
}

// A part larger than a block is copied on a thread of its own; a copy asked for meanwhile
// follows it there, and a paste waits for both: what comes in is what was copied last.
TEST_F(LogMemoTest, LargeCopyGoesOnBehindTheWindowAndAPasteTakesTheLastCopy) {
  const std::wstring large = LinesBeyondABlock();
  memo->Append(large);
  bool largeDone = false, smallDone = false;
  memo->CopyToClipboard(0, static_cast<TPos>(large.size()), [&] { largeDone = true; });
  memo->CopyToClipboard(0, 7, [&] { smallDone = true; });
  EXPECT_FALSE(largeDone);
  EXPECT_FALSE(smallDone);
  memo->SetSelection(0, 0);
  Send(View(), WM_PASTE);  // at once, while the copies are still under way
  EXPECT_EQ(memo->Content().Substr(0, 14), L"Zeile 0Zeile 0");
  ASSERT_TRUE(PumpUntil([&] { return largeDone && smallDone; }));
  EXPECT_EQ(Clipboard().AsText(), L"Zeile 0");
  // Alone again, a small part is copied at once.
  bool doneAtOnce = false;
  memo->CopyToClipboard(0, 3, [&] { doneAtOnce = true; });
  EXPECT_TRUE(doneAtOnce);
  EXPECT_EQ(Clipboard().AsText(), L"Zei");
}

// Closing waits for a copy under way, and answers the clipboard's message to its owner window
// meanwhile: waiting without would leave both threads waiting for each other, for good under
// Windows (Wine's clipboard gives up after 5 s, so there this case only shows the copy arrives).
TEST_F(LogMemoTest, ClosedWhileALargeCopyIsUnderWayTheCopyStillArrives) {
  const std::wstring large = LinesBeyondABlock();
  memo->Append(large);
  memo->CopyToClipboard(0, 3);  // the clipboard's owner is now the window's thread's
  memo->CopyToClipboard(0, static_cast<TPos>(large.size()));
  form.reset();
  EXPECT_EQ(Clipboard().AsText(), large);
}

TEST_F(LogMemoTest, ReadOnlyViewSelectsAndCopiesButTakesNoEdits) {
  memo->Lines().SetText(L"fest");
  Send(View(), EM_SETREADONLY, TRUE);
  EXPECT_TRUE(::GetWindowLongPtrW(View(), GWL_STYLE) & ES_READONLY);
  ShowFocused();
  Play(L"x{BS}{DEL}{ENTER}{C+A}{C+X}{C+V}{C+Z}");
  EXPECT_EQ(TextOf(View()), L"fest");
  EXPECT_EQ(SelectionOf(View()), std::make_pair(DWORD{0}, DWORD{4}));
  Play(L"{C+C}");
  EXPECT_EQ(Clipboard().AsText(), L"fest");
}

// ---- assistive tools ----

// The object a screen reader asks the window for: an editable text with the view's name, the
// caret's line as its value, and the selection.
TEST_F(LogMemoTest, AccessibleObjectIsAnEditableTextWithTheCaretLineAsValue) {
  ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  memo->SetAccessibleName(L"Protokoll");
  memo->Lines().SetText(L"eins\r\nzwei drei\r\n");
  ShowFocused();
  memo->SetSelection(8, 8);
  {
    IAccessible* object = nullptr;
    ASSERT_EQ(::AccessibleObjectFromWindow(View(), static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&object)),
              S_OK);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role{};
    ASSERT_EQ(object->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_TEXT);
    BSTR text = nullptr;
    ASSERT_EQ(object->get_accName(self, &text), S_OK);
    EXPECT_EQ(std::wstring(text), L"Protokoll");
    ::SysFreeString(text);
    ASSERT_EQ(object->get_accValue(self, &text), S_OK);
    EXPECT_EQ(std::wstring(text), L"zwei drei");
    ::SysFreeString(text);
    VARIANT state{};
    ASSERT_EQ(object->get_accState(self, &state), S_OK);
    EXPECT_TRUE(state.lVal & STATE_SYSTEM_FOCUSED);
    EXPECT_FALSE(state.lVal & STATE_SYSTEM_SELECTED);
    VARIANT selection{};
    EXPECT_EQ(object->get_accSelection(&selection), S_FALSE);
    EXPECT_EQ(selection.vt, VT_EMPTY);

    ASSERT_EQ(object->accSelect(SELFLAG_TAKESELECTION, self), S_OK);  // all of the text
    EXPECT_EQ(SelectionOf(View()), std::make_pair(DWORD{0}, DWORD{17}));
    ASSERT_EQ(object->get_accSelection(&selection), S_OK);
    EXPECT_EQ(selection.vt, VT_I4);
    EXPECT_EQ(selection.lVal, CHILDID_SELF);
    ASSERT_EQ(object->get_accState(self, &state), S_OK);
    EXPECT_TRUE(state.lVal & STATE_SYSTEM_SELECTED);
    ASSERT_EQ(object->get_accValue(self, &text), S_FALSE);  // the caret at the end: an empty line
    object->Release();
  }
  ::CoUninitialize();
}

// ---- mouse ----

TEST_F(LogMemoTest, MouseClickDragShiftClickAndDoubleClickSelect) {
  memo->Lines().SetText(L"eins zwei drei\r\nvier fünf sechs\r\n");
  ShowFocused();
  const int half = RowHeight() / 2;
  auto at = [&](TPos pos) { return POINT{PointOf(pos).x + 1, PointOf(pos).y + half}; };
  ClickAt(View(), at(7));
  ASSERT_TRUE(PumpUntil([&] { return memo->Caret() == 7; }));
  EXPECT_EQ(memo->SelStart(), 7);

  // Shift+click extends from where the caret was.
  INPUT shift[2] = {};
  shift[0].type = shift[1].type = INPUT_KEYBOARD;
  shift[0].ki.wVk = shift[1].ki.wVk = VK_SHIFT;
  shift[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(1, &shift[0], sizeof(INPUT));
  ClickAt(View(), at(21));
  ::SendInput(1, &shift[1], sizeof(INPUT));
  ASSERT_TRUE(PumpUntil([&] { return memo->Caret() == 21; }));
  EXPECT_EQ(memo->SelStart(), 7);

  // A drag from one character to another.
  POINT from = at(16), to = at(20);
  ::ClientToScreen(View(), &from);
  ::ClientToScreen(View(), &to);
  MouseTo(from, MOUSEEVENTF_LEFTDOWN);
  PumpFor(50);
  MouseTo(to);
  PumpFor(50);
  MouseTo(to, MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return memo->SelStart() == 16 && memo->SelEnd() == 20; }));

  // A double click selects the word under the mouse.
  ::Sleep(::GetDoubleClickTime() + 50);  // no double click with the drag before
  ClickAt(View(), at(23), 2);
  EXPECT_TRUE(PumpUntil([&] { return memo->SelStart() == 21 && memo->SelEnd() == 25; }))
      << memo->SelStart() << "-" << memo->SelEnd();
}

TEST_F(LogMemoTest, DragBelowTheWindowScrollsAndSelectsOn) {
  memo->Lines().SetText(NumberedLines(200));
  ShowFocused();
  memo->SetSelection(0, 0);
  POINT start = PointOf(0);
  start.x += 2;
  start.y += 2;
  ::ClientToScreen(View(), &start);
  RECT window;
  ::GetWindowRect(View(), &window);
  MouseTo(start, MOUSEEVENTF_LEFTDOWN);
  PumpFor(50);
  MouseTo({start.x, window.bottom + 20});
  EXPECT_TRUE(PumpUntil([&] { return memo->TopLine() >= 5; }, 20000));
  MouseTo({start.x, window.bottom + 20}, MOUSEEVENTF_LEFTUP);
  PumpFor(50);
  EXPECT_EQ(memo->SelStart(), 0);
  EXPECT_GT(memo->Content().LineOf(memo->SelEnd()), memo->PageRows());
}

// The edit control's context menu, in German; its items work on the view.
TEST_F(LogMemoTest, ContextMenuHasTheEditCommandsInGerman) {
  memo->Lines().SetText(L"eins zwei");
  ShowFocused();
  memo->SetSelection(0, 4);
  TOpenMenu open;
  gOpenMenu = &open;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, ReadOpenMenu);
  ClickWithMouse(View(), true);
  const bool chosen = PumpUntil([&] { return memo->SelEnd() == 9; });
  ::KillTimer(nullptr, timer);
  gOpenMenu = nullptr;
  const std::vector<std::wstring>& items = open.Items;
  const std::vector<bool>& enabled = open.Enabled;
  EXPECT_EQ(items, (std::vector<std::wstring>{L"&Rückgängig", L"", L"&Ausschneiden", L"&Kopieren", L"&Einfügen",
                                              L"&Löschen", L"", L"Alles &markieren"}));
  ASSERT_EQ(enabled.size(), 8u);
  EXPECT_FALSE(enabled[0]);  // nothing to undo
  EXPECT_TRUE(enabled[2] && enabled[3] && enabled[5] && enabled[7]);
  EXPECT_TRUE(chosen);
  EXPECT_EQ(memo->SelStart(), 0);
}

}  // namespace

// ---- line colours ----

// The colour each row is painted in: the pixels of its glyphs, read from a paint into memory.
std::vector<std::vector<COLORREF>> RowColours(HWND wnd, int rows, int rowHeight) {
  RECT client;
  ::GetClientRect(wnd, &client);
  HDC screen = ::GetDC(wnd);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  ::SendMessageW(wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  std::vector<std::vector<COLORREF>> colours(static_cast<std::size_t>(rows));
  const COLORREF back = ::GetPixel(dc, client.right - 1, 0);
  for (int row = 0; row < rows; ++row)
    for (int y = row * rowHeight; y < (row + 1) * rowHeight; ++y)
      for (int x = 0; x < client.right / 2; ++x) {
        const COLORREF pixel = ::GetPixel(dc, x, y);
        auto& seen = colours[static_cast<std::size_t>(row)];
        if (pixel != back && std::find(seen.begin(), seen.end(), pixel) == seen.end()) seen.push_back(pixel);
      }
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  ::ReleaseDC(wnd, screen);
  return colours;
}

TEST_F(LogMemoTest, LinesArePaintedInTheirColourUntilColoursAreSwitchedOff) {
  TFontDesc font = LogFont(10);
  font.Quality = NONANTIALIASED_QUALITY;  // glyph pixels in the text colour itself
  memo->SetFont(font);
  memo->AppendLine(L"ERROR: kaputt", lcError);
  memo->AppendLine(L"WARN: vorsicht", lcWarning);
  memo->AppendLine(L"DEBUG: details", lcDebug);
  memo->AppendLine(L"INFO: normal");
  memo->PaintChanges();
  const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
  const std::vector<COLORREF> expected{RGB(192, 0, 0), RGB(128, 128, 0), RGB(128, 128, 128), text};
  auto rows = RowColours(View(), 4, RowHeight());
  for (std::size_t row = 0; row < 4; ++row)
    EXPECT_EQ(rows[row], std::vector<COLORREF>{expected[row]}) << "row " << row;

  memo->SetLineColours(false);
  rows = RowColours(View(), 4, RowHeight());
  for (std::size_t row = 0; row < 4; ++row) EXPECT_EQ(rows[row], std::vector<COLORREF>{text}) << "row " << row;
  memo->SetLineColours(true);  // the colours were kept
  rows = RowColours(View(), 4, RowHeight());
  EXPECT_EQ(rows[0], std::vector<COLORREF>{expected[0]});
  EXPECT_EQ(memo->LineColour(2), lcDebug);
}

// In high contrast the system's colours stand for the levels. Wine may not take the setting:
// then there is nothing to see here.
TEST_F(LogMemoTest, HighContrastPaintsLevelsInSystemColours) {
  HIGHCONTRASTW saved{};
  saved.cbSize = sizeof(saved);
  ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(saved), &saved, 0);
  HIGHCONTRASTW on = saved;
  on.dwFlags |= HCF_HIGHCONTRASTON;
  if (!::SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof(on), &on, 0)) GTEST_SKIP() << "high contrast cannot be set";
  HIGHCONTRASTW now{};
  now.cbSize = sizeof(now);
  ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(now), &now, 0);
  const bool taken = (now.dwFlags & HCF_HIGHCONTRASTON) != 0;
  TFontDesc font = LogFont(10);
  font.Quality = NONANTIALIASED_QUALITY;
  memo->SetFont(font);
  memo->AppendLine(L"ERROR", lcError);
  memo->AppendLine(L"DEBUG", lcDebug);
  Send(View(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST);
  const auto rows = RowColours(View(), 2, RowHeight());
  ::SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof(saved), &saved, 0);
  Send(View(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST);
  if (!taken) GTEST_SKIP() << "Wine did not take high contrast";
  EXPECT_EQ(rows[0], std::vector<COLORREF>{::GetSysColor(COLOR_HOTLIGHT)});
  EXPECT_EQ(rows[1], std::vector<COLORREF>{::GetSysColor(COLOR_GRAYTEXT)});
}

// Colours stay with their lines through the user's edits; lines an edit takes away lose theirs.
struct TColourEditCase {
  const char* name;
  std::wstring script;   // keys, typed with the caret at the start of line caretLine
  TPos caretLine;
  std::vector<std::pair<std::wstring, TLineColour>> after;  // the coloured lines by their text
};

class LogMemoColourEdits : public LogMemoTest, public ::testing::WithParamInterface<TColourEditCase> {};

TEST_P(LogMemoColourEdits, ColoursFollowTheirLines) {
  const TColourEditCase& c = GetParam();
  const TLineColour colours[] = {lcNormal, lcError, lcNormal, lcWarning, lcDebug, lcNormal};
  for (int i = 0; i < 6; ++i) memo->AppendLine(L"Zeile " + std::to_wstring(i), colours[i]);
  memo->PaintChanges();
  ShowFocused();
  const TPos at = memo->Content().LineStart(c.caretLine);
  memo->SetSelection(at, at);
  Play(c.script);
  std::vector<std::pair<std::wstring, TLineColour>> got;
  for (TPos line = 0; line < memo->Content().LineCount(); ++line)
    if (memo->LineColour(line) != lcNormal) got.emplace_back(memo->Content().Line(line), memo->LineColour(line));
  EXPECT_EQ(got, c.after) << TextOf(View());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogMemoColourEdits,
    ::testing::Values(
        TColourEditCase{"EnterAtTheStartPushesTheLineDown", L"{ENTER}", 1,
                        {{L"Zeile 1", lcError}, {L"Zeile 3", lcWarning}, {L"Zeile 4", lcDebug}}},
        TColourEditCase{"EnterAtTheEndKeepsTheLine", L"{END}{ENTER}neu", 1,
                        {{L"Zeile 1", lcError}, {L"Zeile 3", lcWarning}, {L"Zeile 4", lcDebug}}},
        TColourEditCase{"WholeLineCutLosesItsColour", L"{S+DOWN}{C+X}", 3,
                        {{L"Zeile 1", lcError}, {L"Zeile 4", lcDebug}}},
        TColourEditCase{"CutLinePastedElsewhereComesUncoloured", L"{S+DOWN}{C+X}{UP}{UP}{C+V}", 3,
                        {{L"Zeile 1", lcError}, {L"Zeile 4", lcDebug}}},
        TColourEditCase{"BackspaceJoinsOntoTheLineAbove", L"{BS}", 4,
                        {{L"Zeile 1", lcError}, {L"Zeile 3Zeile 4", lcWarning}}},
        TColourEditCase{"UndoneEnterPutsLinesBack", L"{ENTER}{ENTER}{C+Z}", 2,
                        {{L"Zeile 1", lcError}, {L"Zeile 3", lcWarning}, {L"Zeile 4", lcDebug}}},
        TColourEditCase{"SelectAllAndTypeForgetsAll", L"{C+A}x", 0, {}}),
    TCaseName());

TEST_F(LogMemoTest, ClearAndSetTextForgetTheColours) {
  memo->AppendLine(L"a", lcError);
  memo->Clear();
  memo->AppendLine(L"b");
  EXPECT_EQ(memo->LineColour(0), lcNormal);
  memo->AppendLine(L"c", lcWarning);
  ::SetWindowTextW(View(), L"x\r\ny\r\n");
  EXPECT_EQ(memo->LineColour(1), lcNormal);
  memo->AppendLine(L"ein\r\nDatagramm", lcDebug);  // every line of it
  EXPECT_EQ(memo->LineColour(2), lcDebug);
  EXPECT_EQ(memo->LineColour(3), lcDebug);
  EXPECT_EQ(memo->LineColour(4), lcNormal);
}

// ---- a ceiling on the lines ----

// A view whose blocks take 256 characters, so that a few lines fill them.
class LogMemoCeiling : public LogMemoTest {
protected:
  void SetUp() override {
    LogMemoTest::SetUp();
    small = new TLogMemo(form.get(), 256);
    small->SetBounds(0, 0, 400, 300);
    small->SetFont(LogFont(9));
    small->SetParent(form.get());
    memo->SetVisible(false);
    small->RemovedNotice = [](TPos removed) { return L"[" + std::to_wstring(removed) + L" entfernt]"; };
    PumpFor(20);
  }
  // "Zeile 17 xxx...": 20 characters and its break, a colour by its number.
  static std::wstring Numbered(int number) {
    std::wstring line = L"Zeile " + std::to_wstring(number) + L" ";
    line.resize(20, L'x');
    return line;
  }
  static TLineColour ColourOf(int number) { return number % 3 == 0 ? lcError : number % 3 == 1 ? lcNormal : lcDebug; }
  void Arrive(int lines) {
    for (int i = 0; i < lines; ++i) {
      ASSERT_TRUE(small->AppendLine(Numbered(next), ColourOf(next))) << next;
      ++next;
    }
    small->PaintChanges();
  }
  // The number of the line shown in a row.
  int NumberAt(TPos line) { return std::stoi(small->Content().Line(line).substr(6)); }

  TLogMemo* small = nullptr;
  int next = 0;
};

TEST_F(LogMemoCeiling, OldestLinesGoInWholeBlocksBehindACountLine) {
  small->SetLineLimit(100);
  std::size_t bytesAt500 = 0;
  for (int round = 0; round < 20; ++round) {
    Arrive(50);
    const TLogText& text = small->Content();
    ASSERT_LE(text.LineCount(), 100);
    if (small->RemovedLines() == 0) continue;
    // The first line says how many went; the next is the oldest that stayed.
    EXPECT_EQ(text.Line(0), L"[" + std::to_wstring(small->RemovedLines()) + L" entfernt]");
    EXPECT_EQ(NumberAt(1), small->RemovedLines());
    EXPECT_EQ(NumberAt(text.LineCount() - 2), next - 1);
    EXPECT_EQ(text.LineCount() - 2 + small->RemovedLines(), next);
    // A block of 256 holds about 12 lines: what goes is at least the lines beyond the limit and
    // no more than a block besides.
    EXPECT_GT(text.LineCount(), 100 - 15);
    for (TPos line = 1; line < text.LineCount() - 1; ++line)
      ASSERT_EQ(small->LineColour(line), ColourOf(NumberAt(line))) << "line " << line;
    EXPECT_EQ(small->LineColour(0), lcNormal);
    if (next == 500) bytesAt500 = small->BytesHeld();
  }
  // The memory stays bounded: the 500 lines since would be 10,500 characters more.
  EXPECT_LE(small->BytesHeld(), bytesAt500 + 2048);
  EXPECT_EQ(Send(small->Handle(), EM_CANUNDO), FALSE);
  small->Clear();
  EXPECT_EQ(small->RemovedLines(), 0);
  Arrive(1);
  EXPECT_EQ(NumberAt(0), next - 1);
}

TEST_F(LogMemoCeiling, WithoutANoticeTheFirstLineIsTheOldestKept) {
  small->RemovedNotice = nullptr;
  small->SetLineLimit(50);
  Arrive(200);
  EXPECT_LE(small->Content().LineCount(), 50);
  EXPECT_EQ(NumberAt(0), small->RemovedLines());
  EXPECT_EQ(small->Content().LineCount() - 1 + small->RemovedLines(), next);
}

TEST_F(LogMemoCeiling, ReaderKeepsHisLinesWhileTheyStayAndTheViewFollowsOn) {
  Arrive(80);
  small->SetLineLimit(100);
  // Following: the last lines stay in sight, the caret behind them.
  Arrive(60);
  EXPECT_GT(small->RemovedLines(), 0);
  EXPECT_TRUE(small->Following());
  EXPECT_EQ(small->Caret(), small->Content().Length());
  EXPECT_EQ(small->TopLine(), small->Content().LineCount() - small->PageRows());
  EXPECT_EQ(Send(small->Handle(), EM_GETFIRSTVISIBLELINE), small->TopLine());

  // A reader at line "Zeile 120" with a word of it selected holds still and keeps it in sight.
  TPos line = 0;
  while (NumberAt(line + 1) != 120) ++line;
  ++line;
  small->SetTopLine(line);
  const TPos start = small->Content().LineStart(line);
  small->SetSelection(start + 6, start + 9);
  const std::uint64_t revision = small->Content().Revision();
  Arrive(40);
  EXPECT_NE(small->Content().Revision(), revision);  // a running search starts anew
  ASSERT_EQ(NumberAt(small->TopLine()), 120);
  EXPECT_EQ(small->Content().Substr(small->SelStart(), 3), L"120");
  EXPECT_EQ(small->NewLines(), 40);
  EXPECT_EQ(Send(small->Handle(), EM_GETFIRSTVISIBLELINE), small->TopLine());

  // Once his lines are gone, he looks at the start; the badge counts no more than there is.
  Arrive(200);
  EXPECT_EQ(small->TopLine(), 0);
  EXPECT_EQ(small->SelStart(), small->SelEnd());
  EXPECT_EQ(small->Caret(), small->Content().LineStart(1));
  EXPECT_LE(small->NewLines(), small->Content().LineCount() - 2);
  small->FollowEnd();
  Arrive(5);
  EXPECT_TRUE(small->Following());
}

// ---- running out of memory ----

TEST_F(LogMemoCeiling, FullViewRefusesLinesKeepsWhatItShowsAndComesBackWhenCleared) {
  small->FullNotice = [] { return std::wstring(L"[voll]"); };
  small->SetMemoryCap(8000);
  int accepted = 0;
  while (small->AppendLine(Numbered(accepted), ColourOf(accepted)) && accepted < 100000) ++accepted;
  ASSERT_TRUE(small->Full());
  const TLogText& text = small->Content();
  // Every line taken is whole, the one refused is not there, and the notice ends the view.
  ASSERT_EQ(text.LineCount(), accepted + 2);
  for (int i = 0; i < accepted; ++i) ASSERT_EQ(text.Line(i), Numbered(i)) << i;
  EXPECT_EQ(text.Line(accepted), L"[voll]");
  const std::wstring shown = TextOf(small->Handle());
  EXPECT_FALSE(small->AppendLine(L"noch eine"));
  EXPECT_FALSE(small->Append(L"und mehr"));
  EXPECT_EQ(TextOf(small->Handle()), shown);

  // Painting, copying and a snapshot (saving) still work.
  small->PaintChanges();
  ::RedrawWindow(small->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  small->CopyToClipboard(0, text.Length());
  EXPECT_EQ(Clipboard().AsText(), shown);
  const TLogTextSnapshot snapshot = text.Snapshot();
  std::wstring saved(static_cast<std::size_t>(snapshot.Length()), L'\0');
  snapshot.Read(0, snapshot.Length(), saved.data());
  EXPECT_EQ(saved, shown);

  small->Clear();
  EXPECT_FALSE(small->Full());
  small->SetMemoryCap(0);
  EXPECT_TRUE(small->AppendLine(L"wieder da"));
  EXPECT_EQ(TextOf(small->Handle()), L"wieder da\r\n");
}
