#include "toolkit/ExtCtrls.h"

#include "base/Exception.h"

#include <set>

// ---- TPanel ----

TPanel::TPanel(TComponent* owner) : TControl(owner) {
  SetParentColor(true);
  SetBounds(0, 0, 185, 41);
}

void TPanel::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  params.ClassName = L"TavrinoPanel";
  params.OwnClass = true;
  params.ClassStyle = CS_HREDRAW | CS_VREDRAW;
  params.Style |= WS_CLIPCHILDREN;
  params.ExStyle |= WS_EX_CONTROLPARENT;
}

// ---- TTimer ----

namespace {

// All timers share one hidden message window; the timer id is the object's address, checked
// against the live timers because a WM_TIMER may still be queued for a timer just destroyed.
std::set<TTimer*>& LiveTimers() {
  static std::set<TTimer*> timers;
  return timers;
}

LRESULT CALLBACK TimerWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  if (msg == WM_TIMER) {
    auto* timer = reinterpret_cast<TTimer*>(wParam);
    if (LiveTimers().count(timer)) timer->Tick();
    return 0;
  }
  return ::DefWindowProcW(wnd, msg, wParam, lParam);
}

HWND TimerWindow() {
  static HWND wnd = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = TimerWindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TavrinoTimerWindow";
    ::RegisterClassExW(&wc);
    HWND w = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (!w) RaiseLastOSError(L"CreateWindowEx TavrinoTimerWindow");
    return w;
  }();
  return wnd;
}

}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  LiveTimers().insert(this);
  Update();
}

TTimer::~TTimer() {
  LiveTimers().erase(this);
  ::KillTimer(TimerWindow(), reinterpret_cast<UINT_PTR>(this));
}

void TTimer::SetInterval(unsigned milliseconds) {
  if (milliseconds == FInterval) return;
  FInterval = milliseconds;
  Update();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  Update();
}

void TTimer::Update() {
  HWND wnd = TimerWindow();
  auto id = reinterpret_cast<UINT_PTR>(this);
  ::KillTimer(wnd, id);
  if (FEnabled && FInterval > 0) ::SetTimer(wnd, id, FInterval, nullptr);
}

void TTimer::Tick() noexcept {
  // A handler that opens a modal window keeps the message loop running; its own ticks must
  // not run it again before it has returned.
  if (FInTick || !OnTimer) return;
  FInTick = true;
  GuardCallback([this] { OnTimer(this); });
  // The handler may have destroyed its own timer.
  if (LiveTimers().count(this)) FInTick = false;
}

// ---- TPaintBox ----

TPaintBox::TPaintBox(TComponent* owner) : TControl(owner) {
  SetParentColor(true);
  SetBounds(0, 0, 105, 105);
}

void TPaintBox::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  params.ClassName = L"TavrinoPaintBox";
  params.OwnClass = true;
  params.ClassStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
}

void TPaintBox::Paint(TCanvas& canvas) {
  if (OnPaint) OnPaint(this, canvas);
}

// ---- TImage ----

TImage::TImage(TComponent* owner) : TControl(owner) {
  SetParentColor(true);
  SetBounds(0, 0, 105, 105);
}

void TImage::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  params.ClassName = L"TavrinoImage";
  params.OwnClass = true;
  params.ClassStyle = CS_HREDRAW | CS_VREDRAW;
}

void TImage::CreateWnd() {
  TControl::CreateWnd();
  ApplyDpi(Dpi());
}

void TImage::LoadIcon(int resourceId, int designSize) {
  FPicture.LoadResource(resourceId, designSize, Dpi());
  AdjustSize();
  Invalidate();
}

void TImage::LoadSystemIcon(LPCWSTR systemId) {
  FPicture.LoadSystem(systemId, Dpi());
  AdjustSize();
  Invalidate();
}

void TImage::ClearPicture() {
  FPicture.Clear();
  Invalidate();
}

void TImage::SetAutoSize(bool value) {
  FAutoSize = value;
  AdjustSize();
}

void TImage::SetPictureVisible(bool value) {
  if (FPictureVisible == value) return;
  FPictureVisible = value;
  Invalidate();
}

void TImage::AdjustSize() {
  if (!FAutoSize || FPicture.Empty()) return;
  const int size = Unscale(FPicture.Size());
  SetBounds(Left(), Top(), size, size);
}

void TImage::ApplyDpi(int dpi) {
  TControl::ApplyDpi(dpi);
  FPicture.ApplyDpi(dpi);
  AdjustSize();
}

void TImage::Paint(TCanvas& canvas) {
  if (FPictureVisible && !FPicture.Empty()) canvas.DrawIcon(0, 0, FPicture.Handle(), FPicture.Size());
}
