// A small dialog built only from the toolkit's pieces, driven as a user drives it: keys and
// mouse through the system's input queue, results read from the windows and the modal result.
#include "support/Pump.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/ToolkitTestSupport.h"

#include <atomic>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

namespace {

// Edits, a check box and OK/Cancel, created in another order than the tab order they are given.
class TTestDialog : public TForm {
public:
  explicit TTestDialog(bool closeBox = true) : TForm(nullptr) {
    SetClientSize(300, 140);
    SetBorderStyle(bsDialog);
    SetBorderIcons(closeBox ? TBorderIcons{biSystemMenu} : TBorderIcons{});
    SetCaption(L"Testdialog");
    BtnOK = Place<TButton>(this, this, 120, 100, 75, 25);
    BtnOK->SetCaption(L"&OK");
    BtnOK->SetDefault(true);
    BtnOK->SetModalResult(mrOk);
    EdtSecond = Place<TEdit>(this, this, 8, 40, 200, 23);
    EdtFirst = Place<TEdit>(this, this, 8, 8, 200, 23);
    ChkOption = Place<TCheckBox>(this, this, 8, 72, 200, 17);
    ChkOption->SetCaption(L"Option");
    BtnCancel = Place<TButton>(this, this, 210, 100, 75, 25);
    BtnCancel->SetCaption(L"Abbrechen");
    BtnCancel->SetCancel(true);
    BtnCancel->SetModalResult(mrCancel);
    EdtFirst->SetTabOrder(0);
    EdtSecond->SetTabOrder(1);
    ChkOption->SetTabOrder(2);
    BtnOK->SetTabOrder(3);
    BtnCancel->SetTabOrder(4);
  }
  TEdit *EdtFirst, *EdtSecond;
  TCheckBox* ChkOption;
  TButton *BtnOK, *BtnCancel;
};

// Runs steps one after another on a timer of the dialog's thread, so that they run inside the
// modal loop; each step may ask to be run again (return false) until it is done.
class TScript {
public:
  explicit TScript(std::vector<std::function<bool()>> steps) : FSteps(std::move(steps)), FTimer(nullptr) {
    FTimer.SetInterval(30);
    FTimer.OnTimer = [this](TObject*) {
      if (FNext < FSteps.size() && FSteps[FNext]()) ++FNext;
    };
  }
  bool Done() const { return FNext == FSteps.size(); }

private:
  std::vector<std::function<bool()>> FSteps;
  size_t FNext = 0;
  TTimer FTimer;
};

std::function<bool()> Do(std::function<void()> action) {
  return [action] {
    action();
    return true;
  };
}

TEST(DialogKeys, TabAndShiftTabWalkTheControlsInTheSetOrder) {
  TTestDialog dialog;
  dialog.Show();
  ::SetForegroundWindow(dialog.Handle());
  ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == dialog.EdtFirst->Handle(); }));
  const std::vector<TControl*> order = {dialog.EdtSecond, dialog.ChkOption, dialog.BtnOK, dialog.BtnCancel,
                                        dialog.EdtFirst};
  for (TControl* expected : order) {
    PressKey(VK_TAB);
    EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == expected->Handle(); }))
        << "Tab did not reach " << testing::PrintToString(expected->Caption());
  }
  PressKey(VK_TAB, {VK_SHIFT});
  EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == dialog.BtnCancel->Handle(); }));
  PressKey(VK_TAB, {VK_SHIFT});
  EXPECT_TRUE(PumpUntil([&] { return ::GetFocus() == dialog.BtnOK->Handle(); }));
}

struct TDialogKeyCase {
  const char* name;
  int focus;  // 0 first edit, 1 second edit, 2 check box, 3 OK, 4 Cancel
  WORD key;
  int result;
};

class DialogEnterEsc : public ::testing::TestWithParam<TDialogKeyCase> {};

