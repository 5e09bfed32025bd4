#include "toolkit/Forms.h"

#include "base/Exception.h"
#include "base/Misc.h"

#include <algorithm>
#include <commctrl.h>

namespace {

constexpr int kSnapDistance = 10;  // design pixels

bool IsKeyMessage(UINT msg) {
  return msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN || msg == WM_KEYUP || msg == WM_SYSKEYUP || msg == WM_CHAR;
}

}  // namespace

TApplication& Application() {
  static TApplication application;
  return application;
}

TForm* GetParentForm(const TControl* control) noexcept {
  return control ? dynamic_cast<TForm*>(control->TopLevel()) : nullptr;
}

// ---- TForm ----

TForm::TForm(TComponent* owner) : TControl(owner) {
  SetVisibleFlag(false);
  SetColor(clBtnFace);
  Application().AddForm(this);
}

TForm::~TForm() {
  // The controls go while the form is still a form (they may call back into it).
  DestroyComponents();
  Application().RemoveForm(this);
}

void TForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

HWND TForm::PopupParent() const {
  if (FPopupParent) return FPopupParent;
  if (auto* control = dynamic_cast<TControl*>(Owner())) {
    TControl* top = control->TopLevel();
    if (top != this && top->HandleAllocated()) return top->Handle();
  }
  return nullptr;
}

DWORD TForm::WindowStyle() const {
  DWORD style = WS_CLIPCHILDREN;
  switch (FBorderStyle) {
    case bsNone:
      style |= WS_POPUP;
      break;
    case bsSingle:
      style |= WS_OVERLAPPED | WS_CAPTION;
      break;
    case bsSizeable:
      style |= WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME;
      break;
    case bsDialog:
    case bsToolWindow:
      style |= WS_POPUP | WS_CAPTION;
      break;
    case bsSizeToolWin:
      style |= WS_POPUP | WS_CAPTION | WS_THICKFRAME;
      break;
  }
  if (FBorderStyle != bsNone && FBorderIcons.Contains(biSystemMenu)) style |= WS_SYSMENU;
  if (FBorderStyle == bsSingle || FBorderStyle == bsSizeable) {
    if (FBorderIcons.Contains(biMinimize)) style |= WS_MINIMIZEBOX;
    if (FBorderIcons.Contains(biMaximize)) style |= WS_MAXIMIZEBOX;
  }
  return style;
}

DWORD TForm::WindowExStyle() const {
  DWORD exStyle = WS_EX_CONTROLPARENT;
  if (FBorderStyle == bsDialog) exStyle |= WS_EX_DLGMODALFRAME;
  if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) exStyle |= WS_EX_TOOLWINDOW;
  if (FFormStyle == fsStayOnTop) exStyle |= WS_EX_TOPMOST;
  if (FNoActivate) exStyle |= WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;
  if (Application().MainForm() == this && Application().MainFormOnTaskBar()) exStyle |= WS_EX_APPWINDOW;
  return exStyle;
}

void TForm::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  params.ClassName = L"TavrinoForm";
  params.OwnClass = true;
  params.ClassStyle = CS_DBLCLKS;
  params.Background = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  params.Style |= WindowStyle();
  params.ExStyle |= WindowExStyle();
  params.WndParent = PopupParent();
  // Popups take no default size: the size always comes from the client size.
  RECT r{0, 0, Scale(FClientWidth), Scale(FClientHeight)};
  ::AdjustWindowRectExForDpi(&r, params.Style, FALSE, params.ExStyle, static_cast<UINT>(Dpi()));
  params.Width = r.right - r.left;
  params.Height = r.bottom - r.top;
  if (FPosition == poDesigned) {
    params.X = Left();
    params.Y = Top();
  } else {
    params.X = (params.Style & WS_POPUP) ? 0 : CW_USEDEFAULT;
    params.Y = (params.Style & WS_POPUP) ? 0 : CW_USEDEFAULT;
  }
}

void TForm::CreateWnd() {
  TControl::CreateWnd();
  ApplyClientSize();  // the window's own DPI may differ from the one it was made for
}

