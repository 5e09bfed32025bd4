#include "toolkit/Buttons.h"

#include <algorithm>
#include <commctrl.h>
#include <cstdlib>
#include <windowsx.h>

namespace {

constexpr int kGlyphSize = 16;  // design pixels
// The caption keeps clear of the edge (one device pixel on each side) and of the one-pixel shift
// of a pressed button.
constexpr int kCaptionClearance = 4;  // device pixels

int CaptionWidth(HDC dc, HFONT font, const std::wstring& caption) {
  TSelectObject selected(dc, font);
  SIZE size{};
  ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
  return size.cx;
}

}  // namespace

void PaintToolButton(HDC dc, const RECT& rect, const TToolButtonLook& look, const TIconImage& glyph,
                     const std::wstring& caption, HFONT captionFont) {
  RECT r = rect;
  // Flat: the face colour until the mouse is over it; down buttons show a lighter, sunken face.
  ::FillRect(dc, &r, ::GetSysColorBrush(look.Down && !look.Pressed ? COLOR_3DHILIGHT : COLOR_BTNFACE));
  if (look.Pressed || look.Down)
    ::DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  else if (look.Hot)
    ::DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  const int shift = (look.Pressed || look.Down) ? 1 : 0;
  if (!glyph.Empty()) {
    const int size = glyph.Size();
    const int x = r.left + (r.right - r.left - size) / 2 + shift, y = r.top + (r.bottom - r.top - size) / 2 + shift;
    ::DrawIconEx(dc, x, y, glyph.Handle(), size, size, 0, nullptr, DI_NORMAL);
  } else if (!caption.empty()) {
    TSelectObject font(dc, captionFont);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(look.Enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    ::OffsetRect(&r, shift, shift);
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
}

bool DownAfterClick(bool down, int groupIndex, bool allowAllUp) noexcept {
  if (groupIndex == 0) return down;
  return !down || !allowAllUp;
}

TFontHandle FitCaptionFont(HDC dc, HFONT own, const std::wstring& caption, int buttonWidth) {
  const int room = buttonWidth - kCaptionClearance;
  if (!own || CaptionWidth(dc, own, caption) <= room) return {};
  LOGFONTW lf{};
  ::GetObjectW(own, sizeof(lf), &lf);
  const LONG sign = lf.lfHeight < 0 ? -1 : 1;
  const LONG ownHeight = std::max(std::abs(lf.lfHeight), 2L);
  TFontHandle font;
  auto fits = [&](LONG height, LONG width) {
    lf.lfHeight = sign * height;
    lf.lfWidth = width;
    font.Reset(::CreateFontIndirectW(&lf));
    return font && CaptionWidth(dc, font.Get(), caption) <= room;
  };
  // Smaller sizes down to two thirds of the own one; below that the text would be hard to read,
  // so it is narrowed instead.
  const LONG smallest = std::max((ownHeight * 2 + 2) / 3, 1L);
  for (LONG height = ownHeight - 1; height >= smallest; --height)
    if (fits(height, 0)) return font;
  // Narrowed: a raster face keeps its widths, so an outline face stands in for one.
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  if (fits(smallest, 0)) return font;
  LONG charWidth = 1;
  {
    TSelectObject selected(dc, font.Get());
    TEXTMETRICW tm{};
    ::GetTextMetricsW(dc, &tm);
    charWidth = tm.tmAveCharWidth;
  }
  for (LONG width = charWidth - 1; width >= 1; --width)
    if (fits(smallest, width)) return font;
  // A caption no legible size holds still shows whole, however small.
  for (LONG height = smallest - 1; height >= 1; --height)
    if (fits(height, 1)) return font;
  return font;
}

TSpeedButton::TSpeedButton(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 23, 22); }

void TSpeedButton::CreateParams(TCreateParams& params) {
  // A real BUTTON window, so that accessibility tools see a button, painted by us and kept
  // from taking the focus.
  TControl::CreateParams(params);
  params.ClassName = L"BUTTON";
  params.Style |= BS_PUSHBUTTON | BS_OWNERDRAW;
}

void TSpeedButton::CreateWnd() {
  TControl::CreateWnd();
  if (FGlyphId) FGlyph.LoadResource(FGlyphId, kGlyphSize, Dpi());
  UpdateWindowText();
}

void TSpeedButton::SetGlyph(int iconResourceId) {
  FGlyphId = iconResourceId;
  if (FGlyphId)
    FGlyph.LoadResource(FGlyphId, kGlyphSize, Dpi());
  else
    FGlyph.Clear();
  UpdateWindowText();
  Invalidate();
}

void TSpeedButton::SetCaption(const std::wstring& caption) {
  FCaption = caption;
  FCaptionFont.reset();
  UpdateWindowText();
  Invalidate();
}

void TSpeedButton::SetHint(const std::wstring& hint) {
  TControl::SetHint(hint);
  UpdateWindowText();
}

void TSpeedButton::UpdateWindowText() { SetText(FCaption.empty() ? Hint() : FCaption); }

void TSpeedButton::SetDown(bool down) {
  if (FDown == down) return;
  FDown = down;
  if (down && FGroupIndex != 0 && Parent()) {
    for (TControl* sibling : Parent()->Children()) {
      auto* other = dynamic_cast<TSpeedButton*>(sibling);
      if (other && other != this && other->FGroupIndex == FGroupIndex) other->SetDown(false);
    }
  }
  Invalidate();
}

void TSpeedButton::Click() {
  SetDown(DownAfterClick(FDown, FGroupIndex, FAllowAllUp));
  if (OnClick) OnClick(this);
}

void TSpeedButton::CNCommand(WORD code) {
  // Clicks by mouse, by BM_CLICK or by a WM_COMMAND sent to the parent all end up here.
  if (code == BN_CLICKED) Click();
}

void TSpeedButton::ApplyDpi(int dpi) {
  TControl::ApplyDpi(dpi);
  FGlyph.ApplyDpi(dpi);
}

void TSpeedButton::Resize() {
  FCaptionFont.reset();
  TControl::Resize();
}

HFONT TSpeedButton::CaptionFont() {
  if (FCaption.empty() || !HandleAllocated()) return FontHandle();
  if (!FCaptionFont) {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    TWindowDc dc(Handle());
    FCaptionFont = FitCaptionFont(dc.Get(), FontHandle(), FCaption, client.right);
  }
  return *FCaptionFont ? FCaptionFont->Get() : FontHandle();
}

LRESULT TSpeedButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND wnd = Handle();
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // Handled here instead of by the button class, which would take the focus.
      FPressed = true;
      ::SetCapture(wnd);
      Invalidate();
      return 0;
    case WM_LBUTTONUP:
      if (FPressed) {
        FPressed = false;
        ::ReleaseCapture();
        Invalidate();
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT r;
        ::GetClientRect(wnd, &r);
        if (::PtInRect(&r, pt))
          ::SendMessageW(::GetParent(wnd), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(wnd), BN_CLICKED),
                         reinterpret_cast<LPARAM>(wnd));
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (FPressed) {
        FPressed = false;
        Invalidate();
      }
      break;
    case WM_MOUSEMOVE:
      if (!FHot) {
        FHot = true;
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, wnd, 0};
        ::TrackMouseEvent(&tme);
        Invalidate();
      }
      break;
    case WM_MOUSELEAVE:
      FHot = false;
      Invalidate();
      break;
    case WM_SETFOCUS:
      // Hand the focus straight back: tool buttons never keep it.
      if (wParam && reinterpret_cast<HWND>(wParam) != wnd)
        ::SetFocus(reinterpret_cast<HWND>(wParam));
      else
        RestoreFocus();
      return 0;
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(CaptionFont());
    case BM_GETCHECK:
      return FDown ? BST_CHECKED : BST_UNCHECKED;
    case BM_GETSTATE:
      return (FDown ? BST_CHECKED : 0) | (FPressed ? BST_PUSHED : 0) | (FHot ? BST_HOT : 0);
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      TPaintDc dc(wnd);
      RECT r;
      ::GetClientRect(wnd, &r);
      PaintToolButton(dc.Get(), r, TToolButtonLook{FDown, FPressed, FHot, Enabled()}, FGlyph, FCaption, CaptionFont());
      return 0;
    }
    default:
      break;
  }
  return TControl::WndProc(msg, wParam, lParam);
}
