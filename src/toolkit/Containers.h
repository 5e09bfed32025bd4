#pragma once
// Containers for other controls: the scroll box, whose children scroll with its vertical
// scroll bar, and the frame, a panel-like part with components of its own that a form embeds.
#include "toolkit/Controls.h"

// A borderless area that scrolls its children vertically. The range is the height of the
// content in design pixels; the scroll bar shows while the range is taller than the client
// area and moves the content while its thumb is dragged. Children report where they are on
// screen (their Top moves as the box scrolls); aligned children share an area as tall as the
// range, so a client-aligned child takes the whole content height. The mouse wheel scrolls by
// the system's wheel lines unless OnMouseWheel handles it first.
class TScrollBox : public TControl {
public:
  explicit TScrollBox(TComponent* owner);

  // The height of the content (0: nothing to scroll).
  int VertRange() const noexcept { return FRange; }
  void SetVertRange(int range);
  // How far the content is scrolled up, 0 .. VertRange - ClientHeight.
  int VertPosition() const noexcept;
  void SetVertPosition(int position);
  // One line of the scroll bar's arrows and of a wheel line (8 by default).
  int VertIncrement() const noexcept { return FIncrement; }
  void SetVertIncrement(int increment) noexcept { FIncrement = increment > 0 ? increment : 1; }
  // The vertical scroll bar is showing.
  bool VertScrollBarVisible() const;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool DoMouseWheel(TShiftState shift, int delta, POINT screenPoint) override;
  RECT AlignArea() const override;
  void ApplyDpi(int dpi) override;

private:
  int MaxDevicePosition() const;
  void UpdateScrollInfo();
  // Scrolls the content to a device position (clamped).
  void ScrollTo(int devicePosition);
  void Scroll(WORD code);

  int FRange = 0;       // design pixels
  int FPosition = 0;    // device pixels, as on screen
  int FDesignPosition = 0;  // the position asked for before the window exists
  int FIncrement = 8;   // design pixels
  int FWheelRemainder = 0;
  bool FUpdating = false;
};

// A part of a form with controls and components of its own, placed in a form like a panel.
// Derived frames (TFra...) create their controls in their constructor, owned by and sitting
// in the frame; the form that owns the frame frees it with everything in it.
class TFrame : public TControl {
public:
  explicit TFrame(TComponent* owner);

protected:
  void CreateParams(TCreateParams& params) override;
};
