#include "toolkit/Controls.h"

#include "base/Exception.h"
#include "toolkit/Forms.h"

#include <algorithm>
#include <commctrl.h>

namespace {

const wchar_t kControlProp[] = L"Tavrino.Control";
constexpr UINT_PTR kSubclassId = 1;

}  // namespace

TControl::TControl(TControl* parent) : FParent(parent) {
  if (FParent) {
    FParent->AddChild(this);
    FDpi = FParent->Dpi();
  } else {
    FDpi = static_cast<int>(::GetDpiForSystem());
  }
}

TControl::~TControl() {
  // Children are owned by the objects that declared them and are normally gone by now.
  for (TControl* child : FChildren) child->FParent = nullptr;
  if (FHandle) {
    // Detached first: the half-destroyed object must see no more messages.
    HWND wnd = FHandle;
    Detach();
    ::DestroyWindow(wnd);
  }
  if (FParent) FParent->RemoveChild(this);
}

TForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->FParent) c = c->FParent;
  return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

TControl* TControl::FromHandle(HWND wnd) noexcept {
  return wnd ? static_cast<TControl*>(::GetPropW(wnd, kControlProp)) : nullptr;
}

void TControl::RemoveChild(TControl* child) {
  FChildren.erase(std::remove(FChildren.begin(), FChildren.end(), child), FChildren.end());
}

void TControl::CreateHandle(const wchar_t* className, DWORD style, DWORD exStyle, const std::wstring& text,
                            HWND owner) {
  const bool isChild = FParent != nullptr;
  if (isChild) {
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (FVisible) style |= WS_VISIBLE;
  }
  HWND parentWnd = isChild ? FParent->Handle() : owner;
  int x = isChild ? Scale(FBounds.Left) : CW_USEDEFAULT;
  int y = isChild ? Scale(FBounds.Top) : CW_USEDEFAULT;
  HWND wnd = ::CreateWindowExW(exStyle, className, text.c_str(), style, x, y, Scale(FBounds.Width),
                               Scale(FBounds.Height), parentWnd, nullptr, ::GetModuleHandleW(nullptr), this);
  if (!wnd) RaiseLastOSError(L"CreateWindowEx " + std::wstring(className));
  if (!FHandle) {  // a system window class: take its messages through a subclass
    Attach(wnd);
    ::SetWindowSubclass(wnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    FSubclassed = true;
  }
  if (!isChild) FDpi = static_cast<int>(::GetDpiForWindow(wnd));
  RecreateFont(false);
  if (isChild && FAlign != alNone) FParent->AlignChildren();
}

void TControl::Attach(HWND wnd) {
  FHandle = wnd;
  ::SetPropW(wnd, kControlProp, this);
}

void TControl::Detach() noexcept {
  if (!FHandle) return;
  ::RemovePropW(FHandle, kControlProp);
  if (FSubclassed) ::RemoveWindowSubclass(FHandle, SubclassProc, kSubclassId);
  FSubclassed = false;
  FHandle = nullptr;
}

const wchar_t* TControl::RegisterOwnClass(const wchar_t* name, UINT classStyle, HBRUSH background) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  if (::GetClassInfoExW(instance, name, &wc)) return name;
  wc.cbSize = sizeof(wc);
  wc.style = classStyle;
  wc.lpfnWndProc = OwnWindowProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
  if (!::RegisterClassExW(&wc)) RaiseLastOSError(L"RegisterClassEx");
  return name;
}

LRESULT CALLBACK TControl::OwnWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* control = static_cast<TControl*>(cs->lpCreateParams);
    if (control) control->Attach(wnd);
  }
  TControl* control = FromHandle(wnd);
  if (!control) return ::DefWindowProcW(wnd, msg, wParam, lParam);
  LRESULT result = control->SafeWndProc(msg, wParam, lParam);
  if (msg == WM_NCDESTROY) control->Detach();
  return result;
}

LRESULT CALLBACK TControl::SubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR refData) noexcept {
  auto* control = reinterpret_cast<TControl*>(refData);
  if (msg == WM_NCDESTROY) {
    control->Detach();
    return ::DefSubclassProc(wnd, msg, wParam, lParam);
  }
  return control->SafeWndProc(msg, wParam, lParam);
}

LRESULT TControl::SafeWndProc(UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  // No exception may cross into the system: it goes to the application's display.
  try {
    return WndProc(msg, wParam, lParam);
  } catch (const std::exception& e) {
    Application().HandleException(e);
  } catch (...) {
    Application().HandleException(std::runtime_error("Unknown exception"));
  }
  return 0;
}

LRESULT TControl::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!FHandle) return 0;
  return FSubclassed ? ::DefSubclassProc(FHandle, msg, wParam, lParam)
                     : ::DefWindowProcW(FHandle, msg, wParam, lParam);
}