TEST_P(DialogEnterEsc, PressTheDefaultOrCancelButtonFromAnyControl) {
  const TDialogKeyCase& c = GetParam();
  TTestDialog dialog;
  TControl* controls[] = {dialog.EdtFirst, dialog.EdtSecond, dialog.ChkOption, dialog.BtnOK, dialog.BtnCancel};
  int clicksOk = 0, clicksCancel = 0;
  dialog.BtnOK->OnClick = [&](TObject*) { ++clicksOk; };
  dialog.BtnCancel->OnClick = [&](TObject*) { ++clicksCancel; };
  TScript script({Do([&] { controls[c.focus]->SetFocus(); }),
                  [&] { return ::GetFocus() == controls[c.focus]->Handle(); }, Do([&] { PressKey(c.key); })});
  EXPECT_EQ(dialog.ShowModal(), c.result);
  EXPECT_TRUE(script.Done());
  EXPECT_EQ(clicksOk, c.result == mrOk ? 1 : 0);
  EXPECT_EQ(clicksCancel, c.result == mrCancel ? 1 : 0);
  EXPECT_FALSE(::IsWindowVisible(dialog.Handle()));
}

INSTANTIATE_TEST_SUITE_P(Dialog, DialogEnterEsc,
                         ::testing::Values(TDialogKeyCase{"EnterInFirstEdit", 0, VK_RETURN, mrOk},
                                           TDialogKeyCase{"EnterOnCheckBox", 2, VK_RETURN, mrOk},
                                           TDialogKeyCase{"EnterOnFocusedCancel", 4, VK_RETURN, mrCancel},
                                           TDialogKeyCase{"EscInSecondEdit", 1, VK_ESCAPE, mrCancel},
                                           TDialogKeyCase{"EscOnFocusedOk", 3, VK_ESCAPE, mrCancel}),
                         TCaseName());

std::wstring ClipboardText() {
  std::wstring text;
  if (!::OpenClipboard(nullptr)) return L"<not opened>";
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (auto* p = static_cast<const wchar_t*>(::GlobalLock(data))) {
      text = p;
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

void SetClipboardText(const std::wstring& text) {
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  std::memcpy(::GlobalLock(data), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  ::GlobalUnlock(data);
  ::SetClipboardData(CF_UNICODETEXT, data);
  ::CloseClipboard();
}

TEST(DialogKeys, KeyPreviewSeesCtrlCBeforeTheFocusedEdit) {
  TTestDialog dialog;
  dialog.SetKeyPreview(true);
  int previewed = 0;
  dialog.OnKeyPress = [&](TObject*, wchar_t& key) {
    if (key == 3) {  // Ctrl+C
      ++previewed;
      key = 0;
    }
  };
  dialog.EdtFirst->SetText(L"im Feld");
  SetClipboardText(L"vorher");
  dialog.Show();
  ::SetForegroundWindow(dialog.Handle());
  dialog.EdtFirst->SetFocus();
  dialog.EdtFirst->SelectAll();
  ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == dialog.EdtFirst->Handle(); }));
  PressKey('C', {VK_CONTROL});
  EXPECT_TRUE(PumpUntil([&] { return previewed == 1; }));
  PumpFor(100);
  EXPECT_EQ(ClipboardText(), L"vorher");  // the edit never saw the key

  dialog.SetKeyPreview(false);
  PressKey('C', {VK_CONTROL});
  EXPECT_TRUE(PumpUntil([&] { return ClipboardText() == L"im Feld"; }));
  EXPECT_EQ(previewed, 1);
}

TEST(DialogClose, WithoutCloseBoxAltF4IsRefusedAndEnterStillAnswers) {
  TTestDialog dialog(false);
  EXPECT_FALSE(::GetWindowLongPtrW(dialog.Handle(), GWL_STYLE) & WS_SYSMENU);
  bool stillShown = false;
  TScript script({Do([&] { dialog.EdtFirst->SetFocus(); }), Do([] { PressKey(VK_F4, {VK_MENU}); }),
                  [&] { return true; }, Do([&] { stillShown = ::IsWindowVisible(dialog.Handle()) != FALSE; }),
                  Do([] { PressKey(VK_RETURN); })});
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_TRUE(stillShown);
}

TEST(DialogClose, WithCloseBoxAltF4AnswersCancel) {
  TTestDialog dialog(true);
  TScript script({Do([&] { dialog.EdtFirst->SetFocus(); }), Do([] { PressKey(VK_F4, {VK_MENU}); })});
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

TEST(DialogClose, ButtonResultWaitsForTheFormsConsent) {
  TTestDialog dialog;
  int queries = 0;
  dialog.OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++queries > 1; };
  TScript script({Do([&] { dialog.EdtFirst->SetFocus(); }), Do([] { PressKey(VK_RETURN); }),
                  Do([] { PressKey(VK_RETURN); })});
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_EQ(queries, 2);  // the first OK was refused, the dialog stayed
}

