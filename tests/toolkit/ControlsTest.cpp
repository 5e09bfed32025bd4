#include "support/Pump.h"
#include "support/TestSupport.h"
#include "toolkit/Buttons.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/ToolkitTestSupport.h"

#include <commctrl.h>
#include <cstdlib>
#include <stdexcept>

namespace {

class ToolColumn : public ::testing::Test {
protected:
  void SetUp() override {
    form = NewForm(509, 371);
    memo = Place<TMemo>(form.get(), form.get(), 0, 0, 100, 100);
    memo->SetAlign(alClient);
    panel = Place<TPanel>(form.get(), form.get(), 0, 0, 31, 371);
    panel->SetAlign(alRight);
    picture = Place<TSpeedButton>(form.get(), panel, 4, 4, 23, 22);
    picture->SetHint(L"Leeren");
    picture->SetGlyph(1);
    toggle = Place<TSpeedButton>(form.get(), panel, 4, 216, 23, 22);
    toggle->SetHint(L"Anzeige als HexDump");
    toggle->SetCaption(L"Hex");
    toggle->SetGroupIndex(1);
    toggle->SetAllowAllUp(true);
    form->Show();
  }
  std::unique_ptr<TForm> form;
  TMemo* memo = nullptr;
  TPanel* panel = nullptr;
  TSpeedButton *picture = nullptr, *toggle = nullptr;
};

TEST_F(ToolColumn, RightPanelAndClientMemoShareTheClientArea) {
  RECT client;
  ::GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right, form->Scale(509));
  EXPECT_EQ(client.bottom, form->Scale(371));
  RECT p = WindowRectIn(panel->Handle(), form->Handle());
  RECT m = WindowRectIn(memo->Handle(), form->Handle());
  EXPECT_EQ(p.right, client.right);
  EXPECT_EQ(p.right - p.left, form->Scale(31));
  EXPECT_EQ(p.bottom - p.top, client.bottom);
  EXPECT_EQ(m.left, 0);
  EXPECT_EQ(m.right, p.left);