LRESULT TControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      if (lParam) {
        if (TControl* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
          child->CommandNotification(HIWORD(wParam));
          return 0;
        }
      }
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (TControl* child = FromHandle(header->hwndFrom)) return child->NotifyNotification(header);
      break;
    }
    case WM_SIZE:
      if (!FChildren.empty()) AlignChildren();
      break;
    default:
      break;
  }
  return DefaultHandler(msg, wParam, lParam);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  FBounds = {left, top, width, height};
  if (!FHandle) return;
  if (FParent && FAlign != alNone)
    FParent->AlignChildren();
  else
    UpdateDeviceBounds();
}

void TControl::UpdateDeviceBounds() {
  if (!FHandle || !FParent) return;
  ::SetWindowPos(FHandle, nullptr, Scale(FBounds.Left), Scale(FBounds.Top), Scale(FBounds.Width),
                 Scale(FBounds.Height), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TControl::SetAlign(TAlign align) {
  FAlign = align;
  if (FParent && FParent->Handle()) FParent->AlignChildren();
}

RECT TControl::AlignArea() const {
  RECT r{};
  if (FHandle) ::GetClientRect(FHandle, &r);
  return r;
}

void TControl::AlignChildren() {
  if (!FHandle) return;
  RECT area = AlignArea();
  auto place = [](TControl* c, int x, int y, int w, int h) {
    ::SetWindowPos(c->FHandle, nullptr, x, y, std::max(w, 0), std::max(h, 0), SWP_NOZORDER | SWP_NOACTIVATE);
  };
  // Edges first in the usual order, then the client-aligned controls take what is left.
  for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* c : FChildren) {
      if (c->FAlign != pass || !c->FHandle || !c->FVisible) continue;
      int w = c->Scale(c->FBounds.Width), h = c->Scale(c->FBounds.Height);
      switch (pass) {
        case alTop:
          place(c, area.left, area.top, area.right - area.left, h);
          area.top += h;
          break;
        case alBottom:
          place(c, area.left, area.bottom - h, area.right - area.left, h);
          area.bottom -= h;
          break;
        case alLeft:
          place(c, area.left, area.top, w, area.bottom - area.top);
          area.left += w;
          break;
        case alRight:
          place(c, area.right - w, area.top, w, area.bottom - area.top);
          area.right -= w;
          break;
        default:
          place(c, area.left, area.top, area.right - area.left, area.bottom - area.top);
          break;
      }
    }
  }
  for (TControl* c : FChildren)
    if (c->FAlign == alNone) c->UpdateDeviceBounds();
}

void TControl::SetVisible(bool visible) {
  FVisible = visible;
  if (!FHandle) return;
  ::ShowWindow(FHandle, visible ? SW_SHOWNA : SW_HIDE);
  if (FParent && FAlign != alNone) FParent->AlignChildren();
}

std::wstring TControl::Text() const {
  if (!FHandle) return {};
  int length = ::GetWindowTextLengthW(FHandle);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = ::GetWindowTextW(FHandle, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

void TControl::SetText(const std::wstring& text) {
  if (FHandle) ::SetWindowTextW(FHandle, text.c_str());
}

void TControl::SetHint(const std::wstring& hint) {
  FHint = hint;
  if (TForm* form = ParentForm(); form && FHandle) form->UpdateHint(this);
}

TFontSpec TControl::Font() const {
  if (FFont) return *FFont;
  if (FParent) return FParent->Font();
  return TFontSpec{};
}

void TControl::SetFont(const TFontSpec& font) {
  FFont = font;
  RecreateFont(true);
}

void TControl::RecreateFont(bool recurse) {
  if (!FHandle) return;
  FFontHandle = CreateFontFor(Font(), FDpi);
  ::SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFontHandle.Get()), TRUE);
  FontChanged();
  if (recurse)
    for (TControl* c : FChildren)
      if (!c->FFont) c->RecreateFont(true);
}

void TControl::ApplyDpi(int dpi) {
  FDpi = dpi;
  RecreateFont(false);
  for (TControl* c : FChildren) c->ApplyDpi(dpi);
  if (!FChildren.empty()) AlignChildren();
}

bool TControl::Enabled() const { return FHandle && ::IsWindowEnabled(FHandle); }

void TControl::SetEnabled(bool enabled) {
  if (FHandle) ::EnableWindow(FHandle, enabled);
}

void TControl::SetFocus() {
  if (FHandle) ::SetFocus(FHandle);
}

void TControl::Invalidate() {
  if (FHandle) ::InvalidateRect(FHandle, nullptr, TRUE);
}

TPanel::TPanel(TControl* parent) : TControl(parent) {
  CreateHandle(RegisterOwnClass(L"TavrinoPanel", CS_HREDRAW | CS_VREDRAW, nullptr), WS_CLIPCHILDREN,
               WS_EX_CONTROLPARENT, L"");
}

void TPanel::SetColor(COLORREF color) {
  FBrush.Reset(color == CLR_INVALID ? nullptr : ::CreateSolidBrush(color));
  Invalidate();
}

LRESULT TPanel::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_ERASEBKGND) {
    RECT r;
    ::GetClientRect(Handle(), &r);
    ::FillRect(reinterpret_cast<HDC>(wParam), &r, FBrush ? FBrush.Get() : ::GetSysColorBrush(COLOR_BTNFACE));
    return 1;
  }
  return TControl::WndProc(msg, wParam, lParam);
}