TEST(DialogModal, ARaisingDialogIsHiddenAndItsOwnerEnabledAgain) {
  auto owner = NewForm(200, 100);
  owner->Show();
  TForm dialog(owner.get());
  dialog.SetClientSize(100, 50);
  dialog.OnShow = [&](TObject*) {
    // The owner is disabled while the dialog is up.
    EXPECT_FALSE(::IsWindowEnabled(owner->Handle()));
    throw std::runtime_error("kaputt");
  };
  EXPECT_THROW(dialog.ShowModal(), std::runtime_error);
  EXPECT_FALSE(::IsWindowVisible(dialog.Handle()));
  EXPECT_TRUE(::IsWindowEnabled(owner->Handle()));
  EXPECT_EQ(::GetWindow(dialog.Handle(), GW_OWNER), owner->Handle());
}

class DialogSizes : public ::testing::Test {
protected:
  void SetUp() override {
    form = NewForm(300, 200);
    panel = Place<TPanel>(form.get(), form.get(), 0, 0, 40, 200);
    panel->SetAlign(alRight);
    label = Place<TLabel>(form.get(), form.get(), 0, 0, 100, 20);
    label->SetAlign(alTop);
    label->SetAlignWithMargins(true);
    label->SetMargins({8, 8, 8, 8});
    label->SetAutoSize(false);
    memo = Place<TMemo>(form.get(), form.get(), 0, 0, 50, 50);
    memo->SetAlign(alClient);
    button = Place<TButton>(form.get(), panel, 4, 30, 32, 25);
    form->Show();
  }
  // What the accessors report must be what is on screen (in design pixels of the window's DPI).
  void ExpectAccessorsShowTheScreen() {
    const int dpi = form->Dpi();
    auto unscale = [dpi](int pixels) { return UnscaleFromDpi(pixels, dpi); };
    RECT client;
    ::GetClientRect(form->Handle(), &client);
    EXPECT_EQ(form->ClientWidth(), unscale(client.right));
    EXPECT_EQ(form->ClientHeight(), unscale(client.bottom));
    for (TControl* c : std::initializer_list<TControl*>{panel, label, memo, button}) {
      RECT r = WindowRectIn(c->Handle(), c->Parent()->Handle());
      EXPECT_EQ(c->Left(), unscale(r.left)) << c->Name();
      EXPECT_EQ(c->Top(), unscale(r.top));
      EXPECT_EQ(c->Width(), unscale(r.right - r.left));
      EXPECT_EQ(c->Height(), unscale(r.bottom - r.top));
    }
    // The layout itself: the top edge goes first and spans the width; margins and the panel's
    // width stay in design pixels.
    EXPECT_EQ(label->Left(), 8);
    EXPECT_EQ(label->Width(), form->ClientWidth() - 16);
    EXPECT_EQ(panel->Width(), 40);
    EXPECT_EQ(panel->Top(), 8 + 20 + 8);
    EXPECT_EQ(memo->Top(), 8 + 20 + 8);
    EXPECT_EQ(memo->Width(), form->ClientWidth() - 40);
  }
  std::unique_ptr<TForm> form;
  TPanel* panel = nullptr;
  TLabel* label = nullptr;
  TMemo* memo = nullptr;
  TButton* button = nullptr;
};

TEST_F(DialogSizes, AfterShowResizeAndDpiChangeTheAccessorsReportTheScreen) {
  ExpectAccessorsShowTheScreen();
  EXPECT_EQ(form->ClientWidth(), 300);

  // The user drags the window larger.
  RECT w = form->WindowRect();
  ::SetWindowPos(form->Handle(), nullptr, 0, 0, w.right - w.left + 123, w.bottom - w.top + 45,
                 SWP_NOMOVE | SWP_NOZORDER);
  ExpectAccessorsShowTheScreen();

  // The window moves to a monitor with twice the DPI.
  const int clientWidth = form->ClientWidth(), clientHeight = form->ClientHeight();
  const int dpi = 2 * form->Dpi();
  w = form->WindowRect();
  RECT suggested{w.left, w.top, w.left + 2 * (w.right - w.left), w.top + 2 * (w.bottom - w.top)};
  ::SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(form->Dpi(), dpi);
  EXPECT_EQ(button->Dpi(), dpi);
  EXPECT_EQ(form->ClientWidth(), clientWidth);
  EXPECT_EQ(form->ClientHeight(), clientHeight);
  ExpectAccessorsShowTheScreen();
  EXPECT_EQ(button->Bounds(), (TDesignRect{4, 30, 32, 25}));
}

