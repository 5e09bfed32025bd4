#include "toolkit/Controls.h"

#include "base/Exception.h"
#include "toolkit/Menus.h"
#include "toolkit/Screen.h"

#include <algorithm>
#include <commctrl.h>
#include <windowsx.h>

namespace {

const wchar_t kControlProp[] = L"Tavrino.Control";
constexpr UINT_PTR kSubclassId = 1;
// Control ids start above the dialog results (IDOK ... IDNO), which the dialog manager sends
// as command ids of its own.
constexpr int kFirstControlId = 0x100;

TExceptionProc gExceptionProc = nullptr;

bool IsCtlColorMessage(UINT msg) { return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC; }

// What the system paints behind a control that has no colour of its own.
TColor DefaultBackground(UINT ctlColorMsg) {
  return ctlColorMsg == WM_CTLCOLOREDIT || ctlColorMsg == WM_CTLCOLORLISTBOX ? clWindow : clBtnFace;
}

}  // namespace

void SetControlExceptionProc(TExceptionProc proc) noexcept { gExceptionProc = proc; }

void HandleCallbackException(const std::exception& e) noexcept {
  try {
    if (gExceptionProc) gExceptionProc(e);
  } catch (...) {
    // The display itself failed: nothing is left to show it with.
  }
}

TControl::TControl(TComponent* owner) : TComponent(owner), FLastChildId(kFirstControlId) {
  FDpi = static_cast<int>(::GetDpiForSystem());
}

TControl::~TControl() {
  // Owned components may sit in this control's windows: they go while it is still whole.
  DestroyComponents();
  for (TControl* child : FChildren) child->FParent = nullptr;
  FChildren.clear();
  DestroyHandle();
  if (FParent) FParent->RemoveChild(this);
}

// ---- window ----

HWND TControl::Handle() const {
  if (!FHandle) const_cast<TControl*>(this)->HandleNeeded();
  return FHandle;
}

void TControl::HandleNeeded() {
  if (!FHandle && !FCreating) CreateHandle();
}

TControl* TControl::FromHandle(HWND wnd) noexcept {
  return wnd ? static_cast<TControl*>(::GetPropW(wnd, kControlProp)) : nullptr;
}

TControl* TControl::TopLevel() const noexcept {
  const TControl* c = this;
  while (c->FParent) c = c->FParent;
  return const_cast<TControl*>(c);
}

void TControl::SetParent(TControl* parent) {
  if (parent == FParent) return;
  if (FParent) {
    DestroyHandle();  // a window cannot simply move to another top-level window's id space
    FParent->RemoveChild(this);
  }
  FParent = parent;
  if (!FParent) return;
  FTabOrder = static_cast<int>(FParent->FChildren.size());
  FParent->FChildren.push_back(this);
  if (FDpi != FParent->FDpi) FDpi = FParent->FDpi;
  if (FParent->FHandle) {
    CreateHandle();
    if (FAlign != alNone) FParent->Realign();
  }
}

void TControl::RemoveChild(TControl* child) noexcept {
  auto it = std::find(FChildren.begin(), FChildren.end(), child);
  if (it == FChildren.end()) return;
  FChildren.erase(it);
  for (TControl* c : FChildren)
    if (c->FTabOrder > child->FTabOrder) --c->FTabOrder;
  if (FHandle && child->FAlign != alNone && !Destroying()) Realign();
}

void TControl::CreateParams(TCreateParams& params) {
  if (FParent) {
    params.Style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (FVisible) params.Style |= WS_VISIBLE;
    params.X = Scale(FBounds.Left);
    params.Y = Scale(FBounds.Top);
    params.Width = Scale(FBounds.Width);
    params.Height = Scale(FBounds.Height);
    params.WndParent = FParent->FHandle;
  }
  if (!FEnabled) params.Style |= WS_DISABLED;
  if (FTabStop) params.Style |= WS_TABSTOP;
}