  ::SetWindowPos(form->Handle(), nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
  ::GetClientRect(form->Handle(), &client);
  p = WindowRectIn(panel->Handle(), form->Handle());
  m = WindowRectIn(memo->Handle(), form->Handle());
  EXPECT_EQ(p.right, client.right);
  EXPECT_EQ(m.right, p.left);
  EXPECT_EQ(m.bottom, client.bottom);
}

TEST_F(ToolColumn, ButtonsAreNamedByCaptionOrHint) {
  EXPECT_EQ(picture->Text(), L"Leeren");  // a picture button carries its hint
  EXPECT_EQ(toggle->Text(), L"Hex");
  RECT b = WindowRectIn(toggle->Handle(), panel->Handle());
  EXPECT_EQ(b.left, panel->Scale(4));
  EXPECT_EQ(b.top, panel->Scale(216));
  EXPECT_EQ(b.right - b.left, panel->Scale(23));
}

// The width of a text in a font, in device pixels.
int TextWidthIn(HFONT font, const std::wstring& text) {
  TWindowDc dc(nullptr);
  TSelectObject selected(dc.Get(), font);
  SIZE size{};
  ::GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

TEST_F(ToolColumn, ACaptionTooWideIsDrawnInTheLargestSmallerSizeThatFitsNeverCut) {
  TFontDesc smallFonts;
  smallFonts.Name = L"Small Fonts";
  smallFonts.Height = -9;
  toggle->SetFont(smallFonts);
  for (const int dpi : {form->Dpi(), 3 * form->Dpi() / 2}) {
    if (dpi != form->Dpi()) {
      RECT suggested = form->WindowRect();
      ::SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    }
    RECT client{};
    ::GetClientRect(toggle->Handle(), &client);
    // Clear of the one-pixel edge on both sides, and of the pressed button's one-pixel shift.
    const int room = client.right - 4;
    for (const wchar_t* caption : {L"Hex", L"6702", L"26702", L"65535", L"1234567890"}) {
      toggle->SetCaption(caption);
      const auto font = reinterpret_cast<HFONT>(::SendMessageW(toggle->Handle(), WM_GETFONT, 0, 0));
      ASSERT_NE(font, nullptr);
      const std::string shown = testing::PrintToString(std::wstring(caption)) + " at " + std::to_string(dpi);
      EXPECT_LE(TextWidthIn(font, caption), room) << shown;
      if (TextWidthIn(toggle->FontHandle(), caption) <= room) {
        EXPECT_EQ(font, toggle->FontHandle()) << shown;  // the button's own font where it fits
        continue;
      }
      LOGFONTW own{}, fitted{};
      ::GetObjectW(toggle->FontHandle(), sizeof(own), &own);
      ::GetObjectW(font, sizeof(fitted), &fitted);
      EXPECT_EQ(std::wstring(fitted.lfFaceName), std::wstring(own.lfFaceName)) << shown;
      EXPECT_LT(std::abs(fitted.lfHeight), std::abs(own.lfHeight)) << shown;
      if (fitted.lfWidth != 0) continue;  // condensed: no size of the face fitted
      // The next larger size would not have fitted.
      LOGFONTW larger = fitted;
      larger.lfHeight += fitted.lfHeight < 0 ? -1 : 1;
      TFontHandle largerFont(::CreateFontIndirectW(&larger));
      EXPECT_GT(TextWidthIn(largerFont.Get(), caption), room) << shown;
    }
  }
  EXPECT_EQ(toggle->Text(), L"1234567890");  // what the button says is its caption, whole
}

TEST_F(ToolColumn, ToggleGoesDownAndUpOnClicksFromEveryPath) {
  int clicks = 0;
  toggle->OnClick = [&](TObject*) { ++clicks; };
  // A click as the parent hears it from the button.
  ::SendMessageW(panel->Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(toggle->Handle()));
  EXPECT_TRUE(toggle->Down());
  EXPECT_EQ(::SendMessageW(toggle->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  // A click by the mouse.
  ::SendMessageW(toggle->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ::SendMessageW(toggle->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_FALSE(toggle->Down());
  // BM_CLICK, as accessibility tools press buttons.
  ::SendMessageW(toggle->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(toggle->Down());
  EXPECT_EQ(clicks, 3);
}

TEST_F(ToolColumn, MouseReleasedOutsideIsNoClick) {
  int clicks = 0;
  toggle->OnClick = [&](TObject*) { ++clicks; };
  ::SendMessageW(toggle->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ::SendMessageW(toggle->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(toggle->Down());
}

TEST_F(ToolColumn, ButtonsNeverTakeTheFocus) {
  memo->SetFocus();
  ASSERT_EQ(::GetFocus(), memo->Handle());
  ::SendMessageW(picture->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ::SendMessageW(picture->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ::SendMessageW(toggle->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(::GetFocus(), memo->Handle());
}

TEST_F(ToolColumn, HintBecomesTooltipWhenTheMouseComes) {
  EXPECT_EQ(ThreadTooltip(), nullptr);  // made on first use, not with the window
  ::SendMessageW(memo->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(ThreadTooltip(), nullptr);  // the mouse over a window without a hint
  ::SendMessageW(toggle->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  HWND tooltip = ThreadTooltip();
  ASSERT_NE(tooltip, nullptr);
  wchar_t text[128] = {};
  TOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.uFlags = TTF_IDISHWND;
  ti.hwnd = form->Handle();
  ti.uId = reinterpret_cast<UINT_PTR>(toggle->Handle());
  ti.lpszText = text;
  ::SendMessageW(tooltip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ(text, L"Anzeige als HexDump");
}

TEST(Timer, TicksUntilDisabled) {
  TTimer timer(nullptr);
  timer.SetInterval(10);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) {
    if (++ticks == 3) timer.SetEnabled(false);
  };
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  PumpFor(60);
  EXPECT_EQ(ticks, 3);
}

TEST(Timer, HandlerIsNotEnteredAgainWhileItRuns) {
  TTimer timer(nullptr);
  timer.SetInterval(10);
  int depth = 0, maxDepth = 0, ticks = 0;
  timer.OnTimer = [&](TObject*) {
    ++ticks;
    maxDepth = std::max(maxDepth, ++depth);
    if (ticks == 1) PumpFor(100);  // like a modal window opened from the handler
    --depth;
  };
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 2; }));
  EXPECT_EQ(maxDepth, 1);
}

TEST(ApplicationExceptions, HandlerExceptionsReachTheDisplayAndTheProgramGoesOn) {
  std::vector<std::string> shown;
  Application().SetExceptionHandler([&](const std::exception& e) { shown.push_back(e.what()); });
  {
    TTimer timer(nullptr);
    timer.SetInterval(10);
    timer.OnTimer = [&](TObject*) { throw std::runtime_error("from timer"); };
    EXPECT_TRUE(PumpUntil([&] { return !shown.empty(); }));
  }
  auto form = NewForm(100, 100);
  auto* button = Place<TSpeedButton>(form.get(), form.get(), 0, 0, 23, 22);
  button->OnClick = [](TObject*) { throw std::runtime_error("from click"); };
  ::SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  Application().SetExceptionHandler(nullptr);
  ASSERT_GE(shown.size(), 2u);
  EXPECT_EQ(shown.front(), "from timer");
  EXPECT_EQ(shown.back(), "from click");
}

TEST(Fonts, InstalledScreenFontsAreListedSortedAndFound) {
  const auto& fonts = ScreenFonts();
  ASSERT_FALSE(fonts.empty());
  EXPECT_TRUE(FontInstalled(fonts.front()));
  EXPECT_TRUE(FontInstalled(fonts.back()));
  EXPECT_FALSE(FontInstalled(L"No Such Font Anywhere"));
  for (const auto& name : fonts) EXPECT_NE(name[0], L'@');
}

TEST(Fonts, PointsAndPixels) {
  TFontDesc desc = TFontDesc::FromPoints(L"Consolas", 9);
  EXPECT_EQ(desc.Height, -12);  // 9 pt are 12 pixels at 96 dpi
  EXPECT_EQ(desc.Points(), 9);
  TFontHandle font = CreateFontFor(desc, 192);
  LOGFONTW lf{};
  ::GetObjectW(font.Get(), sizeof(lf), &lf);
  EXPECT_EQ(lf.lfHeight, -24);
  EXPECT_STREQ(lf.lfFaceName, L"Consolas");
}

TEST(FormLifecycle, ShowHideCloseRunHandlersInOrder) {
  std::vector<std::string> events;
  auto formOwner = NewForm(200, 100);
  TForm& form = *formOwner;
  form.OnShow = [&](TObject*) {
    events.push_back(::IsWindowVisible(form.Handle()) ? "show(visible)" : "show(hidden)");
  };
  form.OnHide = [&](TObject*) { events.push_back("hide"); };
  form.OnCloseQuery = [&](TObject*, bool& canClose) {
    events.push_back("closequery");
    canClose = events.size() > 2;  // the first close is refused
  };
  form.Show();
  EXPECT_TRUE(::IsWindowVisible(form.Handle()));
  ::SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(form.IsShowing());
  ::SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(form.IsShowing());
  EXPECT_FALSE(::IsWindowVisible(form.Handle()));
  EXPECT_EQ(events, (std::vector<std::string>{"show(hidden)", "closequery", "closequery", "hide"}));
}

TEST(FormLifecycle, CloseDuringShowKeepsWindowHidden) {
  auto formOwner = NewForm(200, 100);
  TForm& form = *formOwner;
  form.OnShow = [&](TObject*) { form.Close(); };
  form.Show();
  EXPECT_FALSE(form.IsShowing());
  EXPECT_FALSE(::IsWindowVisible(form.Handle()));
}

}  // namespace

namespace {

TEST(FormFocus, ActivationFocusesFirstTabControlThenTheLastFocusedOne) {
  auto formOwner = NewForm(300, 200);
  TForm& form = *formOwner;
  auto& first = *Place<TMemo>(&form, &form, 0, 0, 100, 100);
  auto& second = *Place<TMemo>(&form, &form, 100, 0, 100, 100);
  auto* panel = Place<TPanel>(&form, &form, 250, 0, 31, 200);
  auto& button = *Place<TSpeedButton>(&form, panel, 4, 4, 23, 22);
  form.Show();
  ::SetActiveWindow(form.Handle());
  EXPECT_EQ(::GetFocus(), first.Handle());

  second.SetFocus();
  auto other = NewForm(100, 100);
  other->Show();
  ::SetActiveWindow(other->Handle());
  ASSERT_NE(::GetFocus(), second.Handle());
  ::SetActiveWindow(form.Handle());
  EXPECT_EQ(::GetFocus(), second.Handle());

  // A tool button handed the focus by the system passes it on at once.
  ::SetFocus(button.Handle());
  EXPECT_EQ(::GetFocus(), second.Handle());
}

TEST(FormDpi, DpiChangeScalesBoundsAlignmentAndFonts) {
  auto formOwner = NewForm(200, 300);
  TForm& form = *formOwner;
  auto& panel = *Place<TPanel>(&form, &form, 0, 0, 31, 300);
  panel.SetAlign(alRight);
  auto& button = *Place<TSpeedButton>(&form, &panel, 4, 216, 23, 22);
  TFontDesc smallFonts;
  smallFonts.Name = L"Small Fonts";
  smallFonts.Height = -9;
  button.SetFont(smallFonts);
  form.Show();
  const int dpi = 2 * form.Dpi();
  RECT suggested;
  ::GetWindowRect(form.Handle(), &suggested);
  suggested.right = suggested.left + 2 * (suggested.right - suggested.left);
  suggested.bottom = suggested.top + 2 * (suggested.bottom - suggested.top);
  ::SendMessageW(form.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));

  EXPECT_EQ(button.Dpi(), dpi);
  RECT p = WindowRectIn(panel.Handle(), form.Handle());
  RECT client;
  ::GetClientRect(form.Handle(), &client);
  EXPECT_EQ(p.right - p.left, ScaleToDpi(31, dpi));
  EXPECT_EQ(p.right, client.right);
  RECT b = WindowRectIn(button.Handle(), panel.Handle());
  EXPECT_EQ(b.left, ScaleToDpi(4, dpi));
  EXPECT_EQ(b.top, ScaleToDpi(216, dpi));
  EXPECT_EQ(b.bottom - b.top, ScaleToDpi(22, dpi));
  LOGFONTW lf{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(button.Handle(), WM_GETFONT, 0, 0)), sizeof(lf), &lf);
  EXPECT_EQ(lf.lfHeight, ScaleToDpi(-9, dpi));
}

}  // namespace
