#include "toolkit/CheckLst.h"

#include <algorithm>
#include <vsstyle.h>
#include <windowsx.h>

namespace {

// Design pixels: the box, the space before it and the space between box and text.
constexpr int kBoxSize = 13;
constexpr int kBoxLeft = 2;
constexpr int kTextGap = 4;
constexpr int kDefaultItemHeight = 17;

int ThemeState(const TListItem& item, bool enabled) {
  const int base = item.State == cbChecked ? CBS_CHECKEDNORMAL : item.State == cbGrayed ? CBS_MIXEDNORMAL
                                                                                         : CBS_UNCHECKEDNORMAL;
  return enabled ? base : base + (CBS_UNCHECKEDDISABLED - CBS_UNCHECKEDNORMAL);
}

}  // namespace

TCheckListBox::TCheckListBox(TComponent* owner) : TListBox(owner) { FItemHeight = kDefaultItemHeight; }

void TCheckListBox::CreateParams(TCreateParams& params) {
  TListBox::CreateParams(params);
  params.Style |= LBS_OWNERDRAWFIXED;
}

void TCheckListBox::DestroyWnd() {
  TListBox::DestroyWnd();
  FTheme.Reset();
  FThemeTried = false;
}

void TCheckListBox::SetState(int index, TCheckBoxState state) {
  Item(index).State = state;
  InvalidateItem(index);
}

void TCheckListBox::SetItemEnabled(int index, bool enabled) {
  Item(index).Enabled = enabled;
  InvalidateItem(index);
}

void TCheckListBox::SetHeader(int index, bool header) {
  Item(index).Header = header;
  InvalidateItem(index);
}

void TCheckListBox::CheckAll(TCheckBoxState state, bool allowGrayed, bool allowDisabled) {
  for (TListItem& item : FItems)
    if ((allowGrayed || item.State != cbGrayed) && (allowDisabled || item.Enabled)) item.State = state;
  Invalidate();
}

int TCheckListBox::CheckedCount() const {
  return static_cast<int>(std::count_if(FItems.begin(), FItems.end(),
                                        [](const TListItem& item) { return item.State == cbChecked; }));
}

int TCheckListBox::TextIndent(const TListItem& item) const {
  return item.Header ? Scale(kBoxLeft) : Scale(kBoxLeft + kBoxSize + kTextGap);
}

int TCheckListBox::MaxItemWidth() const {
  TWindowCanvas canvas = MeasureCanvas();
  int widest = 0;
  for (const TListItem& item : FItems) widest = std::max(widest, TextIndent(item) + canvas.TextWidth(item.Text));
  return (widest * 96 + Dpi() - 1) / Dpi();
}

void TCheckListBox::InvalidateItem(int index) {
  RECT r = ItemRect(index);
  if (!::IsRectEmpty(&r)) ::InvalidateRect(Handle(), &r, FALSE);
}

bool TCheckListBox::ToggleByUser(int index) {
  if (index < 0 || index >= Count() || !Enabled()) return false;
  TListItem& item = Item(index);
  if (!item.Enabled || item.Header) return false;
  switch (item.State) {
    case cbUnchecked:
      item.State = FAllowGrayed ? cbGrayed : cbChecked;
      break;
    case cbChecked:
      item.State = cbUnchecked;
      break;
    case cbGrayed:
      item.State = cbChecked;
      break;
  }
  InvalidateItem(index);
  if (OnClickCheck) OnClickCheck(this);
  return true;
}

int TCheckListBox::ItemAtDevicePoint(LPARAM point) const {
  const LRESULT hit = ::SendMessageW(Handle(), LB_ITEMFROMPOINT, 0, point);
  if (HIWORD(hit) != 0 || static_cast<int>(LOWORD(hit)) >= Count()) return -1;
  return LOWORD(hit);
}

