#pragma once
// Panels, timers, paint boxes, images and status lines.
#include "toolkit/Controls.h"

#include <functional>
#include <vector>

class TStandardAccessible;

// A container without a frame of its own; aligned children, the parent's background.
class TPanel : public TControl {
public:
  explicit TPanel(TComponent* owner);

protected:
  void CreateParams(TCreateParams& params) override;
};

// Timers: OnTimer every Interval milliseconds while enabled, on the thread's message loop.
class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  unsigned Interval() const noexcept { return FInterval; }
  void SetInterval(unsigned milliseconds);
  bool Enabled() const noexcept { return FEnabled; }
  void SetEnabled(bool enabled);

  TNotifyEvent OnTimer;

  // Called by the timer window for each tick.
  void Tick() noexcept;

private:
  void Update();

  unsigned FInterval = 1000;
  bool FEnabled = true;
  bool FInTick = false;
};

using TCanvasEvent = std::function<void(TObject* sender, TCanvas& canvas)>;

// A surface that the program paints itself (OnPaint). Its window text is what it shows, for
// screen readers and UI automation.
class TPaintBox : public TControl {
public:
  explicit TPaintBox(TComponent* owner);
  TCanvasEvent OnPaint;

protected:
  void CreateParams(TCreateParams& params) override;
  void Paint(TCanvas& canvas) override;
};

// A picture: an icon of the program or of the system, drawn in the size that fits the DPI.
// With AutoSize the control takes the picture's size.
class TImage : public TControl {
public:
  explicit TImage(TComponent* owner);

  // An icon resource of the program, designed at designSize pixels.
  void LoadIcon(int resourceId, int designSize);
  // A system icon (IDI_INFORMATION ...) in the system's icon size.
  void LoadSystemIcon(LPCWSTR systemId);
  void ClearPicture();
  const TIconImage& Picture() const noexcept { return FPicture; }
  bool AutoSize() const noexcept { return FAutoSize; }
  void SetAutoSize(bool value);
  // Whether the picture is drawn (blinking pictures hide it without giving up their place).
  bool PictureVisible() const noexcept { return FPictureVisible; }
  void SetPictureVisible(bool value);

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void Paint(TCanvas& canvas) override;
  void ApplyDpi(int dpi) override;

private:
  void AdjustSize();

  TIconImage FPicture;
  bool FAutoSize = false;
  bool FPictureVisible = true;
};

// One fact of a status line: its text, and whether it needs the user's attention.
struct TStatusField {
  std::wstring Text;
  bool Attention = false;
  bool operator==(const TStatusField&) const = default;
};

// A line of facts that paints itself in one window: the fields left to right, a gap apart, in
// the control's font, those that need attention in the attention colour. A change repaints only
// the fields it changed or moved, without erasing first, so that frequent updates do not
// flicker. Its window text is the fields joined by tabs; screen readers find a status bar named
// by that text.
class TStatusLine : public TControl {
public:
  // The reddish text the library uses for what needs attention.
  static constexpr TColor kAttentionColor = 0x0000C8;
  // Where the fields stand, in design pixels: the first one's left edge, the gap between two,
  // the top of the text.
  static constexpr int kFirstLeft = 4, kGap = 16, kTextTop = 3;

  explicit TStatusLine(TComponent* owner);
  ~TStatusLine() override;

  const std::vector<TStatusField>& Fields() const noexcept { return FFields; }
  void SetFields(const std::vector<TStatusField>& fields);
  // Where a field's text is painted, in device pixels of the client area (empty before the
  // window exists).
  RECT FieldArea(std::size_t index) const;

protected:
  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void Paint(TCanvas& canvas) override;
  bool EraseBackground(HDC) override { return true; }  // the paint covers every pixel
  void FontChanged() override;

private:
  // Measures the texts from a field on, in the font and DPI the window has now, and places
  // every field (device pixels).
  void Measure(std::size_t from);
  void InvalidateSpan(int left, int right);

  std::vector<TStatusField> FFields;
  std::vector<int> FLefts, FWidths;  // device pixels, as painted
  TStandardAccessible* FAccessible = nullptr;  // made when a tool first asks
};
