// The popup notification through the library's popup stack and hooks, read from outside.
#include "base/Misc.h"
#include "support/Pump.h"
#include "support/TestSupport.h"
#include "toolkit/ToolkitTestSupport.h"
#include "ui/FrmPopupMsg.h"
#include "ui/TextMeasure.h"
#include "ui/UiTestSupport.h"

#include <algorithm>
#include <cstdlib>

namespace {

class PopupMsg : public ::testing::Test {
protected:
  // The hooks as the window helpers install them at start; a test that changes them gets them back.
  void SetUp() override { SetPopupMsgProcs(PopupMsgShow, PopupMsgHide); }
  void TearDown() override {
    while (PopupStack()->Count() > 0) PopPopupMsg();
    TFrmPopupMsg::Hide();
    SetPopupMsgProcs(PopupMsgShow, PopupMsgHide);
  }

  static TMonitor MonitorOf(HWND wnd) { return Screen().MonitorFromWindow(wnd); }
  // The em unit of the popup: the line height of its font.
  static int EmOf(const TFrmPopupMsg& popup) {
    TWindowCanvas canvas(popup.Handle(), popup.Dpi(), popup.Font());
    return LineHeightOf(canvas);
  }
  static int TextWidthIn(const TFrmPopupMsg& popup, const std::wstring& text) {
    TWindowCanvas canvas(popup.Handle(), popup.Dpi(), popup.Font());
    return TextWidthOf(canvas.Handle(), text);
  }
  static POINT CentreOf(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
};

TEST_F(PopupMsg, PushPushPopPopShowsEachTextAndGrowsButNeverShrinks) {
  const std::wstring first = L"Erster Text";
  PushPopupMsg(first, nullptr, taCenter);
  ASSERT_NE(FrmPopupMsg, nullptr);
  HWND wnd = FrmPopupMsg->Handle();
  EXPECT_TRUE(::IsWindowVisible(wnd));
  EXPECT_EQ(WindowTextOf(wnd), first);
  const TMonitor monitor = MonitorOf(wnd);
  const int em = EmOf(*FrmPopupMsg);
  const RECT c1 = ClientRectOf(wnd);
  // A quarter of the monitor or the text with two em on each side, but never below the start size.
  EXPECT_EQ(c1.right, std::max({FrmPopupMsg->Scale(392), monitor.Width() / 4, TextWidthIn(*FrmPopupMsg, first) + 4 * em}));
  EXPECT_GE(c1.bottom, FrmPopupMsg->Scale(70));

  std::wstring second;
  while (TextWidthIn(*FrmPopupMsg, second) < monitor.Width() / 3) second += L"Ein längerer zweiter Text ";
  second.pop_back();
  PushPopupMsg(second, nullptr, taLeftJustify);
  ASSERT_EQ(FrmPopupMsg->Handle(), wnd);  // the same window shows the new text
  EXPECT_EQ(WindowTextOf(wnd), second);
  const RECT c2 = ClientRectOf(wnd);
  EXPECT_EQ(c2.right, TextWidthIn(*FrmPopupMsg, second) + 4 * em);
  EXPECT_EQ(c2.bottom, c1.bottom);

  PopPopupMsg();
  ASSERT_NE(FrmPopupMsg, nullptr);
  ASSERT_TRUE(::IsWindow(wnd));
  EXPECT_EQ(WindowTextOf(wnd), first);
  EXPECT_EQ(FrmPopupMsg->Alignment(), taCenter);
  const RECT c3 = ClientRectOf(wnd);
  EXPECT_EQ(c3.right, c2.right);  // a shorter text leaves the size as it was
  EXPECT_EQ(c3.bottom, c2.bottom);

  PopPopupMsg();
  EXPECT_EQ(FrmPopupMsg, nullptr);
  EXPECT_FALSE(::IsWindow(wnd));
  EXPECT_EQ(PopupStack()->Count(), 0);
}

TEST_F(PopupMsg, TickShowsACheckMarkCentredOnTheOwnerAndLeavesNoWindow) {
  auto owner = NewForm(600, 400);
  owner->Show();
  ::SetForegroundWindow(owner->Handle());
  PumpFor(50);
  struct TSeen {
    HWND Wnd = nullptr;
    std::wstring Text;
    bool Visible = false;
    RECT Rect{};
    HWND Active = nullptr;
  };
  static TSeen seen;
  seen = TSeen{};
  SetPopupMsgProcs(
      [](const std::wstring& text, TAlignment align, TForm* popupOwner) {
        PopupMsgShow(text, align, popupOwner);
        seen.Wnd = FrmPopupMsg->Handle();
        seen.Text = WindowTextOf(seen.Wnd);
        seen.Visible = ::IsWindowVisible(seen.Wnd) != FALSE;
        seen.Rect = WindowRectOf(seen.Wnd);
        seen.Active = ::GetActiveWindow();
      },
      PopupMsgHide);
  PopupTick(owner.get());
  ASSERT_NE(seen.Wnd, nullptr);
  EXPECT_EQ(seen.Text, L"\u2714");
  EXPECT_TRUE(seen.Visible);
  EXPECT_EQ(seen.Active, owner->Handle());  // the popup takes no activation
  const TMonitor monitor = Screen().MonitorFromWindow(owner->Handle());
  EXPECT_EQ(seen.Rect.right - seen.Rect.left, std::max(monitor.Width() / 4, owner->Scale(392)));
  EXPECT_GE(seen.Rect.bottom - seen.Rect.top, owner->Scale(70));
  const POINT popupCentre = CentreOf(seen.Rect), ownerCentre = CentreOf(owner->WindowRect());
  EXPECT_LE(std::abs(popupCentre.x - ownerCentre.x), 1);
  EXPECT_LE(std::abs(popupCentre.y - ownerCentre.y), 1);
  EXPECT_EQ(FrmPopupMsg, nullptr);
  EXPECT_FALSE(::IsWindow(seen.Wnd));
  EXPECT_EQ(PopupStack()->Count(), 0);
}

TEST_F(PopupMsg, TheTickMarkFillsMostOfThePopupsHeightInItsMiddle) {
  auto owner = NewForm(600, 400);
  owner->Show();
  PushPopupMsg(kTickMark, owner.get(), taCenter);
  ASSERT_NE(FrmPopupMsg, nullptr);
  EXPECT_EQ(WindowTextOf(FrmPopupMsg->Handle()), L"\u2714");  // still a text popup
  PumpFor(50);
  int width = 0, height = 0;
  const std::vector<COLORREF> pixels = ClientPixels(FrmPopupMsg->Handle(), width, height);
  EXPECT_GE(height, FrmPopupMsg->Scale(70));  // the popup keeps its size
  // The mark's ink: everything that is neither background nor frame.
  int top = height, bottom = -1, left = width, right = -1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const COLORREF c = pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
      if (c == FrmPopupMsg->BgColor() || c == FrmPopupMsg->BorderColor()) continue;
      top = std::min(top, y);
      bottom = std::max(bottom, y);
      left = std::min(left, x);
      right = std::max(right, x);
    }
  ASSERT_GE(bottom, top) << "no mark shows";
  EXPECT_GE(3 * (bottom - top + 1), 2 * height) << "ink " << top << ".." << bottom << " of " << height;
  EXPECT_GT(top, 0);  // inside the frame, whole
  EXPECT_LT(bottom, height - 1);
  EXPECT_LE(std::abs((top + bottom) - (height - 1)), 4) << "not in the middle from top to bottom";
  EXPECT_LE(std::abs((left + right) - (width - 1)), 4) << "not in the middle from left to right";
}

TEST_F(PopupMsg, WithoutOwnerAndMainWindowTheScreenCentreIsTaken) {
  ASSERT_EQ(Application().MainForm(), nullptr);
  PushPopupMsg(L"Mitte", nullptr, taCenter);
  ASSERT_NE(FrmPopupMsg, nullptr);
  EXPECT_EQ(Application().MainForm(), nullptr);  // a popup never becomes the main window
  const TMonitor monitor = MonitorOf(FrmPopupMsg->Handle());
  const POINT popupCentre = CentreOf(FrmPopupMsg->WindowRect()), screenCentre = CentreOf(monitor.Bounds);
  EXPECT_LE(std::abs(popupCentre.x - screenCentre.x), 1);
  EXPECT_LE(std::abs(popupCentre.y - screenCentre.y), 1);
}

TEST_F(PopupMsg, TextIsTrimmedAndItsLineBreaksBecomeCrLf) {
  PushPopupMsg(L" \t\n  erste Zeile\nzweite Zeile\rdritte \n\n", nullptr, taRightJustify);
  ASSERT_NE(FrmPopupMsg, nullptr);
  EXPECT_EQ(WindowTextOf(FrmPopupMsg->Handle()), L"erste Zeile\r\nzweite Zeile\r\ndritte");
  // The text sits at the right with two em of space.
  const RECT area = FrmPopupMsg->TextArea();
  EXPECT_EQ(area.right - 1 + 2 * EmOf(*FrmPopupMsg), ClientRectOf(FrmPopupMsg->Handle()).right);
}

TEST_F(PopupMsg, VeryLongLineMakesTheWindowAsWideAsTheMonitorAndIsWrappedInside) {
  std::wstring text;
  for (int i = 0; i < 400; ++i) text += L"Wort" + std::to_wstring(i) + L' ';
  PushPopupMsg(text, nullptr, taCenter);
  ASSERT_NE(FrmPopupMsg, nullptr);
  HWND wnd = FrmPopupMsg->Handle();
  const TMonitor monitor = MonitorOf(wnd);
  const RECT client = ClientRectOf(wnd);
  EXPECT_EQ(client.right, monitor.Width());
  const RECT area = FrmPopupMsg->TextArea();
  EXPECT_GE(area.left, 0);
  EXPECT_LE(area.right, client.right);
  EXPECT_GT(area.bottom - area.top, 3 * EmOf(*FrmPopupMsg));  // several lines
  EXPECT_GT(client.bottom, area.bottom - area.top);
}

TEST_F(PopupMsg, TextTallerThanThreeQuartersOfTheMonitorIsCappedThere) {
  std::wstring text;
  for (int i = 0; i < 300; ++i) text += L"Zeile " + std::to_wstring(i) + L"\r\n";
  PushPopupMsg(text, nullptr, taLeftJustify);
  ASSERT_NE(FrmPopupMsg, nullptr);
  const TMonitor monitor = MonitorOf(FrmPopupMsg->Handle());
  const RECT client = ClientRectOf(FrmPopupMsg->Handle());
  EXPECT_LE(std::abs(client.bottom - monitor.Height() * 3 / 4), 1);
  const RECT window = FrmPopupMsg->WindowRect();
  EXPECT_GE(window.top, monitor.Bounds.top);
  EXPECT_LE(window.bottom, monitor.Bounds.bottom);
}

TEST_F(PopupMsg, WhiteButtonFaceAndLightFrameGetVisibleColours) {
  const int elements[] = {COLOR_BTNFACE, COLOR_BTNSHADOW};
  const COLORREF saved[] = {::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNSHADOW)};
  const COLORREF light[] = {0xFFFFFF, 0xF4F4F4};
  ASSERT_TRUE(::SetSysColors(2, elements, light));
  PushPopupMsg(L"Farben", nullptr, taCenter);
  const COLORREF bg = FrmPopupMsg ? FrmPopupMsg->BgColor() : 0, border = FrmPopupMsg ? FrmPopupMsg->BorderColor() : 0;
  PopPopupMsg();
  ::SetSysColors(2, elements, saved);
  EXPECT_EQ(bg, 0xF0F0F0u);
  EXPECT_EQ(border, 0xA0A0A0u);

