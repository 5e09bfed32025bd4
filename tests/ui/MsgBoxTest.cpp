// The message box driven as a user drives it: keys and mouse through the system's input queue,
// what it shows read from outside through its windows, results checked after it returned.
#include "base/Files.h"
#include "base/Misc.h"
#include "lang/DmLang.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"
#include "toolkit/Clipbrd.h"
#include "toolkit/ExtCtrls.h"
#include "ui/FrmMsgBox.h"
#include "ui/FrmPopupMsg.h"
#include "ui/TextMeasure.h"
#include "ui/UiTestSupport.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

namespace {

// The result of a box the test had to end itself (a step waited in vain).
constexpr int kRescued = 999;

// What a user sees of a message box.
struct TBoxView {
  HWND Wnd = nullptr;
  std::wstring Caption;
  std::vector<HWND> Buttons;  // the visible push buttons, left to right
  std::vector<std::wstring> Captions;
  bool CloseBox = false;
  HWND Focus = nullptr;
  HWND Icon = nullptr;
  HWND TextArea = nullptr;
  HWND ScrollArea = nullptr;
  std::wstring Text;         // the text area's window text
  HWND CheckBox = nullptr;   // null while hidden
};

bool IsPushButton(HWND wnd) {
  const auto type = ::GetWindowLongPtrW(wnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// The message box on screen: a visible window of ours with a text area.
HWND FindMsgBox() {
  for (HWND wnd : VisibleTopLevelWindows(L"TavrinoForm"))
    if (!DescendantsOf(wnd, L"TavrinoPaintBox").empty()) return wnd;
  return nullptr;
}

TBoxView ReadBox(HWND box) {
  TBoxView view;
  view.Wnd = box;
  view.Caption = WindowTextOf(box);
  view.CloseBox = (::GetWindowLongPtrW(box, GWL_STYLE) & WS_SYSMENU) != 0;
  view.Focus = FocusedWindowOf(box);
  std::vector<std::pair<LONG, HWND>> buttons;
  for (HWND b : DescendantsOf(box, L"Button")) {
    if (!::IsWindowVisible(b)) continue;
    if (IsPushButton(b))
      buttons.emplace_back(WindowRectOf(b).left, b);
    else
      view.CheckBox = b;
  }
  std::sort(buttons.begin(), buttons.end());
  for (const auto& [left, b] : buttons) {
    view.Buttons.push_back(b);
    view.Captions.push_back(WindowTextOf(b));
  }
  const std::vector<HWND> icons = DescendantsOf(box, L"TavrinoImage");
  view.Icon = icons.empty() ? nullptr : icons.front();
  const std::vector<HWND> areas = DescendantsOf(box, L"TavrinoPaintBox");
  view.TextArea = areas.empty() ? nullptr : areas.front();
  view.ScrollArea = view.TextArea ? ::GetParent(view.TextArea) : nullptr;
  view.Text = view.TextArea ? WindowTextOf(view.TextArea) : std::wstring();
  return view;
}

// A step of a user at the box; true when it is done and the next one may follow.
using TStep = std::function<bool(const TBoxView&)>;

TStep Do(std::function<void(const TBoxView&)> action) {
  return [action](const TBoxView& view) {
    action(view);
    return true;
  };
}
TStep Until(std::function<bool(const TBoxView&)> condition) { return condition; }
TStep Pause(int ticks) {
  auto left = std::make_shared<int>(ticks);
  return [left](const TBoxView&) { return --*left <= 0; };
}
TStep Press(WORD key, std::initializer_list<WORD> modifiers = {}) {
  std::vector<WORD> mods(modifiers);
  return Do([key, mods](const TBoxView&) {
    if (mods.empty())
      PressKey(key);
    else if (mods.size() == 1)
      PressKey(key, {mods[0]});
    else
      PressKey(key, {mods[0], mods[1]});
  });
}
TStep ClickButton(size_t index) {
  return Do([index](const TBoxView& view) {
    ASSERT_LT(index, view.Buttons.size());
    ClickWithMouse(view.Buttons[index]);
  });
}

// Runs the box that execute shows on this thread; the steps run from inside its modal loop
// (on a timer) once the box is in front. Returns what execute returned.
int RunBox(const std::function<int()>& execute, std::vector<TStep> steps) {
  size_t next = 0;
  const ULONGLONG deadline = ::GetTickCount64() + 20000;
  TTimer timer(nullptr);
  timer.SetInterval(30);
  timer.OnTimer = [&](TObject*) {
    HWND box = FindMsgBox();
    if (!box) return;
    if (::GetTickCount64() > deadline) {
      ADD_FAILURE() << "step " << next << " waited in vain";
      if (auto* form = dynamic_cast<TForm*>(TControl::FromHandle(box))) form->SetModalResult(kRescued);
      return;
    }
    if (next == steps.size() || (next == 0 && ::GetForegroundWindow() != box)) return;
    if (steps[next](ReadBox(box))) ++next;
  };
  const int result = execute();
  EXPECT_EQ(next, steps.size()) << "the box closed before every step ran";
  return result;
}

std::function<int()> Show(std::wstring headline, std::wstring message, std::uint32_t flags,
                          TMsgBoxOptions options = {}) {
  return [=] { return TFrmMsgBox::Execute(headline, message, flags, options); };
}

// Waits in a thread of its own for the context menu (which runs a loop of its own), reads its
// items and answers it with a key.
class TMenuUser {
public:
  explicit TMenuUser(WORD key)
      : FThread([this, key] {
          for (int i = 0; i < 500; ++i) {
            HWND menu = ::FindWindowW(L"#32768", nullptr);
            if (menu && ::IsWindowVisible(menu)) {
              auto handle = reinterpret_cast<HMENU>(::SendMessageW(menu, MN_GETHMENU, 0, 0));
              const int count = handle ? ::GetMenuItemCount(handle) : 0;
              for (int item = 0; item < count; ++item) {
                wchar_t text[128] = {};
                ::GetMenuStringW(handle, static_cast<UINT>(item), text, 128, MF_BYPOSITION);
                FItems.push_back(text);
              }
              PressKey(key);
              break;
            }
            ::Sleep(20);
          }
          FDone = true;
        }) {}
  ~TMenuUser() { FThread.join(); }
  bool Done() const { return FDone; }
  // Read only after Done.
  const std::vector<std::wstring>& Items() const { return FItems; }

private:
  std::vector<std::wstring> FItems;
  std::atomic<bool> FDone{false};
  std::thread FThread;
};

// Pixels of a window that have exactly a colour.
int CountPixels(HWND wnd, COLORREF color) {
  int width = 0, height = 0;
  const std::vector<COLORREF> pixels = ClientPixels(wnd, width, height);
  return static_cast<int>(std::count(pixels.begin(), pixels.end(), color));
}

class MsgBoxDialog : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(MsgBox3Available()); }
  // The popup hooks as the window helpers install them at start.
  void TearDown() override { SetPopupMsgProcs(PopupMsgShow, PopupMsgHide); }
};

// ---------------------------------------------------------------------------------------------
// The standard buttons of the flags

struct TFlagsCase {
  const char* name;
  std::uint32_t flags;
  std::vector<std::wstring> captions;
  std::vector<int> results;
  int escResult;  // 0: Esc does nothing
  bool closeBox;
};

class MsgBoxFlags : public ::testing::TestWithParam<TFlagsCase> {};

TEST_P(MsgBoxFlags, ButtonsResultsEscAndCloseBox) {
  const TFlagsCase& c = GetParam();
  auto check = [&](const TBoxView& view) {
    EXPECT_EQ(view.Captions, c.captions);
    EXPECT_EQ(view.CloseBox, c.closeBox);
    EXPECT_EQ(view.Text, L"Eine Meldung");
    ASSERT_FALSE(view.Buttons.empty());
    EXPECT_EQ(view.Focus, view.Buttons[0]);
  };
  for (size_t i = 0; i < c.results.size(); ++i) {
    EXPECT_EQ(RunBox(Show(L"", L"Eine Meldung", c.flags), {Do(check), ClickButton(i)}), c.results[i])
        << "button " << i + 1;
  }
  if (c.escResult) {
    EXPECT_EQ(RunBox(Show(L"", L"Eine Meldung", c.flags), {Press(VK_ESCAPE)}), c.escResult);
  } else {
    // Esc does nothing: the box is still there for the click that follows.
    EXPECT_EQ(RunBox(Show(L"", L"Eine Meldung", c.flags), {Press(VK_ESCAPE), Pause(5), ClickButton(1)}),
              c.results[1]);
  }
  if (c.closeBox) {
    EXPECT_EQ(RunBox(Show(L"", L"Eine Meldung", c.flags), {Press(VK_F4, {VK_MENU})}), IDCANCEL);
  } else {
    EXPECT_EQ(RunBox(Show(L"", L"Eine Meldung", c.flags), {Press(VK_F4, {VK_MENU}), Pause(5), ClickButton(2)}),
              c.results[2]);
  }
}

INSTANTIATE_TEST_SUITE_P(
    FrmMsgBox, MsgBoxFlags,
    ::testing::Values(
        TFlagsCase{"Ok", MB_OK | MB_ICONINFORMATION, {L"&OK"}, {IDOK}, IDOK, true},
        TFlagsCase{"OkCancel", MB_OKCANCEL | MB_ICONQUESTION, {L"&OK", L"&Abbrechen"}, {IDOK, IDCANCEL}, IDCANCEL, true},
        TFlagsCase{"AbortRetryIgnore",
                   MB_ABORTRETRYIGNORE | MB_ICONHAND,
                   {L"&Abbrechen", L"&Wiederholen", L"&Ignorieren"},
                   {IDABORT, IDRETRY, IDIGNORE},
                   0,
                   false},
        TFlagsCase{"YesNoCancel",
                   MB_YESNOCANCEL | MB_ICONEXCLAMATION,
                   {L"&Ja", L"&Nein", L"&Abbrechen"},
                   {IDYES, IDNO, IDCANCEL},
                   IDCANCEL,
                   true},
        TFlagsCase{"YesNo", MB_YESNO, {L"&Ja", L"&Nein"}, {IDYES, IDNO}, IDNO, true},
        TFlagsCase{"RetryCancel", MB_RETRYCANCEL, {L"&Wiederholen", L"&Abbrechen"}, {IDRETRY, IDCANCEL}, IDCANCEL,
                   true},
        TFlagsCase{"UnknownKindIsOk", 7 | MB_ICONWARNING, {L"&OK"}, {IDOK}, IDOK, true}),
    TCaseName());

// ---------------------------------------------------------------------------------------------
// The caller's buttons, through MsgBox3

struct TCallerButtonsCase {
  const char* name;
  const wchar_t* buttons;
  std::vector<std::wstring> captions;
  std::vector<int> results;
  int escResult;  // 0: Esc does nothing
};

class MsgBoxCallerButtons : public ::testing::TestWithParam<TCallerButtonsCase> {};

TEST_P(MsgBoxCallerButtons, CaptionsResultsAndEsc) {
  const TCallerButtonsCase& c = GetParam();
  const auto show = [&] { return MsgBox3(L"Frage", L"Wie weiter?", c.buttons, MB_ICONQUESTION, nullptr); };
  for (size_t i = 0; i < c.results.size(); ++i) {
    EXPECT_EQ(RunBox(show, {Do([&](const TBoxView& view) { EXPECT_EQ(view.Captions, c.captions); }),
                            ClickButton(i)}),
              c.results[i]);
  }
  if (c.escResult)
    EXPECT_EQ(RunBox(show, {Press(VK_ESCAPE)}), c.escResult);
  else
    EXPECT_EQ(RunBox(show, {Press(VK_ESCAPE), Pause(5), ClickButton(0)}), c.results[0]);
}

INSTANTIATE_TEST_SUITE_P(
    FrmMsgBox, MsgBoxCallerButtons,
    ::testing::Values(TCallerButtonsCase{"One", L"&Eins", {L"&Eins"}, {-1}, -1},
                      TCallerButtonsCase{"Two", L"Zum &Download|&Abbrechen", {L"Zum &Download", L"&Abbrechen"},
                                         {-1, -2}, -2},
                      TCallerButtonsCase{"Three", L"&Eins|&Zwei|&Drei", {L"&Eins", L"&Zwei", L"&Drei"}, {-1, -2, -3},
                                         -3},
                      TCallerButtonsCase{"FourShowThreeAndEscDoesNothing", L"&Eins|&Zwei|&Drei|&Vier",
                                         {L"&Eins", L"&Zwei", L"&Drei"}, {-1, -2, -3}, 0},
                      TCallerButtonsCase{"EmptyMiddleHidesTheSecond", L"&Eins||&Drei", {L"&Eins", L"&Drei"},
                                         {-1, -3}, -3}),
    TCaseName());

TEST_F(MsgBoxDialog, ThirdButtonKeepsItsPlaceWhenTheSecondIsHidden) {
  RunBox([] { return MsgBox3(L"", L"Text", L"&Eins||&Drei", 0, nullptr); },
         {Do([](const TBoxView& view) {
            ASSERT_EQ(view.Buttons.size(), 2u);
            const RECT third = WindowRectOf(view.Buttons[1]);
            POINT p{third.left, third.top};
            ::ScreenToClient(::GetParent(view.Buttons[1]), &p);
            EXPECT_EQ(p.x, ::MulDiv(260, static_cast<int>(::GetDpiForWindow(view.Wnd)), 96));
          }),
          Press(VK_ESCAPE)});
}

TEST_F(MsgBoxDialog, LongCaptionsWidenAllButtonsAlikeAndTheWindowWithThem) {
  RunBox([] { return MsgBox3(L"", L"Kurz", L"Ein wirklich sehr langer Knopftext|&Zwei|&Drei", 0, nullptr); },
         {Do([](const TBoxView& view) {
            ASSERT_EQ(view.Buttons.size(), 3u);
            const int dpi = static_cast<int>(::GetDpiForWindow(view.Wnd));
            const int u = SpacingUnitForPPI(dpi);
            RECT r[3];
            for (int i = 0; i < 3; ++i) r[i] = WindowRectOf(view.Buttons[static_cast<size_t>(i)]);
            EXPECT_GT(r[0].right - r[0].left, ::MulDiv(85, dpi, 96));
            EXPECT_EQ(r[1].right - r[1].left, r[0].right - r[0].left);
            EXPECT_EQ(r[2].right - r[2].left, r[0].right - r[0].left);
            EXPECT_LE(std::abs(r[1].left - r[0].right - 4 * u), 1);
            EXPECT_LE(std::abs(r[2].left - r[1].right - 4 * u), 1);
            EXPECT_LE(r[2].right, WindowRectOf(view.Wnd).right);  // the window grew to hold them
          }),
          Press(VK_ESCAPE)});
}

// ---------------------------------------------------------------------------------------------
// fallback button, close query

struct TDefaultButtonCase {
  const char* name;
  std::uint32_t flags;
  size_t focused;
  int enterResult;
};

class MsgBoxDefaultButton : public ::testing::TestWithParam<TDefaultButtonCase> {};

TEST_P(MsgBoxDefaultButton, FlagsChooseTheFocusedButtonThatEnterPresses) {
  const TDefaultButtonCase& c = GetParam();
  EXPECT_EQ(RunBox(Show(L"", L"Weiter?", c.flags),
                   {Do([&](const TBoxView& view) {
                      ASSERT_LT(c.focused, view.Buttons.size());
                      EXPECT_EQ(view.Focus, view.Buttons[c.focused]);
                    }),
                    Press(VK_RETURN)}),
            c.enterResult);
}

INSTANTIATE_TEST_SUITE_P(
    FrmMsgBox, MsgBoxDefaultButton,
    ::testing::Values(TDefaultButtonCase{"FirstWithoutFlag", MB_YESNOCANCEL, 0, IDYES},
                      TDefaultButtonCase{"Second", MB_YESNOCANCEL | MB_DEFBUTTON2, 1, IDNO},
                      TDefaultButtonCase{"Third", MB_YESNOCANCEL | MB_DEFBUTTON3, 2, IDCANCEL},
                      TDefaultButtonCase{"SecondOfTwo", MB_OKCANCEL | MB_DEFBUTTON2, 1, IDCANCEL},
                      TDefaultButtonCase{"MissingThirdLeavesTheFirst", MB_OKCANCEL | MB_DEFBUTTON3, 0, IDOK},
                      TDefaultButtonCase{"MissingSecondLeavesTheFirst", MB_OK | MB_DEFBUTTON2, 0, IDOK}),
    TCaseName());

TEST_F(MsgBoxDialog, AbortRetryIgnoreRefusesEveryCloseRequestUntilAButtonAnswers) {
  EXPECT_EQ(RunBox(Show(L"Fehler", L"Laufwerk nicht bereit", MB_ABORTRETRYIGNORE),
                   {Do([](const TBoxView& view) { EXPECT_FALSE(view.CloseBox); }), Press(VK_ESCAPE), Pause(3),
                    Press(VK_F4, {VK_MENU}), Pause(3),
                    // A close request without a result, as the system sends one when it shuts down.
                    Do([](const TBoxView& view) { ::PostMessageW(view.Wnd, WM_CLOSE, 0, 0); }), Pause(5),
                    Do([](const TBoxView& view) { EXPECT_TRUE(::IsWindowVisible(view.Wnd)); }), ClickButton(1)}),
            IDRETRY);
}

// ---------------------------------------------------------------------------------------------
// Copying the text

TEST_F(MsgBoxDialog, CtrlCCopiesTheEscapedTextWithALineBreakAndTicks) {
  static HWND tickOwner = nullptr;
  static std::wstring tickText;
  tickOwner = nullptr;
  SetPopupMsgProcs(
      [](const std::wstring& text, TAlignment align, TForm* owner) {
        tickText = text;
        tickOwner = owner ? owner->Handle() : nullptr;
        PopupMsgShow(text, align, owner);
      },
      PopupMsgHide);
  SetClipboardAsText(L"vorher");
  HWND box = nullptr;
  EXPECT_EQ(RunBox(Show(L"Überschrift  ", L"Erste Zeile\nZweite\tZeile\r\n", MB_ICONINFORMATION),
                   {Do([&](const TBoxView& view) { box = view.Wnd; }), Press('C', {VK_CONTROL}),
                    Until([](const TBoxView&) { return ClipboardAsText() != L"vorher"; }), Press(VK_RETURN)}),
            IDOK);
  EXPECT_EQ(ClipboardAsText(), L"Überschrift\r\n\r\nErste Zeile\r\nZweite^IZeile\r\n");
  EXPECT_EQ(tickText, L"\u2714");
  EXPECT_EQ(tickOwner, box);
  EXPECT_EQ(FrmPopupMsg, nullptr);
}

TEST_F(MsgBoxDialog, ContextMenuOfTheTextCopiesIt) {
  SetClipboardAsText(L"vorher");
  std::unique_ptr<TMenuUser> user;
  EXPECT_EQ(RunBox(Show(L"", L"Nur eine Zeile", MB_OK),
                   {Do([&](const TBoxView& view) {
                      user = std::make_unique<TMenuUser>('K');
                      ClickWithMouse(view.TextArea, true);
                    }),
                    Until([&](const TBoxView&) { return user->Done(); }),
                    Until([](const TBoxView&) { return ClipboardAsText() != L"vorher"; }), Press(VK_RETURN)}),
            IDOK);
  ASSERT_TRUE(user);
  EXPECT_EQ(user->Items(), std::vector<std::wstring>{L"&Kopieren"});
  EXPECT_EQ(ClipboardAsText(), L"Nur eine Zeile\r\n");
}

// ---------------------------------------------------------------------------------------------
// Texts: headline and message, control characters, long texts

struct TTextCase {
  const char* name;
  const wchar_t* headline;
  const wchar_t* message;
  const wchar_t* shown;  // the text area's window text
};

class MsgBoxTexts : public ::testing::TestWithParam<TTextCase> {};

TEST_P(MsgBoxTexts, TextAreaCarriesTheTextAsCopied) {
  const TTextCase& c = GetParam();
  std::wstring shown;
  RunBox(Show(c.headline, c.message, MB_OK), {Do([&](const TBoxView& view) { shown = view.Text; }), Press(VK_ESCAPE)});
  EXPECT_EQ(shown, c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    FrmMsgBox, MsgBoxTexts,
    ::testing::Values(TTextCase{"HeadlineAndMessage", L"Kopf", L"Rumpf", L"Kopf\r\n\r\nRumpf"},
                      TTextCase{"MessageAloneBecomesTheHeadline", L"", L"Rumpf", L"Rumpf"},
                      TTextCase{"HeadlineAlone", L"Kopf", L"", L"Kopf"},
                      TTextCase{"TabShowsAsCaret", L"", L"Spalte 1\tSpalte 2", L"Spalte 1^ISpalte 2"},
                      TTextCase{"LineBreaksBecomeCrLfAndTheEndIsTrimmed", L"a\nb\r\n \t", L"c\rd \r\n",
                                L"a\r\nb\r\n\r\nc\r\nd"},
                      TTextCase{"ControlCharacters", L"", L"\x01\x1B[0m\x7F", L"^A^[[0m\x7F"},
                      TTextCase{"AmpersandIsNoAccessKey", L"", L"Ein && Zwei & Drei", L"Ein && Zwei & Drei"}),
    TCaseName());

TEST(FrmMsgBox, EscapeControlCharsShowsEveryControlCharacterButCrAndLf) {
  std::wstring all;
  for (wchar_t c = 0; c < 32; ++c) all += c;
  EXPECT_EQ(EscapeControlChars(all),
            L"^@^A^B^C^D^E^F^G^H^I\n^K^L\r^N^O^P^Q^R^S^T^U^V^W^X^Y^Z^[^\\^]^^^_");
  EXPECT_EQ(EscapeControlChars(L"ohne"), L"ohne");
  EXPECT_EQ(EscapeControlChars(L""), L"");
}

TEST_F(MsgBoxDialog, TwoHundredLinesScrollAndTheWheelMovesByItsDelta) {
  std::wstring text;
  for (int i = 1; i <= 200; ++i) text += L"Zeile " + std::to_wstring(i) + L"\r\n";
  EXPECT_EQ(RunBox(Show(L"", text, MB_OK),
                   {Do([&](const TBoxView& view) {
                      const int dpi = static_cast<int>(::GetDpiForWindow(view.Wnd));
                      const TMonitor monitor = Screen().MonitorFromWindow(view.Wnd);
                      const RECT window = WindowRectOf(view.Wnd);
                      // About ten top margins short of the screen's height (the check box panel,
                      // hidden later, still counted when the text area's height was chosen).
                      const int shortBy = monitor.Height() - (window.bottom - window.top);
                      EXPECT_GE(shortBy, 10 * ::MulDiv(16, dpi, 96) - 2);
                      EXPECT_LE(shortBy, 10 * ::MulDiv(16, dpi, 96) + ::MulDiv(25, dpi, 96) + 2);
                      // The range is the height of the 200 lines in the box's font.
                      TWindowDc dc(view.TextArea);
                      TFontHandle font = CreateFontFor(TFontDesc::FromPoints(L"Segoe UI", 9), dpi);
                      TSelectObject select(dc.Get(), font.Get());
                      TEXTMETRICW tm{};
                      ::GetTextMetricsW(dc.Get(), &tm);
                      SCROLLINFO si{};
                      si.cbSize = sizeof(si);
                      si.fMask = SIF_ALL;
                      ASSERT_TRUE(::GetScrollInfo(view.ScrollArea, SB_VERT, &si));
                      EXPECT_EQ(si.nMax + 1, 200 * (tm.tmHeight + tm.tmExternalLeading));
                      EXPECT_EQ(static_cast<int>(si.nPage), ClientRectOf(view.ScrollArea).bottom);
                      EXPECT_EQ(si.nPos, 0);
                      EXPECT_EQ(ClientRectOf(view.TextArea).bottom, ClientRectOf(view.ScrollArea).bottom);
                      TurnWheelOver(view.ScrollArea, -WHEEL_DELTA);
                    }),
                    Until([](const TBoxView& view) { return ::GetScrollPos(view.ScrollArea, SB_VERT) == 120; }),
                    Do([](const TBoxView& view) { TurnWheelOver(view.ScrollArea, -2 * WHEEL_DELTA); }),
                    Until([](const TBoxView& view) { return ::GetScrollPos(view.ScrollArea, SB_VERT) == 360; }),
                    Do([](const TBoxView& view) { TurnWheelOver(view.ScrollArea, 3 * WHEEL_DELTA); }),
                    Until([](const TBoxView& view) { return ::GetScrollPos(view.ScrollArea, SB_VERT) == 0; }),
                    Press(VK_RETURN)}),
            IDOK);
}

TEST_F(MsgBoxDialog, HugeTextsAreShownWholeAndScrolled) {
  std::wstring paragraph;
  for (int i = 0; paragraph.size() < 100000; ++i) paragraph += static_cast<wchar_t>(L'a' + i % 26);
  std::wstring lines;
  for (int i = 1; i <= 5000; ++i) lines += L"Zeile " + std::to_wstring(i) + L" \U0001F600\x07\r\n";
  std::wstring escapedLines = EscapeControlChars(TrimRight(lines));
  for (const auto& [headline, message, shown] :
       {std::tuple{std::wstring(L"Ein Absatz"), paragraph, L"Ein Absatz\r\n\r\n" + paragraph},
        std::tuple{std::wstring(), lines, escapedLines}}) {
    EXPECT_EQ(RunBox(Show(headline, message, MB_OK),
                     {Do([&](const TBoxView& view) {
                        EXPECT_EQ(view.Text.size(), shown.size());
                        EXPECT_TRUE(view.Text == shown);
                        SCROLLINFO si{};
                        si.cbSize = sizeof(si);
                        si.fMask = SIF_ALL;
                        ASSERT_TRUE(::GetScrollInfo(view.ScrollArea, SB_VERT, &si));
                        EXPECT_GT(si.nMax, static_cast<int>(si.nPage));
                        // The window stays on its monitor.
                        const TMonitor monitor = Screen().MonitorFromWindow(view.Wnd);
                        const RECT window = WindowRectOf(view.Wnd);
                        EXPECT_LE(window.right - window.left, monitor.Width());
                        EXPECT_LE(window.bottom - window.top, monitor.Height());
                        // Down to the end with the wheel, far beyond 32,767 pixels.
                        TurnWheelOver(view.ScrollArea, -WHEEL_DELTA, (si.nMax + 1) / WHEEL_DELTA + 1);
                      }),
                      Until([](const TBoxView& view) {
                        SCROLLINFO si{};
                        si.cbSize = sizeof(si);
                        si.fMask = SIF_ALL;
                        ::GetScrollInfo(view.ScrollArea, SB_VERT, &si);
                        return si.nPos > 0 && si.nPos == si.nMax + 1 - static_cast<int>(si.nPage);
                      }),
                      Pause(3), Do([](const TBoxView& view) {
                        // The text area still covers what is visible, and the end of the text shows
                        // in its lowest lines.
                        EXPECT_EQ(ClientRectOf(view.TextArea).bottom, ClientRectOf(view.ScrollArea).bottom);
                        int width = 0, height = 0;
                        const std::vector<COLORREF> pixels = ClientPixels(view.TextArea, width, height);
                        const auto firstOfBottom = pixels.end() - std::min<std::ptrdiff_t>(40 * width, pixels.end() - pixels.begin());
                        EXPECT_GT(std::count_if(firstOfBottom, pixels.end(),
                                                [](COLORREF c) { return GetRValue(c) < 128 && GetGValue(c) < 128; }),
                                  20);
                      }),
                      Press(VK_RETURN)}),
              IDOK);
  }
}

// ---------------------------------------------------------------------------------------------
// Check box, colours, icon

TEST_F(MsgBoxDialog, CheckBoxShowsTheCallersStateAndReturnsTheUsersChoice) {
  for (const bool initial : {true, false}) {
    bool dsa = initial;
    EXPECT_EQ(RunBox([&] { return TFrmMsgBox::Execute(L"Hinweis", L"", MB_OK, L"Nicht wieder anzeigen", dsa, {}); },
                     {Do([&](const TBoxView& view) {
                        ASSERT_NE(view.CheckBox, nullptr);
                        EXPECT_EQ(WindowTextOf(view.CheckBox), L"Nicht wieder anzeigen");
                        EXPECT_EQ(::SendMessageW(view.CheckBox, BM_GETCHECK, 0, 0),
                                  initial ? BST_CHECKED : BST_UNCHECKED);
                        ClickWithMouse(view.CheckBox);
                      }),
                      Until([&](const TBoxView& view) {
                        return ::SendMessageW(view.CheckBox, BM_GETCHECK, 0, 0) ==
                               (initial ? BST_UNCHECKED : BST_CHECKED);
                      }),
                      ClickButton(0)}),
              IDOK);
    EXPECT_EQ(dsa, !initial);
  }
  bool dsa = true;
  EXPECT_EQ(RunBox([&] { return TFrmMsgBox::Execute(L"Hinweis", L"", MB_OK, L"", dsa, {}); },
                   {Do([](const TBoxView& view) { EXPECT_EQ(view.CheckBox, nullptr); }), Press(VK_RETURN)}),
            IDOK);
  EXPECT_FALSE(dsa);  // without the check box there is nothing to report
}

TEST_F(MsgBoxDialog, ColouredOptionPaintsYellowWithBlackTextAndTheHeadlineIsBlueOtherwise) {
  constexpr COLORREF kYellow = 0x80FFFF, kBlue = 0x805309, kBlack = 0x000000;
  int yellowForm = 0, blackText = 0, blueText = 0;
  RunBox(Show(L"Achtung", L"Eine Meldung", MB_OK, {moColored}),
         {Pause(3), Do([&](const TBoxView& view) {
            yellowForm = CountPixels(view.Wnd, kYellow);
            blackText = CountPixels(view.TextArea, kBlack);
            blueText = CountPixels(view.TextArea, kBlue);
          }),
          Press(VK_RETURN)});
  EXPECT_GT(yellowForm, 1000);
  EXPECT_GT(blackText, 0);
  EXPECT_EQ(blueText, 0);

  int yellowPlain = 0, bluePlain = 0;
  RunBox(Show(L"Achtung", L"Eine Meldung", MB_OK),
         {Pause(3), Do([&](const TBoxView& view) {
            yellowPlain = CountPixels(view.Wnd, kYellow);
            bluePlain = CountPixels(view.TextArea, kBlue);
          }),
          Press(VK_RETURN)});
  EXPECT_EQ(yellowPlain, 0);
  EXPECT_GT(bluePlain, 0);
}

TEST_F(MsgBoxDialog, IconFollowsTheFlags) {
  auto iconPixels = [](std::uint32_t flags) {
    int distinct = 0;
    RunBox(Show(L"", L"Symbol", flags), {Pause(3), Do([&](const TBoxView& view) {
                                           int width = 0, height = 0;
                                           std::vector<COLORREF> pixels = ClientPixels(view.Icon, width, height);
                                           std::sort(pixels.begin(), pixels.end());
                                           distinct = static_cast<int>(
                                               std::unique(pixels.begin(), pixels.end()) - pixels.begin());
                                         }),
                                         Press(VK_RETURN)});
    return distinct;
  };
  EXPECT_GT(iconPixels(MB_ICONINFORMATION), 2);
  EXPECT_GT(iconPixels(MB_ICONHAND), 2);
  EXPECT_EQ(iconPixels(MB_OK), 1);  // no icon: the area stays empty
}

// ---------------------------------------------------------------------------------------------
// Hooks and languages

TEST_F(MsgBoxDialog, WithoutTheHooksTheSystemBoxShowsWithTheProgramName) {
  ClearMsgBoxProcs();
  std::wstring caption, text;
  TTimer timer(nullptr);
  timer.SetInterval(30);
  timer.OnTimer = [&](TObject*) {
    const std::vector<HWND> boxes = VisibleTopLevelWindows(L"#32770");
    if (boxes.empty() || !caption.empty()) return;
    caption = WindowTextOf(boxes.front());
    for (HWND label : DescendantsOf(boxes.front(), L"Static")) text += WindowTextOf(label);
    ::SetForegroundWindow(boxes.front());
    PressKey(VK_RETURN);
  };
  const int result = MsgBox(L"x", MB_ICONINFORMATION, nullptr);
  FrmMsgBoxStart();  // the hooks back for the other tests
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(caption, FileBaseName(ProgramFileName()));
  EXPECT_EQ(text, L"x");
  EXPECT_TRUE(MsgBox3Available());
}

TEST_F(MsgBoxDialog, PlainEntryRoutinesGoThroughTheBox) {
  EXPECT_EQ(RunBox([] { return MsgBox(L"Kopf", L"Rumpf", MB_YESNO); },
                   {Do([](const TBoxView& view) {
                      EXPECT_EQ(view.Text, L"Kopf\r\n\r\nRumpf");
                      EXPECT_EQ(view.Caption, Application().Title());
                    }),
                    ClickButton(1)}),
            IDNO);
  EXPECT_EQ(RunBox([] { return MsgBox3(L"Nur Text", MB_ICONINFORMATION, nullptr); },
                   {Do([](const TBoxView& view) { EXPECT_EQ(view.Captions, std::vector<std::wstring>{L"&OK"}); }),
                    Press(VK_ESCAPE)}),
            IDOK);
}

TEST_F(MsgBoxDialog, SwitchingTheLanguageTranslatesAnOpenBoxAndTheNextOne) {
  ASSERT_NE(DmLangQel, nullptr);
  TsiLangDispatcher* disp = DmLangQel->LangDisp;
  const std::vector<std::wstring> german{L"&Ja", L"&Nein", L"&Abbrechen"}, english{L"&Yes", L"&No", L"&Cancel"};
  std::unique_ptr<TMenuUser> user;
  std::vector<std::wstring> menuEnglish, menuGerman;
  auto openMenu = [&](const TBoxView& view) {
    user = std::make_unique<TMenuUser>(VK_ESCAPE);
    ClickWithMouse(view.TextArea, true);
  };
  EXPECT_EQ(RunBox(Show(L"", L"Sprache", MB_YESNOCANCEL),
                   {Do([&](const TBoxView& view) {
                      EXPECT_EQ(view.Captions, german);
                      disp->SetActiveLanguage(2);
                    }),
                    Do([&](const TBoxView& view) { EXPECT_EQ(view.Captions, english); }), Do(openMenu),
                    Until([&](const TBoxView&) { return user->Done(); }),
                    Do([&](const TBoxView&) {
                      menuEnglish = user->Items();
                      disp->SetActiveLanguage(1);
                    }),
                    Do([&](const TBoxView& view) { EXPECT_EQ(view.Captions, german); }), Do(openMenu),
                    Until([&](const TBoxView&) { return user->Done(); }),
                    Do([&](const TBoxView&) { menuGerman = user->Items(); }), Press(VK_ESCAPE)}),
            IDCANCEL);
  EXPECT_EQ(menuEnglish, std::vector<std::wstring>{L"&Copy"});
  EXPECT_EQ(menuGerman, std::vector<std::wstring>{L"&Kopieren"});

  disp->SetActiveLanguage(2);
  std::vector<std::wstring> created;
  RunBox(Show(L"", L"Sprache", MB_YESNOCANCEL),
         {Do([&](const TBoxView& view) { created = view.Captions; }), Press(VK_ESCAPE)});
  disp->SetActiveLanguage(1);
  EXPECT_EQ(created, english);
}

}  // namespace
