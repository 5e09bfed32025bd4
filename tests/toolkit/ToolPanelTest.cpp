#include "support/AccessibleObject.h"
#include "support/Pump.h"
#include "support/TestSupport.h"
#include "toolkit/ToolPanel.h"
#include "toolkit/ToolkitTestSupport.h"

#include <commctrl.h>

namespace {

// A tool column as the main window has one: a picture button, a captioned button with a hint,
// and a two-state button, in a panel at the right edge.
class ToolPanel : public ::testing::Test {
protected:
  void SetUp() override {
    form = NewForm(300, 300);
    form->SetShowHint(true);
    panel = Place<TToolPanel>(form.get(), form.get(), 0, 0, 31, 300);
    panel->SetAlign(alRight);
    picture = Button(4, L"Leeren", L"");
    picture->SetGlyph(1);
    port = Button(28, L"Port-Nummer festlegen", L"6702");
    hex = Button(60, L"Anzeige als HexDump", L"Hex");
    hex->SetGroupIndex(1);
    hex->SetAllowAllUp(true);
    for (TToolButton* button : {picture, port, hex})
      button->OnClick = [this](TObject* sender) { clicked.push_back(static_cast<TToolButton*>(sender)); };
    form->Show();
  }

  TToolButton* Button(int top, const std::wstring& hint, const std::wstring& caption) {
    auto* button = new TToolButton(form.get());
    button->SetBounds(4, top, 23, 22);
    button->SetHint(hint);
    button->SetCaption(caption);
    button->SetPanel(panel);
    return button;
  }

  // The middle of a button, in the panel's client coordinates.
  POINT Middle(const TToolButton& button) const {
    const RECT r = panel->ButtonRect(button);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  void Mouse(UINT msg, POINT at) { ::SendMessageW(panel->Handle(), msg, 0, MAKELPARAM(at.x, at.y)); }

  std::unique_ptr<TForm> form;
  TToolPanel* panel = nullptr;
  TToolButton *picture = nullptr, *port = nullptr, *hex = nullptr;
  std::vector<TToolButton*> clicked;
};

TEST_F(ToolPanel, AButtonIsClickedWhenTheMouseButtonGoesUpOverTheButtonItWentDownOn) {
  const POINT gap{panel->Scale(15), panel->Scale(55)};  // between the port and the hex button
  const POINT outside{panel->Scale(15), panel->Scale(200)};
  struct TCase {
    const char* name;
    POINT down, up;
    TToolButton* clicked;
  } cases[] = {
      {"same button", Middle(*port), Middle(*port), port},
      {"double click counts as a second click", Middle(*picture), Middle(*picture), picture},
      {"up over another button", Middle(*picture), Middle(*port), nullptr},
      {"up outside every button", Middle(*port), outside, nullptr},
      {"down in a gap", gap, Middle(*port), nullptr},
  };
  for (const TCase& c : cases) {
    clicked.clear();
    Mouse(c.clicked == picture ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, c.down);
    Mouse(WM_LBUTTONUP, c.up);
    EXPECT_EQ(clicked, c.clicked ? std::vector<TToolButton*>{c.clicked} : std::vector<TToolButton*>{}) << c.name;
  }
  // Capture taken away while the button is held: no click.
  clicked.clear();
  Mouse(WM_LBUTTONDOWN, Middle(*port));
  ::ReleaseCapture();
  Mouse(WM_LBUTTONUP, Middle(*port));
  EXPECT_TRUE(clicked.empty());
}

TEST_F(ToolPanel, TwoStateButtonsStayDownAndReleaseTheirGroup) {
  Mouse(WM_LBUTTONDOWN, Middle(*hex));
  Mouse(WM_LBUTTONUP, Middle(*hex));
  EXPECT_TRUE(hex->Down());
  hex->Click();
  EXPECT_FALSE(hex->Down());  // AllowAllUp: a click releases it

  auto* other = Button(90, L"Text", L"Txt");
  other->SetGroupIndex(1);
  hex->Click();
  other->Click();
  EXPECT_TRUE(other->Down());
  EXPECT_FALSE(hex->Down());
  other->Click();
  EXPECT_TRUE(other->Down());  // without AllowAllUp it stays down
  EXPECT_FALSE(picture->Down());
  picture->Click();
  EXPECT_FALSE(picture->Down());  // no group: a plain button
}

// What a screen reader asks the panel's accessible object (here from the same process; the
// end-to-end tests ask across processes).
class ToolPanelAccessible : public ToolPanel {
protected:
  void SetUp() override {
    ToolPanel::SetUp();
    accessible = std::make_unique<TAccessibleObject>(panel->Handle());
    ASSERT_TRUE(*accessible);
    object = accessible->operator->();
  }

