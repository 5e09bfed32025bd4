// The status line in a real window: its window text, where its fields stand and what a paint
// of it shows, read from the window as tools read it.
#include "support/AccessibleObject.h"
#include "support/Pump.h"
#include "support/TestSupport.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/ToolkitTestSupport.h"

#include <string>
#include <vector>

namespace {

class StatusLineTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = NewForm(600, 80);
    TFontDesc font = form->Font();
    font.Quality = NONANTIALIASED_QUALITY;  // glyph pixels in the text colour itself
    form->SetFont(font);
    line = Place<TStatusLine>(form.get(), form.get(), 0, 0, 600, 20);
    line->SetAlign(alBottom);
    form->Show();
  }
  std::wstring WindowText() const {
    wchar_t text[256] = {};
    ::SendMessageW(line->Handle(), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
  }
  std::unique_ptr<TForm> form;
  TStatusLine* line = nullptr;
};

TEST_F(StatusLineTest, WindowTextIsTheFieldsJoinedByTabs) {
  EXPECT_EQ(WindowText(), L"");
  line->SetFields({{L"Empfangen: 3"}, {L"Verworfen: 0"}, {L"0/s"}});
  EXPECT_EQ(WindowText(), L"Empfangen: 3\tVerworfen: 0\t0/s");
  line->SetFields({{L"Empfangen: 12"}, {L"Verworfen: 1", true}, {L"0/s"}});
  EXPECT_EQ(WindowText(), L"Empfangen: 12\tVerworfen: 1\t0/s");
  line->SetFields({{L""}, {L"zwei"}});
  EXPECT_EQ(WindowText(), L"\tzwei");
}

// Left to right from the left edge, the gap between each two; a text that grows moves the
// fields behind it by as much, and those before it stay.
TEST_F(StatusLineTest, FieldsStandAGapApartAndAGrowingTextPushesTheLaterOnesRight) {
  line->SetFields({{L"Empfangen: 1"}, {L"Zeilen: 1"}, {L"Verworfen: 0"}});
  auto check = [&] {
    EXPECT_EQ(line->FieldArea(0).left, line->Scale(TStatusLine::kFirstLeft));
    for (std::size_t i = 0; i < line->Fields().size(); ++i) {
      const RECT r = line->FieldArea(i);
      EXPECT_GT(r.right, r.left) << i;
      if (i > 0) {
        EXPECT_EQ(r.left, line->FieldArea(i - 1).right + line->Scale(TStatusLine::kGap)) << i;
      }
    }
  };
  check();
  const RECT first = line->FieldArea(0), second = line->FieldArea(1), third = line->FieldArea(2);
  line->SetFields({{L"Empfangen: 1"}, {L"Zeilen: 1.000.000"}, {L"Verworfen: 0"}});
  check();
  EXPECT_EQ(line->FieldArea(0).left, first.left);
  EXPECT_EQ(line->FieldArea(0).right, first.right);
  const int grown = (line->FieldArea(1).right - line->FieldArea(1).left) - (second.right - second.left);
  EXPECT_GT(grown, 0);
  EXPECT_EQ(line->FieldArea(2).left, third.left + grown);
  EXPECT_EQ(line->FieldArea(2).right, third.right + grown);
}

// Every pixel of ink lies in the area of its field (or as far into the gaps around it as a
// glyph may reach); the field that needs attention, and only that one, is drawn in the
// attention colour.
TEST_F(StatusLineTest, EachFieldIsPaintedInItsAreaAttentionInItsColour) {
  line->SetFields({{L"Empfangen: 12"}, {L"Verworfen: 3", true}, {L"Speicher: 1 KB"}});
  RECT client;
  ::GetClientRect(line->Handle(), &client);
  TWindowDc screen(line->Handle());
  TMemoryDc dc(::CreateCompatibleDC(screen.Get()));
  TBitmapHandle bitmap(::CreateCompatibleBitmap(screen.Get(), client.right, client.bottom));
  TSelectObject selected(dc.Get(), bitmap.Get());
  ::SendMessageW(line->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
  const COLORREF back = ::GetPixel(dc.Get(), client.right - 1, 0);
  const COLORREF attention = ColorToRGB(TStatusLine::kAttentionColor), text = ColorToRGB(clWindowText);
  std::vector<int> inkOf(3), attentionOf(3);
  int stray = 0;
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; ++x) {
      const COLORREF pixel = ::GetPixel(dc.Get(), x, y);
      if (pixel == back) continue;
      const int room = line->Scale(TStatusLine::kGap) / 2;
      int field = -1;
      for (int i = 0; i < 3; ++i)
        if (x >= line->FieldArea(i).left - room && x < line->FieldArea(i).right + room) field = i;
      if (field < 0) {
        ++stray;
        continue;
      }
      if (pixel == text) ++inkOf[field];
      if (pixel == attention) ++attentionOf[field];
    }
  EXPECT_EQ(stray, 0);
  EXPECT_GT(inkOf[0], 0);
  EXPECT_GT(inkOf[2], 0);
  EXPECT_EQ(inkOf[1], 0);
  EXPECT_GT(attentionOf[1], 0);
  EXPECT_EQ(attentionOf[0] + attentionOf[2], 0);
}

// A change makes invalid what it changed or moved, nothing before it.
TEST_F(StatusLineTest, AChangeRepaintsTheFieldsItChangedOrMovedOnly) {
  line->SetFields({{L"Empfangen: 1"}, {L"Zeilen: 1"}, {L"0/s"}});
  ::UpdateWindow(line->Handle());
  line->SetFields({{L"Empfangen: 1"}, {L"Zeilen: 1.234"}, {L"0/s"}});
  TGdiHandle<HRGN> invalid(::CreateRectRgn(0, 0, 0, 0));
  ::GetUpdateRgn(line->Handle(), invalid.Get(), FALSE);
  auto invalidAt = [&](std::size_t field) {
    const RECT r = line->FieldArea(field);
    return ::PtInRegion(invalid.Get(), (r.left + r.right) / 2, (r.top + r.bottom) / 2) != FALSE;
  };
  EXPECT_FALSE(invalidAt(0));
  EXPECT_TRUE(invalidAt(1));
  EXPECT_TRUE(invalidAt(2));
  // And an attention flag alone: that field.
  ::UpdateWindow(line->Handle());
  line->SetFields({{L"Empfangen: 1"}, {L"Zeilen: 1.234", true}, {L"0/s"}});
  ::GetUpdateRgn(line->Handle(), invalid.Get(), FALSE);
  EXPECT_FALSE(invalidAt(0));
  EXPECT_TRUE(invalidAt(1));
  EXPECT_FALSE(invalidAt(2));
}

// Screen readers find a status bar named by the whole line.
TEST_F(StatusLineTest, ScreenReadersSeeAStatusBarNamedByItsFields) {
  line->SetFields({{L"Empfangen: 3"}, {L"Verworfen: 1", true}});
  const TAccessibleObject object(line->Handle());
  ASSERT_TRUE(object);
  EXPECT_EQ(object.Number(&IAccessible::get_accRole), ROLE_SYSTEM_STATUSBAR);
  EXPECT_EQ(object.Text(&IAccessible::get_accName), L"Empfangen: 3\tVerworfen: 1");
  line->SetFields({{L"Empfangen: 4"}});
  EXPECT_EQ(object.Text(&IAccessible::get_accName), L"Empfangen: 4");
}

}  // namespace
