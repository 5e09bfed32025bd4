#include "toolkit/ComCtrls.h"

#include "base/DateTime.h"
#include "base/Locale.h"
#include "base/Strings.h"

#include <algorithm>
#include <cmath>
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

TTabSheet::TTabSheet(TComponent* owner) : TControl(owner) {
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

TPageControl::TPageControl(TComponent* owner) : TControl(owner) {
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
  if (key == VK_TAB && shift.Empty() && focus && !focusInside &&
      !(Send(focus, WM_GETDLGCODE, VK_TAB) & (DLGC_WANTTAB | DLGC_WANTMESSAGE))) {
    // Coming from outside, the Tab key stops at the tabs before it goes into the page (the
    // dialog manager would pass them: the control holds other stops).
    HWND next = ::GetNextDlgTabItem(::GetAncestor(wnd, GA_ROOT), focus, FALSE);
    if (next && ::IsChild(wnd, next)) {
      SetFocus();
      return true;
    }
  }
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

// ---- TDateTimePicker ----

TDateTimePicker::TDateTimePicker(TComponent* owner) : TControl(owner) {
  SetTabStop(true);
  SetBounds(0, 0, 186, 23);
  FDateTime = Now();
}

void TDateTimePicker::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  params.ClassName = DATETIMEPICK_CLASSW;
  params.Style |= FKind == dtkTime ? DTS_TIMEFORMAT : DTS_SHORTDATEFORMAT;
  if (FShowCheckbox) params.Style |= DTS_SHOWNONE;
}

void TDateTimePicker::CreateWnd() {
  TControl::CreateWnd();
  ApplyFormat();
  ApplyRange();
  ApplyValue();
}

void TDateTimePicker::DestroyWnd() {
  FDateTime = DateTime();
  FChecked = Checked();
}

void TDateTimePicker::SetKind(TDateTimeKind kind) {
  if (kind == FKind) return;
  FKind = kind;
  RecreateWnd();  // date and time pickers differ in a style of their own
}

void TDateTimePicker::SetShowCheckbox(bool value) {
  if (value == FShowCheckbox) return;
  FChecked = Checked();
  FShowCheckbox = value;
  RecreateWnd();
}

bool TDateTimePicker::Checked() const {
  if (!FShowCheckbox) return true;
  if (!HandleAllocated()) return FChecked;
  SYSTEMTIME st{};
  return ::SendMessageW(Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) == GDT_VALID;
}

void TDateTimePicker::SetChecked(bool checked) {
  FDateTime = DateTime();
  FChecked = checked;
  ApplyValue();
}

double TDateTimePicker::DateTime() const {
  if (!HandleAllocated()) return FDateTime;
  SYSTEMTIME st{};
  if (::SendMessageW(Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID) return FDateTime;
  return SystemTimeToDateTime(st);
}

void TDateTimePicker::SetDateTime(double value) {
  FChecked = Checked();
  FDateTime = Clamped(value);
  ApplyValue();
}

namespace {

// The time of day of a value, exactly as EncodeTime gives it.
double TimeOfDay(double value) {
  int hour = 0, minute = 0, second = 0, msec = 0;
  DecodeTime(value, hour, minute, second, msec);
  return EncodeTime(hour, minute, second, msec);
}

}  // namespace

double TDateTimePicker::Date() const { return std::trunc(DateTime()); }
double TDateTimePicker::Time() const { return TimeOfDay(DateTime()); }
void TDateTimePicker::SetDate(double date) { SetDateTime(ComposeDateTime(std::trunc(date), Time())); }
void TDateTimePicker::SetTime(double time) { SetDateTime(ComposeDateTime(Date(), TimeOfDay(time))); }

double TDateTimePicker::Clamped(double value) const {
  if (FMinDate != 0 && value < FMinDate) value = FMinDate;
  if (FMaxDate != 0 && value > FMaxDate) value = FMaxDate;
  return value;
}

void TDateTimePicker::SetMinDate(double value) {
  FMinDate = value;
  ApplyRange();
  SetDateTime(DateTime());
}

void TDateTimePicker::SetMaxDate(double value) {
  FMaxDate = value;
  ApplyRange();
  SetDateTime(DateTime());
}

void TDateTimePicker::SetFormat(const std::wstring& format) {
  FFormat = format;
  ApplyFormat();
}

void TDateTimePicker::ApplyFormat() {
  if (!HandleAllocated()) return;
  std::wstring format = FFormat;
  if (format.empty() && FKind == dtkDateTime)
    format = LocaleSnapshot().ShortDateFormat + L" " + LocaleSnapshot().LongTimeFormat;
  ::SendMessageW(Handle(), DTM_SETFORMATW, 0, format.empty() ? 0 : reinterpret_cast<LPARAM>(format.c_str()));
}

void TDateTimePicker::ApplyRange() {
  if (!HandleAllocated()) return;
  SYSTEMTIME range[2]{};
  WPARAM flags = 0;
  if (FMinDate != 0 && DateTimeToSystemTime(FMinDate, range[0])) flags |= GDTR_MIN;
  if (FMaxDate != 0 && DateTimeToSystemTime(FMaxDate, range[1])) flags |= GDTR_MAX;
  ::SendMessageW(Handle(), DTM_SETRANGE, flags, reinterpret_cast<LPARAM>(range));
}

void TDateTimePicker::ApplyValue() {
  if (!HandleAllocated()) return;
  FApplying = true;
  SYSTEMTIME st{};
  // Setting a value ticks the check box: it is cleared again afterwards when it was not ticked.
  if (DateTimeToSystemTime(FDateTime, st))
    ::SendMessageW(Handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
  // GDT_NONE with a time all the same: Wine refuses the message without one.
  if (FShowCheckbox && !FChecked) ::SendMessageW(Handle(), DTM_SETSYSTEMTIME, GDT_NONE, reinterpret_cast<LPARAM>(&st));
  FApplying = false;
}

LRESULT TDateTimePicker::CNNotify(NMHDR* header) {
  if (header->code != DTN_DATETIMECHANGE || FApplying) return 0;
  // The picker may report one change twice: only a real change runs OnChange.
  const auto* change = reinterpret_cast<const NMDATETIMECHANGE*>(header);
  const bool checked = !FShowCheckbox || change->dwFlags == GDT_VALID;
  const double value = change->dwFlags == GDT_VALID ? SystemTimeToDateTime(change->st) : FDateTime;
  if (checked == FChecked && value == FDateTime) return 0;
  FChecked = checked;
  FDateTime = value;
  if (OnChange) OnChange(this);
  return 0;
}
