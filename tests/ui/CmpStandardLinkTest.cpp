// The link label: its look, the hint that follows the URL, and what a mouse click does.
#include "ui/CmpStandard.h"

#include "CmpStandardFixture.h"
#include "toolkit/StdCtrls.h"
#include "ui/UiTestSupport.h"
#include "ui/WinHelpers.h"

#include <vector>

namespace {

std::vector<std::wstring> gOpened;

// What the shell was asked to open.
void RecordShellCall(HWND, const std::wstring& verb, const std::wstring& target, const std::wstring&) {
  gOpened.push_back(verb + L" " + target);
}

class LinkLabelTest : public ::testing::Test {
protected:
  void SetUp() override {
    gOpened.clear();
    SetShellExecuteProc(RecordShellCall);
    label = Place<TVormHyperlinkLabel>(&window.Form(), &window.Form(), 20, 20, 100, 15);
    label->SetCaption(L"www.example.com");
  }
  void TearDown() override { SetShellExecuteProc(nullptr); }

  TInputForm window;
  TVormHyperlinkLabel* label = nullptr;
};

TEST_F(LinkLabelTest, LooksLikeALink) {
  window.Form().Show();
  EXPECT_EQ(label->Font().Color, 0x00CD850Eu);
  EXPECT_TRUE(label->Font().Style & fsUnderline);
  // The system asks the parent for the label's colours when it paints it.
  HDC dc = ::CreateCompatibleDC(nullptr);
  ::SendMessageW(window.Form().Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(label->Handle()));
  EXPECT_EQ(::GetTextColor(dc), RGB(14, 133, 205));
  ::DeleteDC(dc);
  ::SendMessageW(label->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(label->Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
}

TEST_F(LinkLabelTest, HintFollowsTheUrlUnlessSetByHand) {
  label->SetURL(L"https://example.com/a");
  EXPECT_EQ(label->Hint(), L"https://example.com/a");
  label->SetURL(L"https://example.com/b");
  EXPECT_EQ(label->Hint(), L"https://example.com/b");
  label->SetHint(L"Homepage");
  label->SetURL(L"https://example.com/c");
  EXPECT_EQ(label->Hint(), L"Homepage");
  EXPECT_EQ(label->URL(), L"https://example.com/c");
}

TEST_F(LinkLabelTest, ClickOpensTheUrl) {
  label->SetURL(L"www.example.com");
  window.Form().Show();
  ::SetForegroundWindow(window.Form().Handle());
  ClickWithMouse(label->Handle());
  ASSERT_TRUE(PumpUntil([] { return !gOpened.empty(); }));
  EXPECT_EQ(gOpened, std::vector<std::wstring>{L"open https://www.example.com"});  // the link rules apply
}

TEST_F(LinkLabelTest, ClickEventReplacesOpening) {
  label->SetURL(L"www.example.com");
  int clicks = 0;
  label->OnClick = [&](TObject*) { ++clicks; };
  window.Form().Show();
  ::SetForegroundWindow(window.Form().Handle());
  ClickWithMouse(label->Handle());
  ASSERT_TRUE(PumpUntil([&] { return clicks > 0; }));
  PumpFor(100);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(gOpened.empty());
}

TEST_F(LinkLabelTest, TheTabKeyStopsAtTheLinkAndEnterOrSpaceFollowIt) {
  label->SetURL(L"www.example.com");
  auto* before = Place<TEdit>(&window.Form(), &window.Form(), 20, 50, 100, 23);
  before->SetTabOrder(0);
  window.Focus(*before);
  window.Press(VK_TAB);
  EXPECT_TRUE(label->Focused());
  window.Press(VK_SPACE);
  window.Press(VK_RETURN);
  EXPECT_EQ(gOpened, (std::vector<std::wstring>{L"open https://www.example.com", L"open https://www.example.com"}));
  // The focus shows as a dotted frame around the link.
  int width = 0, height = 0;
  const std::vector<COLORREF> focused = ClientPixels(label->Handle(), width, height);
  before->SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return before->Focused(); }));
  PumpFor(50);
  EXPECT_NE(ClientPixels(label->Handle(), width, height), focused);
}

}  // namespace