  static VARIANT Child(LONG id) { return TAccessibleObject::Child(id); }
  std::wstring Name(LONG id, HRESULT (STDMETHODCALLTYPE IAccessible::*read)(VARIANT, BSTR*) = &IAccessible::get_accName) {
    return accessible->Text(read, id);
  }
  LONG Number(HRESULT (STDMETHODCALLTYPE IAccessible::*read)(VARIANT, VARIANT*), LONG id) {
    return accessible->Number(read, id);
  }

  std::unique_ptr<TAccessibleObject> accessible;
  IAccessible* object = nullptr;
};

TEST_F(ToolPanelAccessible, EveryButtonIsAPushButtonWithItsNameStatePlaceAndAction) {
  LONG count = 0;
  ASSERT_EQ(object->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(Number(&IAccessible::get_accRole, CHILDID_SELF), ROLE_SYSTEM_TOOLBAR);

  struct TCase {
    LONG id;
    const wchar_t *name, *description;
    TToolButton* button;
  } cases[] = {
      {1, L"Leeren", L"(none)", picture},  // a picture button is named by its hint
      {2, L"6702", L"Port-Nummer festlegen", port},
      {3, L"Hex", L"Anzeige als HexDump", hex},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(Name(c.id), c.name);
    EXPECT_EQ(Name(c.id, &IAccessible::get_accDescription), c.description);
    EXPECT_EQ(Name(c.id, &IAccessible::get_accDefaultAction), L"Drücken");
    EXPECT_EQ(Number(&IAccessible::get_accRole, c.id), ROLE_SYSTEM_PUSHBUTTON);
    IDispatch* dispatch = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(object->get_accChild(Child(c.id), &dispatch), S_FALSE);  // a simple element
    EXPECT_EQ(dispatch, nullptr);

    // Its place on the screen is where the panel draws it, and a hit there finds it.
    RECT drawn = panel->ButtonRect(*c.button);
    ::MapWindowPoints(panel->Handle(), nullptr, reinterpret_cast<POINT*>(&drawn), 2);
    LONG left = 0, top = 0, width = 0, height = 0;
    ASSERT_EQ(object->accLocation(&left, &top, &width, &height, Child(c.id)), S_OK);
    const RECT told{left, top, left + width, top + height};
    EXPECT_TRUE(::EqualRect(&told, &drawn));
    VARIANT hit{};
    ASSERT_EQ(object->accHitTest(left + width / 2, top + height / 2, &hit), S_OK);
    EXPECT_EQ(hit.lVal, c.id);
  }
  VARIANT none{};
  EXPECT_EQ(object->get_accRole(Child(4), &none), E_INVALIDARG);

  // Down shows as pressed; a change of the caption renames the button.
  EXPECT_EQ(Number(&IAccessible::get_accState, 3) & STATE_SYSTEM_PRESSED, 0);
  hex->SetDown(true);
  EXPECT_NE(Number(&IAccessible::get_accState, 3) & STATE_SYSTEM_PRESSED, 0);
  port->SetCaption(L"7000");
  EXPECT_EQ(Name(2), L"7000");

  // Navigation goes through the buttons in their order and stops at the ends.
  VARIANT to{};
  ASSERT_EQ(object->accNavigate(NAVDIR_FIRSTCHILD, Child(CHILDID_SELF), &to), S_OK);
  EXPECT_EQ(to.lVal, 1);
  ASSERT_EQ(object->accNavigate(NAVDIR_NEXT, Child(1), &to), S_OK);
  EXPECT_EQ(to.lVal, 2);
  ASSERT_EQ(object->accNavigate(NAVDIR_LASTCHILD, Child(CHILDID_SELF), &to), S_OK);
  EXPECT_EQ(to.lVal, 3);
  EXPECT_EQ(object->accNavigate(NAVDIR_NEXT, Child(3), &to), S_FALSE);
  EXPECT_EQ(object->accNavigate(NAVDIR_PREVIOUS, Child(1), &to), S_FALSE);
}

TEST_F(ToolPanelAccessible, TheDefaultActionClicksAfterTheCallReturns) {
  ASSERT_EQ(object->accDoDefaultAction(Child(3)), S_OK);
  // The click comes from the panel's queue, so that a dialog it opens does not hold the caller.
  EXPECT_TRUE(clicked.empty());
  ASSERT_TRUE(PumpUntil([&] { return !clicked.empty(); }));
  EXPECT_EQ(clicked, std::vector<TToolButton*>{hex});
  EXPECT_TRUE(hex->Down());
  EXPECT_EQ(object->accDoDefaultAction(Child(9)), E_INVALIDARG);
}

TEST_F(ToolPanelAccessible, AButtonThatLeavesIsNoLongerSeenAndAGonePanelAnswersNoMore) {
  delete port;
  LONG count = 0;
  ASSERT_EQ(object->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(Name(2), L"Hex");
  form.reset();  // the panel's window goes; the tool still holds the object
  EXPECT_EQ(object->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(Name(1), L"(none)");
}

// The hint of the button under the mouse, as the form's tooltip finds it.
std::wstring HintAt(HWND panel, POINT at) {
  HWND tooltip = ThreadTooltip();
  wchar_t text[128] = {};
  TTHITTESTINFOW hit{};
  hit.hwnd = panel;
  hit.pt = at;
  hit.ti.cbSize = sizeof(hit.ti);
  hit.ti.lpszText = text;
  if (!tooltip || !::SendMessageW(tooltip, TTM_HITTESTW, 0, reinterpret_cast<LPARAM>(&hit))) return L"(none)";
  return text;
}

TEST_F(ToolPanel, EachHintShowsOverItsButtonsAreaAndFollowsItsChanges) {
  HWND wnd = panel->Handle();
  EXPECT_EQ(HintAt(wnd, Middle(*picture)), L"(none)");  // no tooltip before the mouse comes
  Mouse(WM_MOUSEMOVE, Middle(*port));
  EXPECT_EQ(HintAt(wnd, Middle(*picture)), L"Leeren");
  EXPECT_EQ(HintAt(wnd, Middle(*port)), L"Port-Nummer festlegen");
  EXPECT_EQ(HintAt(wnd, POINT{panel->Scale(15), panel->Scale(200)}), L"(none)");

  hex->SetHint(L"Anzeige als Text");
  EXPECT_EQ(HintAt(wnd, Middle(*hex)), L"Anzeige als Text");
  hex->SetBounds(4, 120, 23, 22);
  EXPECT_EQ(HintAt(wnd, Middle(*hex)), L"Anzeige als Text");
  EXPECT_EQ(HintAt(wnd, POINT{panel->Scale(15), panel->Scale(70)}), L"(none)");
  port->SetHint(L"");
  EXPECT_EQ(HintAt(wnd, Middle(*port)), L"(none)");

  // At twice the DPI the areas grow with the buttons.
  const int dpi = 2 * form->Dpi();
  RECT suggested = form->WindowRect();
  ::SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(panel->ButtonRect(*hex).top, ScaleToDpi(120, dpi));
  EXPECT_EQ(HintAt(wnd, Middle(*hex)), L"Anzeige als Text");
  EXPECT_EQ(HintAt(wnd, Middle(*picture)), L"Leeren");
}

}  // namespace
