#include "toolkit/ExtCtrls.h"

#include "base/Exception.h"
#include "toolkit/Accessible.h"

#include <algorithm>
#include <set>
#include <utility>

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

// ---- TStatusLine ----

namespace {

// What screen readers see of a status line: a status bar named by its fields.
class TStatusLineAccessible final : public TStandardAccessible {
public:
  TStatusLineAccessible(const TStatusLine& line, IAccessible* standard) noexcept
      : TStandardAccessible(standard), FLine(&line) {}

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!Attached()) return CO_E_OBJNOTCONNECTED;
    if (!IsSelf(child)) return E_INVALIDARG;
    return Text(FLine->Text(), name);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!Attached()) return CO_E_OBJNOTCONNECTED;
    return IsSelf(child) ? Number(ROLE_SYSTEM_STATUSBAR, role) : E_INVALIDARG;
  }

private:
  const TStatusLine* FLine;
};

}  // namespace

TStatusLine::TStatusLine(TComponent* owner) : TControl(owner) {
  SetParentColor(true);
  SetBounds(0, 0, 185, 20);
}

TStatusLine::~TStatusLine() { ::ReleaseAccessible(FAccessible); }

void TStatusLine::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  params.ClassName = L"TavrinoStatusLine";
  params.OwnClass = true;
  // No redraw styles: the fields stand at the left edge, a new size paints only the new part.
}

LRESULT TStatusLine::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (AccessibleMessage(Handle(), msg, wParam, lParam, FAccessible,
                        [this](IAccessible* standard) { return new TStatusLineAccessible(*this, standard); }, result))
    return result;
  if (msg == WM_PRINTCLIENT) {
    TCanvas canvas(reinterpret_cast<HDC>(wParam), Dpi());
    canvas.SetFont(Font());
    Paint(canvas);
    return 0;
  }
  return TControl::WndProc(msg, wParam, lParam);
}

void TStatusLine::SetFields(const std::vector<TStatusField>& fields) {
  if (fields == FFields) return;
  const std::vector<TStatusField> before = std::exchange(FFields, fields);
  const std::vector<int> lefts = FLefts, widths = FWidths;
  std::size_t unchanged = 0;  // the fields at the front whose texts stay
  while (unchanged < std::min(before.size(), FFields.size()) && before[unchanged].Text == FFields[unchanged].Text)
    ++unchanged;
  Measure(unchanged);
  // What changed or moved is painted anew, where it was and where it is now, with the room
  // around it into which a glyph may reach.
  const int room = Scale(kGap) / 2;
  for (std::size_t i = 0; i < std::max(before.size(), FFields.size()); ++i) {
    const bool was = i < before.size(), is = i < FFields.size();
    if (was && is && before[i] == FFields[i] && lefts[i] == FLefts[i] && widths[i] == FWidths[i]) continue;
    if (was) InvalidateSpan(lefts[i] - room, lefts[i] + widths[i] + room);
    if (is) InvalidateSpan(FLefts[i] - room, FLefts[i] + FWidths[i] + room);
  }
  std::wstring text;
  for (std::size_t i = 0; i < FFields.size(); ++i) text += (i > 0 ? L"\t" : L"") + FFields[i].Text;
  SetText(text);
}

void TStatusLine::Measure(std::size_t from) {
  FWidths.resize(FFields.size());
  if (HandleAllocated() && from < FFields.size()) {
    TWindowCanvas canvas = MeasureCanvas();
    for (std::size_t i = from; i < FFields.size(); ++i) FWidths[i] = canvas.TextWidth(FFields[i].Text);
  }
  FLefts.resize(FFields.size());
  int left = Scale(kFirstLeft);
  for (std::size_t i = 0; i < FFields.size(); ++i) {
    FLefts[i] = left;
    left += FWidths[i] + Scale(kGap);
  }
}

void TStatusLine::FontChanged() {
  Measure(0);
  if (HandleAllocated()) ::InvalidateRect(Handle(), nullptr, FALSE);
}

void TStatusLine::InvalidateSpan(int left, int right) {
  if (!HandleAllocated() || left >= right) return;
  RECT r;
  ::GetClientRect(Handle(), &r);
  r.left = left;
  r.right = right;
  ::InvalidateRect(Handle(), &r, FALSE);
}

RECT TStatusLine::FieldArea(std::size_t index) const {
  if (!HandleAllocated() || index >= FFields.size()) return RECT{};
  RECT r;
  ::GetClientRect(Handle(), &r);
  r.left = FLefts[index];
  r.right = FLefts[index] + FWidths[index];
  return r;
}

void TStatusLine::Paint(TCanvas& canvas) {
  const HDC dc = canvas.Handle();
  RECT client;
  ::GetClientRect(Handle(), &client);
  const TColor color = Color();
  ::SetBkColor(dc, ColorToRGB(color == clDefault ? clBtnFace : color));
  if (FFields.empty()) {
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, L"", 0, nullptr);
    return;
  }
  // Each field opaque over its part of the line, which reaches to the middle of the gaps around
  // it (glyphs may reach a little beyond their text's width): every pixel is painted once,
  // nothing is erased first.
  const int top = Scale(kTextTop), room = Scale(kGap) / 2;
  for (std::size_t i = 0; i < FFields.size(); ++i) {
    const RECT part{i == 0 ? 0 : FLefts[i] - room, 0, i + 1 < FFields.size() ? FLefts[i + 1] - room : client.right,
                    client.bottom};
    if (part.right <= part.left) continue;
    const TStatusField& field = FFields[i];
    ::SetTextColor(dc, ColorToRGB(field.Attention ? kAttentionColor : canvas.Font().Color));
    ::ExtTextOutW(dc, FLefts[i], top, ETO_OPAQUE | ETO_CLIPPED, &part, field.Text.c_str(),
                  static_cast<UINT>(field.Text.size()), nullptr);
  }
}