void TControl::CreateHandle() {
  if (FHandle) return;
  if (FParent) {
    FParent->HandleNeeded();
    // Creating the parent creates its children, this one among them.
    if (FHandle || !FParent->FHandle) return;
    FDpi = FParent->FDpi;
  }
  TCreateParams params;
  CreateParams(params);
  if (params.ClassName.empty()) return;  // a control without a window of its own (none so far)
  if (params.OwnClass)
    RegisterOwnClass(params);
  else
    LoadCommonControls();
  if (FParent && !FControlId) FControlId = TopLevel()->NextControlId();
  HMENU menuOrId = FParent ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(FControlId)) : nullptr;
  FCreating = true;
  HWND wnd = ::CreateWindowExW(params.ExStyle, params.ClassName.c_str(), FText.c_str(), params.Style, params.X,
                               params.Y, params.Width, params.Height, params.WndParent, menuOrId,
                               ::GetModuleHandleW(nullptr), this);
  FCreating = false;
  if (!wnd) RaiseLastOSError(L"CreateWindowEx " + params.ClassName);
  if (!FHandle) {  // a system window class: take its messages through a subclass
    Attach(wnd);
    ::SetWindowSubclass(wnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    FSubclassed = true;
  }
  CreateWnd();
}

void LoadCommonControls() {
  static const bool loaded = [] {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES |
                                              ICC_DATE_CLASSES | ICC_TAB_CLASSES | ICC_LINK_CLASS | ICC_UPDOWN_CLASS};
    return ::InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)loaded;
}

void TControl::CreateWnd() {
  if (!FParent) FDpi = static_cast<int>(::GetDpiForWindow(FHandle));
  ApplyFont(false);
  if (!FHint.empty()) HintChanged(this);
  for (TControl* child : FChildren) child->CreateHandle();
  ApplyTabOrder();
  if (!FChildren.empty()) Realign();
  if (!FParent) ReadDeviceBounds();
}

void TControl::DestroyHandle() noexcept {
  if (!FHandle) return;
  DestroyWnd();
  // Detached first: the half-destroyed object must see no more messages. Child windows go
  // with it; their objects learn it from WM_NCDESTROY.
  HWND wnd = FHandle;
  Detach();
  ::DestroyWindow(wnd);
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

void TControl::RegisterOwnClass(const TCreateParams& params) {
  const wchar_t* name = params.ClassName.c_str();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  if (::GetClassInfoExW(instance, name, &wc)) return;
  wc.cbSize = sizeof(wc);
  wc.style = params.ClassStyle;
  wc.lpfnWndProc = OwnWindowProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = params.Background;
  wc.lpszClassName = name;
  // The program's icon for the classes of top-level windows only, in both sizes: the system
  // would make the small one from the resource itself, slowly (under Wine about 2 ms a class).
  if (!(params.Style & WS_CHILD)) {
    wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                                 LR_DEFAULTCOLOR | LR_SHARED));
  }
  if (!::RegisterClassExW(&wc)) RaiseLastOSError(L"RegisterClassEx");
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
  LRESULT result = 0;
  GuardCallback([&] {
    // Every mouse message, before the control acts on it (a click hides the hint).
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) {
      const DWORD pos = ::GetMessagePos();
      RelayToHints(MSG{FHandle, msg, wParam, lParam, static_cast<DWORD>(::GetMessageTime()),
                       POINT{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)}});
    }
    result = WndProc(msg, wParam, lParam);
  });
  return result;
}

LRESULT TControl::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!FHandle) return 0;
  return FSubclassed ? ::DefSubclassProc(FHandle, msg, wParam, lParam)
                     : ::DefWindowProcW(FHandle, msg, wParam, lParam);
}

TShiftState TControl::KeyShiftState() noexcept {
  TShiftState shift;
  if (::GetKeyState(VK_SHIFT) < 0) shift.Include(ssShift);
  if (::GetKeyState(VK_CONTROL) < 0) shift.Include(ssCtrl);
  if (::GetKeyState(VK_MENU) < 0) shift.Include(ssAlt);
  return shift;
}