  PushPopupMsg(L"Farben", nullptr, taCenter);
  ASSERT_NE(FrmPopupMsg, nullptr);
  // The usual scheme's colours stay as they are.
  EXPECT_EQ(FrmPopupMsg->BgColor(), saved[0] == 0xFFFFFF ? 0xF0F0F0u : saved[0]);
  EXPECT_EQ(FrmPopupMsg->BorderColor(), saved[1] >= 0xF0F0F0 ? 0xA0A0A0u : saved[1]);
}

TEST_F(PopupMsg, UserCannotCloseItAndAnOwnerThatGoesTakesItAlong) {
  auto owner = NewForm(300, 200);
  owner->Show();
  PushPopupMsg(L"Bleibt", owner.get(), taCenter);
  ASSERT_NE(FrmPopupMsg, nullptr);
  HWND wnd = FrmPopupMsg->Handle();
  ::PostMessageW(wnd, WM_CLOSE, 0, 0);
  PumpFor(100);
  EXPECT_TRUE(::IsWindowVisible(wnd));

  owner.reset();
  EXPECT_EQ(FrmPopupMsg, nullptr);  // nothing points at the freed window
  EXPECT_FALSE(::IsWindow(wnd));
  PushPopupMsg(L"Neu", nullptr, taCenter);  // a later text gets a window of its own
  ASSERT_NE(FrmPopupMsg, nullptr);
  EXPECT_EQ(WindowTextOf(FrmPopupMsg->Handle()), L"Neu");
}

TEST_F(PopupMsg, WithoutHooksTheStackIsKeptAndNothingShows) {
  SetPopupMsgProcs(nullptr, nullptr);
  PushPopupMsg(L"eins", nullptr, taCenter);
  PushPopupMsg(L"zwei", nullptr, taLeftJustify);
  EXPECT_EQ(PopupStack()->Count(), 2);
  EXPECT_EQ(FrmPopupMsg, nullptr);
  EXPECT_TRUE(VisibleTopLevelWindows(L"TavrinoForm").empty());
  PopupTick(nullptr);
  EXPECT_EQ(PopupStack()->Count(), 2);
  PopPopupMsg();
  PopPopupMsg();
  EXPECT_EQ(PopupStack()->Count(), 0);
  EXPECT_EQ(FrmPopupMsg, nullptr);
}

}  // namespace
