#include "toolkit/Containers.h"

#include <algorithm>

// ---- TScrollBox ----

TScrollBox::TScrollBox(TComponent* owner) : TControl(owner) {
  SetParentColor(true);
  SetBounds(0, 0, 185, 41);
}

void TScrollBox::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  params.ClassName = L"TavrinoScrollBox";
  params.OwnClass = true;
  params.Style |= WS_CLIPCHILDREN | WS_VSCROLL;
  params.ExStyle |= WS_EX_CONTROLPARENT;
}

void TScrollBox::CreateWnd() {
  FPosition = 0;
  TControl::CreateWnd();
  UpdateScrollInfo();
  if (FDesignPosition) ScrollTo(Scale(FDesignPosition));
}

int TScrollBox::MaxDevicePosition() const {
  if (!HandleAllocated()) return 0;
  RECT r;
  ::GetClientRect(Handle(), &r);
  return std::max(Scale(FRange) - static_cast<int>(r.bottom), 0);
}

void TScrollBox::UpdateScrollInfo() {
  if (!HandleAllocated() || FUpdating) return;
  FUpdating = true;
  RECT r;
  ::GetClientRect(Handle(), &r);
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = std::max(Scale(FRange) - 1, 0);
  si.nPage = static_cast<UINT>(std::max(r.bottom, 0L));
  si.nPos = std::min(FPosition, MaxDevicePosition());
  // With the page as large as the range the system hides the bar.
  ::SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
  FUpdating = false;
  if (FPosition > MaxDevicePosition()) ScrollTo(MaxDevicePosition());
}

void TScrollBox::SetVertRange(int range) {
  FRange = std::max(range, 0);
  if (!HandleAllocated()) return;
  UpdateScrollInfo();
  Realign();  // aligned children share an area as tall as the range
}

int TScrollBox::VertPosition() const noexcept {
  if (!HandleAllocated()) return FDesignPosition;
  // The design position asked for, as long as the content sits where it put it.
  return Scale(FDesignPosition) == FPosition ? FDesignPosition : Unscale(FPosition);
}

void TScrollBox::SetVertPosition(int position) {
  FDesignPosition = std::max(position, 0);
  if (HandleAllocated()) ScrollTo(Scale(FDesignPosition));
}

bool TScrollBox::VertScrollBarVisible() const {
  return HandleAllocated() && (::GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_VSCROLL) != 0;
}

void TScrollBox::ScrollTo(int devicePosition) {
  const int position = std::clamp(devicePosition, 0, MaxDevicePosition());
  if (position == FPosition) return;
  const int delta = FPosition - position;
  FPosition = position;
  if (Scale(FDesignPosition) != FPosition) FDesignPosition = Unscale(FPosition);
  // The child windows are moved one by one (they learn their new place from the move):
  // ScrollWindowEx does not move them while the window is not yet on screen (Wine).
  HWND wnd = Handle();
  for (HWND child = ::GetWindow(wnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&r), 2);
    ::SetWindowPos(child, nullptr, r.left, r.top + delta, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::InvalidateRect(wnd, nullptr, TRUE);
  ::SetScrollPos(wnd, SB_VERT, FPosition, TRUE);
}

void TScrollBox::Scroll(WORD code) {
  RECT r;
  ::GetClientRect(Handle(), &r);
  const int line = Scale(FIncrement), page = std::max(static_cast<int>(r.bottom), 1);
  switch (code) {
    case SB_LINEUP:
      ScrollTo(FPosition - line);
      break;
    case SB_LINEDOWN:
      ScrollTo(FPosition + line);
      break;
    case SB_PAGEUP:
      ScrollTo(FPosition - page);
      break;
    case SB_PAGEDOWN:
      ScrollTo(FPosition + page);
      break;
    case SB_TOP:
      ScrollTo(0);
      break;
    case SB_BOTTOM:
      ScrollTo(MaxDevicePosition());
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // The 32-bit track position; the message itself carries only 16 bits.
      SCROLLINFO si{};
      si.cbSize = sizeof(si);
      si.fMask = SIF_TRACKPOS;
      if (::GetScrollInfo(Handle(), SB_VERT, &si)) ScrollTo(si.nTrackPos);
      break;
    }
    default:
      break;
  }
}

bool TScrollBox::DoMouseWheel(TShiftState shift, int delta, POINT screenPoint) {
  if (TControl::DoMouseWheel(shift, delta, screenPoint)) return true;
  const int maxPosition = MaxDevicePosition();
  if (maxPosition == 0) return false;  // nothing to scroll: the parent may use the wheel
  UINT lines = 3;
  ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  RECT r;
  ::GetClientRect(Handle(), &r);
  // Fine-grained wheels send parts of a notch: the rest is kept for the next one.
  const int notch = lines == WHEEL_PAGESCROLL ? static_cast<int>(r.bottom)
                                              : static_cast<int>(lines) * Scale(FIncrement);
  const int total = delta * notch + FWheelRemainder;
  FWheelRemainder = total % WHEEL_DELTA;
  ScrollTo(FPosition - total / WHEEL_DELTA);
  return true;
}

RECT TScrollBox::AlignArea() const {
  RECT r = TControl::AlignArea();
  r.bottom = std::max(r.bottom, static_cast<LONG>(Scale(FRange)));
  ::OffsetRect(&r, 0, -FPosition);
  return r;
}

void TScrollBox::ApplyDpi(int dpi) {
  const int designPosition = VertPosition();
  FPosition = ScaleToDpi(designPosition, dpi);
  TControl::ApplyDpi(dpi);
  UpdateScrollInfo();
}

LRESULT TScrollBox::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_VSCROLL:
      if (lParam == 0) {  // our own bar; a child's scroll message is reflected to the child
        Scroll(LOWORD(wParam));
        return 0;
      }
      break;
    case WM_SIZE:
      UpdateScrollInfo();  // the page follows the client height; the position stays in range
      break;
    default:
      break;
  }
  return TControl::WndProc(msg, wParam, lParam);
}

// ---- TFrame ----

TFrame::TFrame(TComponent* owner) : TControl(owner) {
  SetParentColor(true);
  SetBounds(0, 0, 320, 240);
}

void TFrame::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  params.ClassName = L"TavrinoFrame";
  params.OwnClass = true;
  params.Style |= WS_CLIPCHILDREN;
  params.ExStyle |= WS_EX_CONTROLPARENT;
}