TEST(DialogMenu, RightClickOpensTheContextMenuAndTheChosenItemRuns) {
  auto form = NewForm(200, 120);
  auto* box = Place<TPaintBox>(form.get(), form.get(), 10, 10, 150, 80);
  auto* menu = NewComponent<TPopupMenu>(form.get(), L"MnuText");
  int copied = 0, other = 0;
  menu->AddItem(L"MnuCopy", L"&Kopieren", [&](TObject*) { ++copied; });
  menu->AddItem(L"MnuOther", L"&Anderes", [&](TObject*) { ++other; });
  box->SetPopupMenu(menu);
  form->Show();
  ::SetForegroundWindow(form->Handle());
  PumpFor(50);

  // The menu runs its own loop in this thread: a second thread picks the first item.
  std::atomic<bool> menuSeen{false};
  std::thread user([&] {
    for (int i = 0; i < 500 && !menuSeen; ++i) {
      HWND menuWnd = ::FindWindowW(L"#32768", nullptr);
      if (menuWnd && ::IsWindowVisible(menuWnd)) menuSeen = true;
      ::Sleep(20);
    }
    if (!menuSeen) return;
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
  });
  ClickWithMouse(box->Handle(), true);
  EXPECT_TRUE(PumpUntil([&] { return copied + other > 0; }));
  user.join();
  EXPECT_TRUE(menuSeen);
  EXPECT_EQ(copied, 1);
  EXPECT_EQ(other, 0);
  EXPECT_EQ(menu->PopupComponent(), box);
}

// A submenu opens by its access key and its chosen item runs; one choice of several shows as a
// checked radio item.
TEST(DialogMenu, SubmenuItemChosenByAccessKeysRuns) {
  auto form = NewForm(200, 120);
  auto* box = Place<TPaintBox>(form.get(), form.get(), 10, 10, 150, 80);
  auto* menu = NewComponent<TPopupMenu>(form.get(), L"MnuText");
  std::vector<std::wstring> chosen;
  menu->AddItem(L"MnuCopy", L"&Kopieren", [&](TObject*) { chosen.push_back(L"Kopieren"); });
  TMenuItem* charset = menu->AddItem(L"MnuCharset", L"&Zeichensatz");
  for (const wchar_t* name : {L"&ANSI", L"&UTF-8"}) {
    TMenuItem* item = charset->AddItem(L"", name, [&chosen, name](TObject*) { chosen.push_back(name); });
    item->SetRadioItem(true);
    item->SetChecked(std::wstring(name) == L"&ANSI");
  }
  box->SetPopupMenu(menu);
  form->Show();
  ::SetForegroundWindow(form->Handle());
  PumpFor(50);

  std::atomic<bool> menuSeen{false};
  UINT submenuType = 0, submenuState = 0;
  std::thread user([&] {
    HWND menuWnd = nullptr;
    for (int i = 0; i < 500 && !menuSeen; ++i) {
      menuWnd = ::FindWindowW(L"#32768", nullptr);
      if (menuWnd && ::IsWindowVisible(menuWnd)) menuSeen = true;
      ::Sleep(20);
    }
    if (!menuSeen) return;
    auto* handle = reinterpret_cast<HMENU>(::SendMessageW(menuWnd, MN_GETHMENU, 0, 0));
    if (HMENU sub = handle ? ::GetSubMenu(handle, 1) : nullptr) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE | MIIM_STATE;
      if (::GetMenuItemInfoW(sub, 0, TRUE, &info)) {
        submenuType = info.fType;
        submenuState = info.fState;
      }
    }
    PressKey('Z');
    ::Sleep(200);
    PressKey('U');
  });
  ClickWithMouse(box->Handle(), true);
  EXPECT_TRUE(PumpUntil([&] { return !chosen.empty(); }));
  user.join();
  EXPECT_TRUE(menuSeen);
  EXPECT_EQ(chosen, std::vector<std::wstring>{L"&UTF-8"});
  EXPECT_TRUE(submenuType & MFT_RADIOCHECK);
  EXPECT_TRUE(submenuState & MFS_CHECKED);
}

}  // namespace