bool TControl::ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  TControl* child = nullptr;
  switch (msg) {
    case WM_COMMAND:
      if (!lParam || !(child = FromHandle(reinterpret_cast<HWND>(lParam)))) return false;
      child->CNCommand(HIWORD(wParam));
      result = 0;
      return true;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (!(child = FromHandle(header->hwndFrom))) return false;
      result = child->CNNotify(header);
      return true;
    }
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (item->CtlType == ODT_MENU || !(child = FromHandle(item->hwndItem))) return false;
      result = child->CNDrawItem(*item) ? TRUE : FALSE;
      return result != FALSE;
    }
    case WM_MEASUREITEM: {
      // Sent while the child's window is still being made: find it by its id.
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (item->CtlType == ODT_MENU) return false;
      for (TControl* c : FChildren)
        if (c->FControlId == static_cast<int>(item->CtlID)) child = c;
      if (!child || !child->CNMeasureItem(*item)) return false;
      result = TRUE;
      return true;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (!lParam || !(child = FromHandle(reinterpret_cast<HWND>(lParam)))) return false;
      child->CNScroll(msg, LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
      result = 0;
      return true;
    default:
      if (!IsCtlColorMessage(msg) || !(child = FromHandle(reinterpret_cast<HWND>(lParam)))) return false;
      if (HBRUSH brush = child->CNCtlColor(msg, reinterpret_cast<HDC>(wParam))) {
        result = reinterpret_cast<LRESULT>(brush);
        return true;
      }
      return false;
  }
}

