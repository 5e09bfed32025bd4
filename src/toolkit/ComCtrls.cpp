#include "toolkit/ComCtrls.h"

#include <algorithm>
#include <commctrl.h>
#include <stdexcept>

namespace {

LRESULT Send(HWND wnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
  return ::SendMessageW(wnd, msg, wParam, lParam);
}

wchar_t UpperChar(wchar_t c) {
  ::CharUpperBuffW(&c, 1);
  return c;
}

// The character of a caption's access key ("&x"; "&&" is a plain "&"), upper-cased; 0 for none.
wchar_t AccessKeyOf(const std::wstring& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] != L'&') return UpperChar(caption[i + 1]);
    ++i;
  }
  return 0;
}

}  // namespace

// ---- TTabSheet ----

TTabSheet::TTabSheet(TComponent* AOwner) : TControl(AOwner) {
  SetVisibleFlag(false);  // shown when it becomes the active page
  SetParentColor(true);
  SetAlign(alClient);
}

TTabSheet::~TTabSheet() {
  if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  params.ClassName = L"TavrinoTabSheet";
  params.OwnClass = true;
  params.Style |= WS_CLIPCHILDREN;
  params.ExStyle |= WS_EX_CONTROLPARENT;
}

void TTabSheet::SetPageControl(TPageControl* control) {
  if (control == FPageControl) return;
  if (FPageControl) FPageControl->RemovePage(this);
  FPageControl = nullptr;
  SetVisibleFlag(false);
  SetParent(control);
  FPageControl = control;
  if (control) control->InsertPage(this);
}

int TTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  const auto& pages = FPageControl->FPages;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetTabVisible(bool visible) {
  if (visible == FTabVisible) return;
  FTabVisible = visible;
  if (FPageControl) FPageControl->PageTabVisibleChanged(this);
}

void TTabSheet::SetVisible(bool visible) {
  if (!FPageControl) return TControl::SetVisible(visible);
  if (visible)
    FPageControl->SetActivePage(this);
  else if (FPageControl->ActivePage() == this)
    FPageControl->SetActivePage(FPageControl->FindNextPage(this, true));
}

void TTabSheet::TextChanged() {
  if (FPageControl) FPageControl->UpdateTabs();
}

// ---- TPageControl ----

TPageControl::TPageControl(TComponent* AOwner) : TControl(AOwner) {
  SetTabStop(true);
  SetParentColor(true);
  SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl() {
  for (TTabSheet* page : FPages) page->FPageControl = nullptr;
  FPages.clear();
  FActivePage = nullptr;
}

DWORD TPageControl::TabStyleBits() const {
  DWORD style = FMultiLine ? TCS_MULTILINE : TCS_SINGLELINE;
  if (FStyle == tsButtons) style |= TCS_BUTTONS;
  if (FStyle == tsFlatButtons) style |= TCS_BUTTONS | TCS_FLATBUTTONS;
  return style;
}

void TPageControl::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  params.ClassName = WC_TABCONTROLW;
  params.Style |= WS_CLIPCHILDREN | TabStyleBits();
  params.ExStyle |= WS_EX_CONTROLPARENT;
}

void TPageControl::CreateWnd() {
  TControl::CreateWnd();
  UpdateTabs();
}

void TPageControl::ApplyTabStyle() {
  if (!HandleAllocated()) return;
  const LONG_PTR mask = TCS_MULTILINE | TCS_BUTTONS | TCS_FLATBUTTONS;
  LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
  ::SetWindowLongPtrW(Handle(), GWL_STYLE, (style & ~mask) | static_cast<LONG_PTR>(TabStyleBits()));
  ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  UpdateTabs();
  Invalidate();
}

void TPageControl::SetMultiLine(bool value) {
  FMultiLine = value;
  ApplyTabStyle();
}

void TPageControl::SetStyle(TTabStyle style) {
  FStyle = style;
  ApplyTabStyle();
}

