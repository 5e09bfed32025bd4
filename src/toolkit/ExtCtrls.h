#pragma once
// Panels, timers, paint boxes and images.
#include "toolkit/Controls.h"

#include <functional>

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