LRESULT TControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (ReflectToChild(msg, wParam, lParam, result)) return result;
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      auto key = static_cast<unsigned short>(wParam);
      DoKeyDown(key, KeyShiftState());
      if (key == 0) return 0;
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      auto key = static_cast<unsigned short>(wParam);
      DoKeyUp(key, KeyShiftState());
      if (key == 0) return 0;
      break;
    }
    case WM_CHAR: {
      auto key = static_cast<wchar_t>(wParam);
      DoKeyPress(key);
      if (key == 0) return 0;
      wParam = key;
      break;
    }
    case WM_MOUSEWHEEL: {
      // The wheel turns what is under the mouse, not only what has the focus.
      POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
      TShiftState shift = KeyShiftState();
      for (TControl* c = FromHandle(::WindowFromPoint(pt)); c; c = c->FParent) {
        if (c->DoMouseWheel(shift, delta, pt)) return 0;
        if (c == this) break;
      }
      if (DoMouseWheel(shift, delta, pt)) return 0;
      break;
    }
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) == FHandle &&
          DoContextPopup(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
        return 0;
      break;
    case WM_SETCURSOR:
      // The program-wide cursor (busy) wins over every window's own.
      if (HCURSOR cursor = Screen().CursorHandle()) {
        ::SetCursor(cursor);
        return TRUE;
      }
      break;
    case WM_SETFOCUS:
      if (OnEnter) OnEnter(this);
      break;
    case WM_KILLFOCUS:
      if (OnExit) OnExit(this);
      break;
    case WM_SIZE:
      if (!FChildren.empty()) Realign();
      Resize();
      break;
    case WM_WINDOWPOSCHANGED:
      ReadDeviceBounds();
      break;
    case WM_ERASEBKGND:
      if (!FSubclassed && EraseBackground(reinterpret_cast<HDC>(wParam))) return 1;
      break;
    case WM_PAINT:
      if (!FSubclassed) {
        TPaintDc dc(FHandle);
        TCanvas canvas(dc.Get(), FDpi);
        canvas.SetFont(Font());
        Paint(canvas);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefaultHandler(msg, wParam, lParam);
}

void TControl::DoKeyDown(unsigned short& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TControl::DoKeyUp(unsigned short& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TControl::DoKeyPress(wchar_t& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

bool TControl::DoMouseWheel(TShiftState shift, int delta, POINT screenPoint) {
  bool handled = false;
  if (OnMouseWheel) {
    POINT pt = screenPoint;
    if (FHandle) ::ScreenToClient(FHandle, &pt);
    OnMouseWheel(this, shift, delta, pt.x, pt.y, handled);
  }
  return handled;
}

bool TControl::DoContextPopup(POINT screenPoint) {
  if (screenPoint.x == -1 && screenPoint.y == -1 && FHandle) {
    // From the keyboard: below the top left corner of the control.
    RECT r;
    ::GetWindowRect(FHandle, &r);
    screenPoint = {r.left + Scale(8), r.top + Scale(8)};
  }
  bool handled = false;
  if (OnContextPopup) {
    POINT pt = screenPoint;
    if (FHandle) ::ScreenToClient(FHandle, &pt);
    OnContextPopup(this, pt.x, pt.y, handled);
  }
  if (handled) return true;
  if (FPopupMenu) {
    FPopupMenu->SetPopupComponent(this);
    FPopupMenu->Popup(screenPoint.x, screenPoint.y, TopLevel()->Handle());
    return true;
  }
  return false;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

bool TControl::EraseBackground(HDC dc) {
  RECT r;
  ::GetClientRect(FHandle, &r);
  HBRUSH brush = ColorBrush();
  ::FillRect(dc, &r, brush ? brush : ::GetSysColorBrush(COLOR_BTNFACE));
  return true;
}

HBRUSH TControl::CNCtlColor(UINT msg, HDC dc) {
  TColor color = Color();
  const TFontDesc font = Font();
  if (color == clDefault && font.Color == clWindowText) return nullptr;
  if (color == clDefault) color = DefaultBackground(msg);
  ::SetTextColor(dc, ColorToRGB(font.Color));
  ::SetBkColor(dc, ColorToRGB(color));
  const COLORREF rgb = ColorToRGB(color);
  if (!FColorBrush || FColorBrushRgb != rgb) {
    FColorBrush.Reset(::CreateSolidBrush(rgb));
    FColorBrushRgb = rgb;
  }
  return FColorBrush.Get();
}

HBRUSH TControl::ColorBrush() {
  const TColor color = Color();
  if (color == clDefault) return nullptr;
  const COLORREF rgb = ColorToRGB(color);
  if (!FColorBrush || FColorBrushRgb != rgb) {
    FColorBrush.Reset(::CreateSolidBrush(rgb));
    FColorBrushRgb = rgb;
  }
  return FColorBrush.Get();
}

// ---- bounds and alignment ----

void TControl::SetBounds(int left, int top, int width, int height) {
  FBounds = {left, top, std::max(width, 0), std::max(height, 0)};
  if (!FHandle) return;
  if (FParent && FAlign != alNone)
    FParent->Realign();
  else
    UpdateDeviceBounds();
}

void TControl::UpdateDeviceBounds() {
  if (!FHandle || !FParent) return;
  const TDesignRect wanted = FBounds;
  ::SetWindowPos(FHandle, nullptr, Scale(wanted.Left), Scale(wanted.Top), Scale(wanted.Width), Scale(wanted.Height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  FBounds = wanted;  // exactly as given, whatever rounding the way back would add
}

void TControl::ReadDeviceBounds() {
  if (!FHandle || !FParent || !FParent->FHandle) return;
  RECT r;
  ::GetWindowRect(FHandle, &r);
  ::MapWindowPoints(nullptr, FParent->FHandle, reinterpret_cast<POINT*>(&r), 2);
  FBounds = {Unscale(r.left), Unscale(r.top), Unscale(r.right - r.left), Unscale(r.bottom - r.top)};
}

int TControl::ClientWidth() const {
  if (!FHandle) return FBounds.Width;
  RECT r;
  ::GetClientRect(FHandle, &r);
  return Unscale(r.right);
}

int TControl::ClientHeight() const {
  if (!FHandle) return FBounds.Height;
  RECT r;
  ::GetClientRect(FHandle, &r);
  return Unscale(r.bottom);
}

void TControl::SetAlign(TAlign align) {
  FAlign = align;
  if (FParent && FParent->FHandle) FParent->Realign();
}

void TControl::SetMargins(const TMargins& margins) {
  FMargins = margins;
  if (FAlign != alNone && FParent && FParent->FHandle) FParent->Realign();
}

void TControl::SetAlignWithMargins(bool value) {
  FAlignWithMargins = value;
  if (FAlign != alNone && FParent && FParent->FHandle) FParent->Realign();
}

RECT TControl::AlignArea() const {
  RECT r{};
  if (FHandle) ::GetClientRect(FHandle, &r);
  return r;
}

void TControl::Realign() {
  if (!FHandle) return;
  RECT area = AlignArea();
  auto place = [](TControl* c, int x, int y, int w, int h) {
    ::SetWindowPos(c->FHandle, nullptr, x, y, std::max(w, 0), std::max(h, 0), SWP_NOZORDER | SWP_NOACTIVATE);
  };
  // Edges first in the usual order, then the client-aligned controls take what is left.
  for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (TControl* c : FChildren) {
      if (c->FAlign != pass || !c->FHandle || !c->FVisible) continue;
      const TMargins m = c->FAlignWithMargins ? c->FMargins : TMargins{};
      const int ml = c->Scale(m.Left), mt = c->Scale(m.Top), mr = c->Scale(m.Right), mb = c->Scale(m.Bottom);
      const int w = c->Scale(c->FBounds.Width), h = c->Scale(c->FBounds.Height);
      const int areaWidth = area.right - area.left - ml - mr, areaHeight = area.bottom - area.top - mt - mb;
      switch (pass) {
        case alTop:
          place(c, area.left + ml, area.top + mt, areaWidth, h);
          area.top += mt + h + mb;
          break;
        case alBottom:
          place(c, area.left + ml, area.bottom - mb - h, areaWidth, h);
          area.bottom -= mt + h + mb;
          break;
        case alLeft:
          place(c, area.left + ml, area.top + mt, w, areaHeight);
          area.left += ml + w + mr;
          break;
        case alRight:
          place(c, area.right - mr - w, area.top + mt, w, areaHeight);
          area.right -= ml + w + mr;
          break;
        default:
          place(c, area.left + ml, area.top + mt, areaWidth, areaHeight);
          break;
      }
    }
  }
}

// ---- state ----

void TControl::SetVisible(bool visible) {
  FVisible = visible;
  if (!FHandle) return;
  ::ShowWindow(FHandle, visible ? SW_SHOWNA : SW_HIDE);
  if (FParent && FAlign != alNone) FParent->Realign();
}

bool TControl::Showing() const noexcept {
  for (const TControl* c = this; c; c = c->FParent)
    if (!c->FVisible) return false;
  return true;
}

void TControl::SetEnabled(bool enabled) {
  FEnabled = enabled;
  if (FHandle) ::EnableWindow(FHandle, enabled);
}

std::wstring TControl::Text() const {
  if (!FHandle) return FText;
  int length = ::GetWindowTextLengthW(FHandle);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = ::GetWindowTextW(FHandle, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

void TControl::SetText(const std::wstring& text) {
  FText = text;
  if (FHandle) ::SetWindowTextW(FHandle, text.c_str());
  TextChanged();
}

void TControl::SetHint(const std::wstring& hint) {
  FHint = hint;
  if (FHandle) HintChanged(this);
}

void TControl::AreaHintChanged(HWND wnd, UINT_PTR id, const RECT& area, const std::wstring& hint) {
  if (FParent) FParent->AreaHintChanged(wnd, id, area, hint);
}

void TControl::RelayToHints(const MSG& message) {
  if (FParent) FParent->RelayToHints(message);
}

void TControl::HintChanged(TControl* control) {
  if (FParent) FParent->HintChanged(control);
}

void TControl::RestoreFocus() {
  if (FParent) FParent->RestoreFocus();
}

bool TControl::DialogKey(WORD key, TShiftState shift) {
  for (TControl* c : FChildren)
    if (c->FVisible && c->FEnabled && c->DialogKey(key, shift)) return true;
  return false;
}

void TControl::RecreateWnd() {
  if (!FHandle) return;
  const bool focused = Focused();
  DestroyHandle();
  CreateHandle();
  if (FParent) {
    FParent->ApplyTabOrder();
    if (FAlign != alNone) FParent->Realign();
  }
  if (focused) SetFocus();
}

TFontDesc TControl::Font() const {
  if (FFont) return *FFont;
  if (FParent) return FParent->Font();
  return TFontDesc{};
}

void TControl::SetFont(const TFontDesc& font) {
  FFont = font;
  ApplyFont(true);
}

bool TControl::GetFontProperty(std::wstring_view name, TFontDesc& font) const {
  if (name != L"Font") return false;
  font = Font();
  return true;
}

bool TControl::SetFontProperty(std::wstring_view name, const TFontDesc& font) {
  if (name != L"Font") return false;
  SetFont(font);
  return true;
}

void TControl::SetParentFont(bool value) {
  if (value == !FFont.has_value()) return;
  if (value)
    FFont.reset();
  else
    FFont = Font();
  ApplyFont(true);
}

void TControl::ApplyFont(bool recurse) {
  if (!FHandle) return;
  FFontHandle = SharedFont(Font(), FDpi);
  ::SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFontHandle->Get()), TRUE);
  FontChanged();
  if (recurse)
    for (TControl* c : FChildren)
      if (!c->FFont) c->ApplyFont(true);
}

TColor TControl::Color() const {
  if (FParentColor && FParent) return FParent->Color();
  return FColor;
}

void TControl::SetColor(TColor color) {
  FColor = color;
  FParentColor = false;
  ParentColorChanged();
}

void TControl::SetParentColor(bool value) {
  FParentColor = value;
  ParentColorChanged();
}

void TControl::ParentColorChanged() {
  Invalidate();
  for (TControl* c : FChildren)
    if (c->FParentColor) c->ParentColorChanged();
}

int TControl::TabOrder() const noexcept { return FTabOrder; }

void TControl::SetTabOrder(int order) {
  if (!FParent) return;
  auto& siblings = FParent->FChildren;
  const int count = static_cast<int>(siblings.size());
  order = std::clamp(order, 0, count - 1);
  const int old = FTabOrder;
  for (TControl* c : siblings) {
    if (c == this) continue;
    if (old < order && c->FTabOrder > old && c->FTabOrder <= order) --c->FTabOrder;
    if (order < old && c->FTabOrder >= order && c->FTabOrder < old) ++c->FTabOrder;
  }
  FTabOrder = order;
  FParent->ApplyTabOrder();
}

void TControl::ApplyTabOrder() {
  // The dialog manager walks the children in Z order: put them in tab order.
  std::vector<TControl*> ordered(FChildren);
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const TControl* a, const TControl* b) { return a->FTabOrder < b->FTabOrder; });
  // Windows made in tab order are in it already (a new child goes below its siblings).
  HWND after = nullptr;
  for (TControl* c : ordered) {
    if (!c->FHandle) continue;
    if (::GetWindow(c->FHandle, GW_HWNDPREV) != after)
      ::SetWindowPos(c->FHandle, after ? after : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    after = c->FHandle;
  }
}

void TControl::SetTabStop(bool value) {
  FTabStop = value;
  if (!FHandle) return;
  LONG_PTR style = ::GetWindowLongPtrW(FHandle, GWL_STYLE);
  style = value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
  ::SetWindowLongPtrW(FHandle, GWL_STYLE, style);
}

bool TControl::Focused() const noexcept { return FHandle && ::GetFocus() == FHandle; }

bool TControl::CanFocus() const noexcept {
  if (!FHandle) return false;
  for (const TControl* c = this; c; c = c->FParent)
    if (!c->FVisible || !c->FEnabled) return false;
  return true;
}

void TControl::SetFocus() {
  if (FHandle) ::SetFocus(FHandle);
}

void TControl::Invalidate() {
  if (FHandle) ::InvalidateRect(FHandle, nullptr, TRUE);
}

void TControl::Update() {
  if (FHandle) ::UpdateWindow(FHandle);
}

void TControl::ApplyDpi(int dpi) {
  FDpi = dpi;
  ApplyFont(false);
  for (TControl* c : FChildren) {
    c->ApplyDpi(dpi);
    if (c->FAlign == alNone) c->UpdateDeviceBounds();
  }
  if (!FChildren.empty()) Realign();
}