void TForm::ApplyWindowStyle() {
  if (!HandleAllocated()) return;
  HWND wnd = Handle();
  const int clientWidth = ClientWidth(), clientHeight = ClientHeight();
  ::SetWindowLongPtrW(wnd, GWL_STYLE,
                      static_cast<LONG_PTR>(WindowStyle() | (::GetWindowLongPtrW(wnd, GWL_STYLE) &
                                                             (WS_VISIBLE | WS_DISABLED | WS_MINIMIZE | WS_MAXIMIZE))));
  ::SetWindowLongPtrW(wnd, GWL_EXSTYLE, static_cast<LONG_PTR>(WindowExStyle()));
  ::SetWindowPos(wnd, FFormStyle == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  // The frame changed: keep the client area as it was.
  FClientWidth = clientWidth;
  FClientHeight = clientHeight;
  ApplyClientSize();
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
  FBorderStyle = style;
  ApplyWindowStyle();
}

void TForm::SetBorderIcons(TBorderIcons icons) {
  FBorderIcons = icons;
  ApplyWindowStyle();
}

bool TForm::HasCloseBox() const noexcept { return FBorderStyle != bsNone && FBorderIcons.Contains(biSystemMenu); }

void TForm::SetFormStyle(TFormStyle style) {
  FFormStyle = style;
  ApplyWindowStyle();
}

void TForm::SetClientSize(int width, int height) {
  FClientWidth = width;
  FClientHeight = height;
  ApplyClientSize();
}

int TForm::ClientWidth() const { return HandleAllocated() ? TControl::ClientWidth() : FClientWidth; }
int TForm::ClientHeight() const { return HandleAllocated() ? TControl::ClientHeight() : FClientHeight; }

SIZE TForm::FrameSize() const {
  RECT window{}, client{};
  ::GetWindowRect(Handle(), &window);
  ::GetClientRect(Handle(), &client);
  return {(window.right - window.left) - client.right, (window.bottom - window.top) - client.bottom};
}

void TForm::ApplyClientSize() {
  if (!HandleAllocated()) return;
  // The frame as it is now (title, borders, menu at the window's DPI) plus the wanted client area.
  const SIZE frame = FrameSize();
  const int width = Scale(FClientWidth) + frame.cx, height = Scale(FClientHeight) + frame.cy;
  // Mostly the window has that size already (it was made with it): no move for nothing.
  RECT now;
  ::GetWindowRect(Handle(), &now);
  if (now.right - now.left == width && now.bottom - now.top == height) return;
  ::SetWindowPos(Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetMinClientSize(int width, int height) noexcept {
  FMinClientWidth = width;
  FMinClientHeight = height;
}

SIZE TForm::MinWindowSize() const {
  if (!HandleAllocated()) return {0, 0};
  const SIZE frame = FrameSize();
  return {FMinClientWidth > 0 ? Scale(FMinClientWidth) + frame.cx : 0,
          FMinClientHeight > 0 ? Scale(FMinClientHeight) + frame.cy : 0};
}

RECT TForm::WindowRect() const {
  RECT r{};
  if (HandleAllocated()) ::GetWindowRect(Handle(), &r);
  return r;
}

void TForm::SetWindowPosition(int left, int top) {
  HandleNeeded();
  ::SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetWindowBounds(const RECT& bounds) {
  HandleNeeded();
  ::SetWindowPos(Handle(), nullptr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

TWindowState TForm::WindowState() const {
  if (!HandleAllocated() || !::IsWindowVisible(Handle())) return FWindowState;
  return ::IsIconic(Handle()) ? wsMinimized : ::IsZoomed(Handle()) ? wsMaximized : wsNormal;
}

void TForm::SetWindowState(TWindowState state) {
  FWindowState = state;
  // Before the window is on screen (also while OnShow runs) the state waits for the show.
  if (HandleAllocated() && ::IsWindowVisible(Handle()))
    ::ShowWindow(Handle(), state == wsMaximized ? SW_MAXIMIZE : state == wsMinimized ? SW_MINIMIZE : SW_RESTORE);
}

void TForm::ReadDeviceBounds() {
  if (!HandleAllocated()) return;
  RECT r = WindowRect();
  StoreBounds({r.left, r.top, Unscale(r.right - r.left), Unscale(r.bottom - r.top)});
}

void TForm::CenterOnScreen() {
  HandleNeeded();
  const TMonitor monitor = Screen().MonitorFromWindow(Handle());
  RECT w = WindowRect();
  const RECT& work = monitor.WorkArea;
  SetWindowPosition(work.left + ((work.right - work.left) - (w.right - w.left)) / 2,
                    work.top + ((work.bottom - work.top) - (w.bottom - w.top)) / 2);
}

void TForm::CenterOnWindow(HWND other) {
  RECT o;
  if (!other || !::GetWindowRect(other, &o)) return CenterOnScreen();
  HandleNeeded();
  RECT w = WindowRect();
  SetWindowPosition(o.left + ((o.right - o.left) - (w.right - w.left)) / 2,
                    o.top + ((o.bottom - o.top) - (w.bottom - w.top)) / 2);
}

void TForm::ApplyPosition() {
  switch (FPosition) {
    case poScreenCenter:
      CenterOnScreen();
      break;
    case poOwnerFormCenter:
      CenterOnWindow(PopupParent());
      break;
    case poMainFormCenter: {
      TForm* main = Application().MainForm();
      CenterOnWindow(main && main != this && main->HandleAllocated() ? main->Handle() : nullptr);
      break;
    }
    default:
      break;
  }
}

void TForm::BringToFront() {
  if (HandleAllocated())
    ::SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | (FNoActivate ? SWP_NOACTIVATE : 0));
}

void TForm::SetActiveControl(TControl* control) {
  FActiveControl = control;
  if (control && FShowing && control->CanFocus()) control->SetFocus();
}

void TForm::Show() {
  if (FShowing) return;
  HandleNeeded();
  FShowing = true;
  FClosing = false;
  if (OnShow) OnShow(this);
  if (!FShowing) return;  // OnShow closed the window
  if (!FShownOnce) {
    ApplyPosition();
    FShownOnce = true;
  }
  SetVisibleFlag(true);
  int show = FNoActivate ? SW_SHOWNOACTIVATE : SW_SHOW;
  if (FWindowState == wsMaximized) show = SW_SHOWMAXIMIZED;
  if (FWindowState == wsMinimized) show = SW_SHOWMINIMIZED;
  ::ShowWindow(Handle(), show);
  if (!FNoActivate && FActiveControl && FActiveControl->CanFocus()) FActiveControl->SetFocus();
  ::UpdateWindow(Handle());
}

void TForm::Hide() {
  if (!FShowing) return;
  FShowing = false;
  SetVisibleFlag(false);
  ::ShowWindow(Handle(), SW_HIDE);
  if (OnHide) OnHide(this);
}

void TForm::SetVisible(bool visible) { visible ? Show() : Hide(); }

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::Close() {
  if (FClosing) return;
  if (!CloseQuery()) {
    if (FInModal) FModalResult = mrNone;
    return;
  }
  TCloseAction action = caHide;
  if (OnClose) OnClose(this, action);
  if (action == caNone) {
    if (FInModal) FModalResult = mrNone;
    return;
  }
  if (action == caMinimize) {
    ::ShowWindow(Handle(), SW_MINIMIZE);
    return;
  }
  FClosing = true;
  if (FInModal && FModalResult == mrNone) FModalResult = mrCancel;
  Hide();
  if (Application().MainForm() == this) Application().Terminate();
}

void TForm::CloseModalWithResult() {
  // A button set the result: the form may still refuse to close.
  const int result = FModalResult;
  Close();
  if (FShowing)
    FModalResult = mrNone;
  else
    FModalResult = result;
}

int TForm::ShowModal() {
  HandleNeeded();
  // Every other enabled window of the thread is disabled while the form is up.
  std::vector<HWND> disabled;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND wnd, LPARAM param) noexcept -> BOOL {
        auto* list = reinterpret_cast<std::vector<HWND>*>(param);
        try {
          if (::IsWindowVisible(wnd) && ::IsWindowEnabled(wnd)) list->push_back(wnd);
        } catch (...) {
          return FALSE;  // out of memory: the windows found so far are disabled
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&disabled));
  std::erase(disabled, Handle());
  HWND active = ::GetActiveWindow();
  for (HWND wnd : disabled) ::EnableWindow(wnd, FALSE);
  auto restoreOthers = [&] {
    FInModal = false;
    // The others first, so that the activation goes back to them and not to another program.
    for (HWND wnd : disabled) ::EnableWindow(wnd, TRUE);
    Hide();
    if (active && ::IsWindow(active) && active != Handle()) ::SetActiveWindow(active);
  };

  FInModal = true;
  FModalResult = mrNone;
  FClosing = false;
  bool quit = false;
  try {
    Show();
    if (!FNoActivate) ::SetForegroundWindow(Handle());
    while (FShowing) {
      if (FModalResult != mrNone) {
        CloseModalWithResult();
        continue;
      }
      if (!Application().HandleMessage()) {
        quit = true;  // WM_QUIT: end the modal loop and let the outer loop see it again
        break;
      }
    }
  } catch (...) {
    restoreOthers();
    throw;
  }
  restoreOthers();
  if (quit) ::PostQuitMessage(0);
  if (FModalResult == mrNone) FModalResult = mrCancel;
  return FModalResult;
}

void TForm::SetShowHint(bool show) {
  FShowHint = show;
  if (FTooltip) ::SendMessageW(FTooltip.Get(), TTM_ACTIVATE, show, 0);
}

void TForm::HintChanged(TControl* control) {
  if (!control->HandleAllocated() || control == this) return;
  HWND wnd = control->Handle();
  KeepHint(THint{wnd, reinterpret_cast<UINT_PTR>(wnd), std::nullopt, control->Hint()});
}

void TForm::AreaHintChanged(HWND wnd, UINT_PTR id, const RECT& area, const std::wstring& hint) {
  KeepHint(THint{wnd, id, area, hint});
}

void TForm::KeepHint(THint hint) {
  auto same = [&](const THint& h) { return h.Wnd == hint.Wnd && h.Id == hint.Id; };
  const auto known = std::find_if(FHints.begin(), FHints.end(), same);
  if (known != FHints.end()) {
    if (FTooltip) SendTool(*known, false);
    FHints.erase(known);
  }
  if (hint.Text.empty()) return;
  if (FTooltip) SendTool(hint, true);
  FHints.push_back(std::move(hint));
}

void TForm::SendTool(const THint& hint, bool add) {
  TOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  if (hint.Area) {
    ti.hwnd = hint.Wnd;
    ti.rect = *hint.Area;
  } else {
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = Handle();
  }
  ti.uId = hint.Id;
  std::wstring text = hint.Text;
  ti.lpszText = text.data();
  ::SendMessageW(FTooltip.Get(), add ? TTM_ADDTOOLW : TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void TForm::RelayToHints(const MSG& message) {
  // The windows relay their mouse messages themselves (instead of the tooltip subclassing
  // them): an area's hint and a window's hint then work alike, and nothing is subclassed
  // twice or taken away while another hint of the window still needs it.
  const bool hinted = std::any_of(FHints.begin(), FHints.end(), [&](const THint& h) { return h.Wnd == message.hwnd; });
  if (!hinted || !HandleAllocated()) return;
  if (!FTooltip) {
    LoadCommonControls();
    FTooltip.Reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr));
    if (!FTooltip) return;
    ::SendMessageW(FTooltip.Get(), TTM_ACTIVATE, FShowHint, 0);
    for (const THint& hint : FHints) SendTool(hint, true);
  }
  MSG relayed = message;
  ::SendMessageW(FTooltip.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void TForm::RestoreFocus() {
  if (!HandleAllocated()) return;
  HWND wnd = Handle();
  HWND target = FLastFocus;
  auto usable = [wnd](HWND w) { return w && ::IsChild(wnd, w) && ::IsWindowVisible(w) && ::IsWindowEnabled(w); };
  if (!usable(target)) target = FActiveControl && FActiveControl->CanFocus() ? FActiveControl->Handle() : nullptr;
  if (!usable(target)) target = ::GetNextDlgTabItem(wnd, nullptr, FALSE);
  if (target && target != wnd) ::SetFocus(target);
}

void TForm::SnapToWorkArea(RECT& rect) const {
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  ::GetMonitorInfoW(::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &mi);
  const RECT& work = mi.rcWork;
  int distance = Scale(kSnapDistance);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (std::abs(rect.left - work.left) < distance)
    rect.left = work.left;
  else if (std::abs(work.right - rect.right) < distance)
    rect.left = work.right - width;
  if (std::abs(rect.top - work.top) < distance)
    rect.top = work.top;
  else if (std::abs(work.bottom - rect.bottom) < distance)
    rect.top = work.bottom - height;
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;
}

TControl* TForm::FindControlById(int id) const {
  std::vector<const TControl*> pending{this};
  while (!pending.empty()) {
    const TControl* c = pending.back();
    pending.pop_back();
    for (TControl* child : c->Children()) {
      if (child->ControlId() == id) return child;
      pending.push_back(child);
    }
  }
  return nullptr;
}

void TForm::UpdateDefaultButton() {
  if (!HandleAllocated()) return;
  const TControl* marked = FocusedButton();
  if (!marked && FDefaultControl && FDefaultControl->CanFocus()) marked = FDefaultControl;
  std::vector<const TControl*> pending{this};
  while (!pending.empty()) {
    const TControl* parent = pending.back();
    pending.pop_back();
    for (TControl* child : parent->Children()) {
      pending.push_back(child);
      if (!child->HandleAllocated()) continue;
      const LRESULT code = ::SendMessageW(child->Handle(), WM_GETDLGCODE, 0, 0);
      if (!(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) continue;
      const bool isDefault = (code & DLGC_DEFPUSHBUTTON) != 0;
      if (isDefault != (child == marked))
        ::SendMessageW(child->Handle(), BM_SETSTYLE, child == marked ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
  }
}

TControl* TForm::FocusedButton() const {
  HWND focus = ::GetFocus();
  if (!focus || !::IsChild(Handle(), focus)) return nullptr;
  const LRESULT code = ::SendMessageW(focus, WM_GETDLGCODE, 0, 0);
  return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) ? FromHandle(focus) : nullptr;
}

void TForm::Paint(TCanvas& canvas) {
  if (OnPaint) OnPaint(this, canvas);
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE:
      // The user closing a modal window answers it with Cancel; without a close box there is
      // no such answer, and the form decides alone.
      if (FInModal && FModalResult == mrNone && HasCloseBox()) FModalResult = mrCancel;
      Close();
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE && !HasCloseBox()) return 0;  // Alt+F4 without a close box
      break;
    case DM_GETDEFID: {
      // Enter presses the focused push button, else the default button.
      TControl* button = FocusedButton();
      if (!button && FDefaultControl && FDefaultControl->CanFocus()) button = FDefaultControl;
      return button ? MAKELRESULT(button->ControlId(), DC_HASDEFID) : 0;
    }
    case WM_COMMAND:
      // Commands of the dialog manager (Enter, Esc) that no child of ours sent itself.
      if (!lParam || !FromHandle(reinterpret_cast<HWND>(lParam))) {
        const int id = LOWORD(wParam);
        TControl* target = id == IDCANCEL ? FCancelControl : FindControlById(id);
        if (target && target->CanFocus()) target->Click();
        return 0;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(Handle(), focus)) FLastFocus = focus;
      } else if (OnActivate) {
        OnActivate(this);
      }
      break;  // activation focuses the form itself, and WM_SETFOCUS passes the focus on
    case WM_MOUSEACTIVATE:
      if (FNoActivate) return MA_NOACTIVATE;
      break;
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_DPICHANGED: {
      // The client area keeps its design size at the new DPI.
      const int clientWidth = ClientWidth(), clientHeight = ClientHeight();
      ApplyDpi(HIWORD(wParam));
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      ::SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      SetClientSize(clientWidth, clientHeight);
      return 0;
    }
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      const SIZE least = MinWindowSize();
      info->ptMinTrackSize.x = std::max(info->ptMinTrackSize.x, least.cx);
      info->ptMinTrackSize.y = std::max(info->ptMinTrackSize.y, least.cy);
      break;
    }
    case WM_MOVING:
      if (FScreenSnap) {
        SnapToWorkArea(*reinterpret_cast<RECT*>(lParam));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return TControl::WndProc(msg, wParam, lParam);
}

// ---- TApplication ----

TApplication::TApplication() {
  SetControlExceptionProc([](const std::exception& e) { Application().HandleException(e); });
}

void TApplication::Initialize() {
  FTerminated = false;
  if (!FHandle) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TavrinoApplication";
    ::RegisterClassExW(&wc);
    FHandle = ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, FTitle.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, wc.hInstance, nullptr);
  }
}

void TApplication::SetTitle(const std::wstring& title) {
  FTitle = title;
  if (FHandle) ::SetWindowTextW(FHandle, FTitle.c_str());
}

void TApplication::AddForm(TForm* form) {
  FForms.push_back(form);
}

void TApplication::RemoveForm(TForm* form) noexcept {
  std::erase(FForms, form);
  if (FMainForm == form) FMainForm = nullptr;
}

void TApplication::Run() {
  if (FMainForm && !FMainForm->IsShowing() && !FTerminated) FMainForm->Show();
  while (!FTerminated && HandleMessage()) {
  }
}

void TApplication::Terminate() {
  if (FTerminated) return;
  FTerminated = true;
  ::PostQuitMessage(0);
}

bool TApplication::PreviewKey(MSG& msg) {
  if (!IsKeyMessage(msg.message)) return false;
  TControl* target = nullptr;
  for (HWND wnd = msg.hwnd; wnd && !target; wnd = ::GetParent(wnd)) target = TControl::FromHandle(wnd);
  TForm* form = GetParentForm(target);
  if (!form || form == target || !form->KeyPreview()) return false;
  if (msg.message == WM_CHAR) {
    auto key = static_cast<wchar_t>(msg.wParam);
    form->DoKeyPress(key);
    if (key == 0) return true;
    msg.wParam = key;
    return false;
  }
  auto key = static_cast<unsigned short>(msg.wParam);
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)
    form->DoKeyDown(key, TControl::KeyShiftState());
  else
    form->DoKeyUp(key, TControl::KeyShiftState());
  if (key == 0) return true;
  msg.wParam = key;
  return false;
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    return false;
  }
  bool handled = false;
  GuardCallback([&] { handled = PreviewKey(msg); });
  if (handled) return true;
  HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  auto* form = dynamic_cast<TForm*>(TControl::FromHandle(root));
  // A key may have moved the focus onto a push button or away from one: the default button's
  // border follows. (The dialog manager moves it onto the buttons the Tab key visits, and Wine's
  // does not give it back to the default button when the focus leaves them.)
  auto updateDefaultButton = [root] {
    if (auto* still = dynamic_cast<TForm*>(TControl::FromHandle(root)))
      GuardCallback([still] { still->UpdateDefaultButton(); });
  };
  // Keys that controls take before the dialog manager (Ctrl+Tab in page controls).
  if (form && (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)) {
    GuardCallback([&] { handled = form->DialogKey(static_cast<WORD>(msg.wParam), TControl::KeyShiftState()); });
    if (handled) {
      updateDefaultButton();
      return true;
    }
  }
  // Dialog keys (Tab, Enter, Esc, access keys) for the forms that want them.
  if (form && form->DialogKeys() && ::IsDialogMessageW(root, &msg)) {
    if (msg.message == WM_KEYDOWN) updateDefaultButton();
    return true;
  }
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!ProcessMessage(msg)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
  }
}

bool TApplication::HandleMessage() {
  MSG msg;
  BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
  if (got == 0 || got == -1) {
    FTerminated = true;
    return false;
  }
  return ProcessMessage(msg);
}

void TApplication::HandleException(const std::exception& e) {
  if (FExceptionHandler) return FExceptionHandler(e);
  static bool showing = false;
  if (showing) return;  // one message at a time; the others would only repeat it
  showing = true;
  try {
    HWND owner = FMainForm && FMainForm->HandleAllocated() ? FMainForm->Handle() : nullptr;
    MsgBox(ExceptionMessage(e), MB_OK | MB_ICONSTOP, owner);
  } catch (...) {
    // Nothing is left to show it with.
  }
  showing = false;
}