LRESULT TCheckListBox::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_LBUTTONDOWN: {
      // The list selects the entry (and takes the focus) first; a click on the box toggles it.
      const int index = ItemAtDevicePoint(lParam);
      const bool onBox = index >= 0 && GET_X_LPARAM(lParam) < TextIndent(Item(index));
      const LRESULT result = TListBox::WndProc(msg, wParam, lParam);
      if (onBox) ToggleByUser(index);
      return result;
    }
    case WM_LBUTTONDBLCLK: {
      const int index = ItemAtDevicePoint(lParam);
      if (index >= 0) ToggleByUser(index);
      break;  // the list box then reports the double click (OnDblClick)
    }
    case WM_THEMECHANGED:
      FTheme.Reset();
      FThemeTried = false;
      Invalidate();
      break;
    default:
      break;
  }
  return TListBox::WndProc(msg, wParam, lParam);
}

void TCheckListBox::DoKeyPress(wchar_t& key) {
  TListBox::DoKeyPress(key);
  if (key == L' ') {
    ToggleByUser(ItemIndex());
    key = 0;  // not a search for entries starting with a blank
  }
}

bool TCheckListBox::CNMeasureItem(MEASUREITEMSTRUCT& item) {
  item.itemHeight = static_cast<UINT>(Scale(FItemHeight > 0 ? FItemHeight : kDefaultItemHeight));
  return true;
}

void TCheckListBox::DrawCheckBox(HDC dc, const RECT& box, const TListItem& item) {
  const bool enabled = item.Enabled && Enabled();
  if (!FThemeTried) {
    FThemeTried = true;
    FTheme.Reset(::OpenThemeData(Handle(), L"BUTTON"));
  }
  if (FTheme && SUCCEEDED(::DrawThemeBackground(FTheme.Get(), dc, BP_CHECKBOX, ThemeState(item, enabled), &box,
                                                nullptr)))
    return;
  UINT state = DFCS_BUTTONCHECK | DFCS_FLAT;
  if (item.State == cbChecked) state |= DFCS_CHECKED;
  if (item.State == cbGrayed) state |= DFCS_BUTTON3STATE | DFCS_CHECKED;
  if (!enabled) state |= DFCS_INACTIVE;
  RECT r = box;
  ::DrawFrameControl(dc, &r, DFC_BUTTON, state);
}

bool TCheckListBox::CNDrawItem(DRAWITEMSTRUCT& draw) {
  HDC dc = draw.hDC;
  RECT r = draw.rcItem;
  const bool hasItem = static_cast<int>(draw.itemID) >= 0 && static_cast<int>(draw.itemID) < Count();
  if (!hasItem) {
    if (draw.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &r);
    return true;
  }
  const TListItem& item = Item(static_cast<int>(draw.itemID));
  const bool selected = (draw.itemState & ODS_SELECTED) != 0;
  const bool enabled = item.Enabled && Enabled();

  COLORREF back = ColorToRGB(Color() == clDefault ? clWindow : Color());
  COLORREF fore = ColorToRGB(Font().Color);
  if (item.Header) {
    back = ::GetSysColor(COLOR_INFOBK);
    fore = ::GetSysColor(COLOR_INFOTEXT);
  }
  if (selected) {
    back = ::GetSysColor(COLOR_HIGHLIGHT);
    fore = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
  }
  if (!enabled) fore = ::GetSysColor(COLOR_GRAYTEXT);
  TBrushHandle brush(::CreateSolidBrush(back));
  ::FillRect(dc, &r, brush.Get());

  if (!item.Header) {
    const int size = Scale(kBoxSize);
    const int top = r.top + (r.bottom - r.top - size) / 2;
    const RECT box{r.left + Scale(kBoxLeft), top, r.left + Scale(kBoxLeft) + size, top + size};
    DrawCheckBox(dc, box, item);
  }

  RECT text = r;
  text.left += TextIndent(item);
  TSelectObject font(dc, FontHandle());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, fore);
  ::DrawTextW(dc, item.Text.c_str(), static_cast<int>(item.Text.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (draw.itemState & ODS_FOCUS) {
    RECT focus = r;
    focus.left += TextIndent(item) - Scale(1);
    ::DrawFocusRect(dc, &focus);
  }
  return true;
}