TTabSheet* TPageControl::Pages(int index) const {
  if (index < 0 || index >= PageCount()) throw std::out_of_range("TPageControl page index out of range");
  return FPages[static_cast<size_t>(index)];
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index) {
  SetActivePage(index >= 0 && index < PageCount() ? FPages[static_cast<size_t>(index)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && (page->FPageControl != this || !page->FTabVisible)) return;
  ActivatePage(page, false);
}

void TPageControl::InsertPage(TTabSheet* page) {
  FPages.push_back(page);
  if (!FActivePage && page->FTabVisible)
    ActivatePage(page, false);
  else
    UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* page) noexcept {
  GuardCallback([&] {
    if (FActivePage == page) ActivatePage(FindNextPage(page, true), false);
    std::erase(FPages, page);
    page->FPageControl = nullptr;
    if (!Destroying()) UpdateTabs();
  });
}

void TPageControl::PageTabVisibleChanged(TTabSheet* page) {
  if (!page->FTabVisible && FActivePage == page)
    ActivatePage(FindNextPage(page, true), false);
  else if (page->FTabVisible && !FActivePage)
    ActivatePage(page, false);
  UpdateTabs();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* from, bool goForward) const {
  const int count = PageCount();
  if (count == 0) return nullptr;
  auto it = std::find(FPages.begin(), FPages.end(), from);
  int start = it == FPages.end() ? (goForward ? count - 1 : 0) : static_cast<int>(it - FPages.begin());
  for (int step = 1; step <= count; ++step) {
    const int i = ((start + (goForward ? step : -step)) % count + count) % count;
    TTabSheet* page = FPages[static_cast<size_t>(i)];
    if (page->FTabVisible && page != from) return page;
  }
  return nullptr;
}

TTabSheet* TPageControl::PageOfTab(int tabIndex) const {
  for (TTabSheet* page : FPages)
    if (page->FTabVisible && tabIndex-- == 0) return page;
  return nullptr;
}

int TPageControl::TabIndexOf(const TTabSheet* page) const {
  int tab = 0;
  for (const TTabSheet* p : FPages) {
    if (p == page) return p->FTabVisible ? tab : -1;
    if (p->FTabVisible) ++tab;
  }
  return -1;
}

void TPageControl::UpdateTabs() {
  if (!HandleAllocated()) return;
  HWND wnd = Handle();
  Send(wnd, TCM_DELETEALLITEMS);
  int tab = 0;
  for (TTabSheet* page : FPages) {
    if (!page->FTabVisible) continue;
    std::wstring caption = page->Caption();
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    Send(wnd, TCM_INSERTITEMW, static_cast<WPARAM>(tab++), reinterpret_cast<LPARAM>(&item));
  }
  SelectActiveTab();
  Realign();  // the tabs may take another number of rows
}

void TPageControl::SelectActiveTab() {
  if (HandleAllocated()) Send(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(TabIndexOf(FActivePage)));
}

bool TPageControl::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TPageControl::ActivatePage(TTabSheet* page, bool byUser) {
  if (page == FActivePage) {
    SelectActiveTab();
    return;
  }
  TTabSheet* old = FActivePage;
  HWND focus = ::GetFocus();
  const bool focusWasOnPage = old && old->HandleAllocated() && focus && ::IsChild(old->Handle(), focus);
  FActivePage = page;
  // The new page first, so that nothing shows through between the two.
  if (page) page->TControl::SetVisible(true);
  if (old) old->TControl::SetVisible(false);
  SelectActiveTab();
  if (focusWasOnPage && !FocusActivePage() && CanFocus()) SetFocus();
  if (byUser && OnChange) OnChange(this);
}

bool TPageControl::SelectNextPage(bool goForward) {
  TTabSheet* next = FindNextPage(FActivePage, goForward);
  if (!next || next == FActivePage || !CanChange()) return false;
  ActivatePage(next, true);
  return true;
}

bool TPageControl::FocusActivePage() {
  if (!FActivePage || !FActivePage->HandleAllocated()) return false;
  HWND page = FActivePage->Handle();
  HWND first = ::GetNextDlgTabItem(page, nullptr, FALSE);
  if (!first || !::IsChild(page, first) || !(::GetWindowLongPtrW(first, GWL_STYLE) & WS_TABSTOP)) return false;
  ::SetFocus(first);
  return true;
}

bool TPageControl::DialogKey(WORD key, TShiftState shift) {
  // An inner page control (in a page of this one) takes the keys first.
  if (TControl::DialogKey(key, shift)) return true;
  if (!HandleAllocated() || !CanFocus()) return false;
  HWND wnd = Handle();
  HWND focus = ::GetFocus();
  const bool focusInside = focus && (focus == wnd || ::IsChild(wnd, focus));
  if (focusInside && shift == TShiftState{ssCtrl} && (key == VK_TAB || key == VK_NEXT || key == VK_PRIOR)) {
    SelectNextPage(key != VK_PRIOR);
    return true;
  }
  if (focusInside && shift == TShiftState{ssCtrl, ssShift} && key == VK_TAB) {
    SelectNextPage(false);
    return true;
  }
  if (key == VK_TAB && shift.Empty() && focus == wnd) return FocusActivePage();
  if (key == VK_TAB && shift == TShiftState{ssShift} && FActivePage && FActivePage->HandleAllocated() &&
      focus == ::GetNextDlgTabItem(FActivePage->Handle(), nullptr, FALSE) && ::IsChild(FActivePage->Handle(), focus)) {
    SetFocus();
    return true;
  }
  if (shift == TShiftState{ssAlt}) {
    // Alt with a tab's access key selects that tab.
    const auto pressed = static_cast<wchar_t>(::MapVirtualKeyW(key, MAPVK_VK_TO_CHAR) & 0xFFFF);
    if (pressed == 0) return false;
    const wchar_t upper = UpperChar(pressed);
    for (TTabSheet* page : FPages) {
      if (!page->FTabVisible || AccessKeyOf(page->Caption()) != upper) continue;
      if (page != FActivePage && !CanChange()) return true;
      ActivatePage(page, page != FActivePage);
      SetFocus();
      return true;
    }
  }
  return false;
}

LRESULT TPageControl::CNNotify(NMHDR* header) {
  switch (header->code) {
    case TCN_SELCHANGING:
      return CanChange() ? FALSE : TRUE;  // TRUE keeps the tab
    case TCN_SELCHANGE:
      ActivatePage(PageOfTab(static_cast<int>(Send(Handle(), TCM_GETCURSEL))), true);
      return 0;
    default:
      return 0;
  }
}

RECT TPageControl::AlignArea() const {
  RECT r = TControl::AlignArea();
  if (HandleAllocated()) Send(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return r;
}

void TPageControl::FontChanged() { Realign(); }

LRESULT TPageControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SIZE) {
    // The tab control lays out its rows first; the page area depends on them.
    const LRESULT result = DefaultHandler(msg, wParam, lParam);
    Realign();
    Resize();
    return result;
  }
  return TControl::WndProc(msg, wParam, lParam);
}
