#include "toolkit/Forms.h"

#include "base/Exception.h"
#include "base/Misc.h"

#include <commctrl.h>
#include <vector>

namespace {

constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr int kSnapDistance = 10;  // design pixels

}  // namespace

TApplication& Application() {
  static TApplication application;
  return application;
}

// ---- TForm ----

TForm::TForm(int clientWidth, int clientHeight, HWND owner)
    : TControl(nullptr), FClientWidth(clientWidth), FClientHeight(clientHeight) {
  SetVisible(false);
  HBRUSH background = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  CreateHandle(RegisterOwnClass(L"TavrinoForm", CS_DBLCLKS, background), kFormStyle, WS_EX_CONTROLPARENT, L"",
               owner);
  FTooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
  ApplyClientSize();
  if (!Application().MainForm()) Application().SetMainForm(this);
}

TForm::~TForm() {
  if (Application().MainForm() == this) Application().SetMainForm(nullptr);
}

void TForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TForm::SetClientSize(int width, int height) {
  FClientWidth = width;
  FClientHeight = height;
  ApplyClientSize();
}

void TForm::ApplyClientSize() {
  if (!Handle()) return;
  RECT r{0, 0, Scale(FClientWidth), Scale(FClientHeight)};
  DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_STYLE));
  DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_EXSTYLE));
  ::AdjustWindowRectExForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(Dpi()));
  ::SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::CenterOnScreen() {
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  ::GetMonitorInfoW(::MonitorFromWindow(Handle(), MONITOR_DEFAULTTOPRIMARY), &mi);
  RECT w;
  ::GetWindowRect(Handle(), &w);
  int x = mi.rcWork.left + ((mi.rcWork.right - mi.rcWork.left) - (w.right - w.left)) / 2;
  int y = mi.rcWork.top + ((mi.rcWork.bottom - mi.rcWork.top) - (w.bottom - w.top)) / 2;
  ::SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::CenterOnWindow(HWND other) {
  RECT o, w;
  if (!other || !::GetWindowRect(other, &o)) return CenterOnScreen();
  ::GetWindowRect(Handle(), &w);
  int x = o.left + ((o.right - o.left) - (w.right - w.left)) / 2;
  int y = o.top + ((o.bottom - o.top) - (w.bottom - w.top)) / 2;
  ::SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::Show() {
  if (FShowing) return;
  FShowing = true;
  FClosing = false;
  if (OnShow) OnShow(this);
  if (!FShowing) return;  // OnShow closed the window
  ::ShowWindow(Handle(), SW_SHOW);
  ::UpdateWindow(Handle());
}

void TForm::Hide() {
  if (!FShowing) return;
  FShowing = false;
  ::ShowWindow(Handle(), SW_HIDE);
  if (OnHide) OnHide(this);
}

void TForm::SetVisible(bool visible) {
  if (!Handle()) return TControl::SetVisible(visible);
  visible ? Show() : Hide();
}

void TForm::Close() {
  if (FClosing) return;
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  if (!canClose) {
    if (FInModal) FModalResult = mrNone;
    return;
  }
  TCloseAction action = caHide;
  if (OnClose) OnClose(this, action);
  if (action == caNone) return;
  FClosing = true;
  if (FInModal && FModalResult == mrNone) FModalResult = mrCancel;
  if (action == caMinimize) {
    ::ShowWindow(Handle(), SW_MINIMIZE);
    FClosing = false;
    return;
  }
  Hide();
  if (Application().MainForm() == this) Application().Terminate();
}

int TForm::ShowModal() {
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
  HWND active = ::GetActiveWindow();
  for (HWND wnd : disabled)
    if (wnd != Handle()) ::EnableWindow(wnd, FALSE);

  FInModal = true;
  FModalResult = mrNone;
  bool quit = false;
  try {
    Show();
    ::SetForegroundWindow(Handle());
    while (FModalResult == mrNone && FShowing) {
      if (!Application().HandleMessage()) {
        quit = true;  // WM_QUIT: end the modal loop and let the outer loop see it again
        break;
      }
      if (FModalResult != mrNone && !FClosing) {
        // A button set the result: the window may still refuse to close.
        int result = FModalResult;
        Close();
        if (FModalResult != mrNone) FModalResult = result;
      }
    }
  } catch (...) {
    FInModal = false;
    for (HWND wnd : disabled) ::EnableWindow(wnd, TRUE);
    throw;
  }
  FInModal = false;
  for (HWND wnd : disabled) ::EnableWindow(wnd, TRUE);
  Hide();
  if (active && ::IsWindow(active)) ::SetActiveWindow(active);
  if (quit) ::PostQuitMessage(0);
  if (FModalResult == mrNone) FModalResult = mrCancel;
  return FModalResult;
}

void TForm::SetShowHint(bool show) {
  FShowHint = show;
  if (FTooltip) ::SendMessageW(FTooltip, TTM_ACTIVATE, show, 0);
}

void TForm::UpdateHint(TControl* control) {
  if (!FTooltip || !control->Handle()) return;
  TOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = Handle();
  ti.uId = reinterpret_cast<UINT_PTR>(control->Handle());
  std::wstring hint = control->Hint();
  ti.lpszText = hint.data();
  ::SendMessageW(FTooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  if (!hint.empty()) ::SendMessageW(FTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void TForm::RestoreFocus() {
  HWND target = FLastFocus;
  if (!target || !::IsChild(Handle(), target) || !::IsWindowVisible(target) || !::IsWindowEnabled(target))
    target = ::GetNextDlgTabItem(Handle(), nullptr, FALSE);
  if (target && target != Handle()) ::SetFocus(target);
}

void TForm::SnapToWorkArea(RECT& rect) const {
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  ::GetMonitorInfoW(::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &mi);
  const RECT& work = mi.rcWork;
  int distance = Scale(kSnapDistance);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (std::abs(rect.left - work.left) < distance) rect.left = work.left;
  else if (std::abs(work.right - rect.right) < distance) rect.left = work.right - width;
  if (std::abs(rect.top - work.top) < distance) rect.top = work.top;
  else if (std::abs(work.bottom - rect.bottom) < distance) rect.top = work.bottom - height;
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE:
      if (FInModal && FModalResult == mrNone) FModalResult = mrCancel;
      Close();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(Handle(), focus)) FLastFocus = focus;
      }
      break;  // activation focuses the form itself, and WM_SETFOCUS passes the focus on
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_DPICHANGED: {
      ApplyDpi(HIWORD(wParam));
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      ::SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
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

void TApplication::Initialize() {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES |
                                            ICC_DATE_CLASSES | ICC_TAB_CLASSES | ICC_LINK_CLASS};
  ::InitCommonControlsEx(&icc);
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

void TApplication::Run() {
  if (FMainForm && !FMainForm->Showing() && !FTerminated) FMainForm->Show();
  while (!FTerminated && HandleMessage()) {
  }
}

void TApplication::Terminate() {
  if (FTerminated) return;
  FTerminated = true;
  ::PostQuitMessage(0);
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    return false;
  }
  // Dialog keys (Tab, Enter, Esc) for modal forms.
  HWND active = ::GetActiveWindow();
  if (TForm* form = dynamic_cast<TForm*>(TControl::FromHandle(active));
      form && form != FMainForm && ::IsDialogMessageW(active, &msg))
    return true;
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
    HWND owner = FMainForm ? FMainForm->Handle() : nullptr;
    MsgBox(ExceptionMessage(e), MB_OK | MB_ICONSTOP, owner);
  } catch (...) {
    // Nothing is left to show it with.
  }
  showing = false;
}
