#pragma once
// A panel of flat tool buttons that it draws itself: the buttons are no windows of their own, so
// that a window with many of them is quick to make and to show. The panel hands the mouse to the
// button under it, shows each button's hint over the button's area, and gives screen readers and
// UI automation every button as a child of its accessible object (a push button by its caption,
// or its hint for picture buttons, with its place, whether it is down, and "Drücken").
#include "toolkit/Buttons.h"
#include "toolkit/ExtCtrls.h"

#include <future>
#include <optional>
#include <utility>
#include <vector>

class TStandardAccessible;
class TToolPanel;

class TToolButton : public TComponent {
public:
  explicit TToolButton(TComponent* owner);
  ~TToolButton() override;

  // The panel it sits on (null: none; it then shows nowhere).
  TToolPanel* Panel() const noexcept { return FPanel; }
  void SetPanel(TToolPanel* panel);

  // Where it sits in the panel, in design pixels.
  const TDesignRect& Bounds() const noexcept { return FBounds; }
  void SetBounds(int left, int top, int width, int height);
  int Left() const noexcept { return FBounds.Left; }
  int Top() const noexcept { return FBounds.Top; }
  int Width() const noexcept { return FBounds.Width; }
  int Height() const noexcept { return FBounds.Height; }

  // A picture instead of a caption (an icon resource drawn at 16 design pixels).
  void SetGlyph(int iconResourceId);
  int Glyph() const noexcept { return FGlyphId; }
  // The caption, drawn in the button's font or, where it is too wide for the button, in a
  // smaller or condensed one; never cut.
  const std::wstring& Caption() const noexcept { return FCaption; }
  void SetCaption(const std::wstring& caption);
  // The tooltip.
  const std::wstring& Hint() const noexcept { return FHint; }
  void SetHint(const std::wstring& hint);
  // What screen readers call it: the caption, or the hint of a picture button.
  const std::wstring& AccessibleName() const noexcept { return FCaption.empty() ? FHint : FCaption; }

  // The caption's font: the button's own, or the panel's while it has none.
  TFontDesc Font() const;
  void SetFont(const TFontDesc& font);
  bool GetFontProperty(std::wstring_view name, TFontDesc& font) const override;
  bool SetFontProperty(std::wstring_view name, const TFontDesc& font) override;

  // Two-state buttons: a button with a group index stays down after a click. With AllowAllUp,
  // a click on a button that is down releases it; other buttons of the group are released
  // when one goes down.
  void SetGroupIndex(int index) noexcept { FGroupIndex = index; }
  int GroupIndex() const noexcept { return FGroupIndex; }
  void SetAllowAllUp(bool allow) noexcept { FAllowAllUp = allow; }
  bool Down() const noexcept { return FDown; }
  void SetDown(bool down);

  // What a click does: the group's state, then OnClick.
  void Click();
  TNotifyEvent OnClick;

private:
  friend class TToolPanel;
  // The picture and the caption's font at the panel's DPI, loaded and worked out when first
  // painted (not at start, where the window waits for every millisecond).
  const TIconImage& GlyphImage();
  HFONT CaptionFont(HDC dc);
  // The panel's DPI or fonts changed: pictures and fonts are made again.
  void DropDeviceResources();

  TToolPanel* FPanel = nullptr;
  TDesignRect FBounds{0, 0, 23, 22};
  int FGlyphId = 0;
  TIconImage FGlyph;  // empty until painted
  std::wstring FCaption, FHint;
  std::optional<TFontDesc> FFont;
  TSharedFont FFontHandle;                   // the own font at the panel's DPI, made on first use
  std::optional<TFontHandle> FCaptionFont;   // null inside: the font fits; unset: not worked out
  int FGroupIndex = 0;
  bool FAllowAllUp = false;
  bool FDown = false;
};

class TToolPanel : public TPanel {
public:
  explicit TToolPanel(TComponent* owner);
  ~TToolPanel() override;

  // Its buttons, in the order they were placed on it (the order screen readers go through).
  const std::vector<TToolButton*>& Buttons() const noexcept { return FButtons; }
  // Where a button is drawn, in device pixels of the client area.
  RECT ButtonRect(const TToolButton& button) const;
  // The button at a point of the client area (device pixels), or null.
  TToolButton* ButtonAt(POINT point) const;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void Paint(TCanvas& canvas) override;
  void ApplyDpi(int dpi) override;
  void FontChanged() override;

private:
  friend class TToolButton;
  friend class TToolPanelAccessible;
  void AddButton(TToolButton& button);
  void RemoveButton(TToolButton& button) noexcept;
  // A button looks different now (tells screen readers what changed: its name or its state).
  void ButtonChanged(const TToolButton& button, DWORD winEvent);
  // A button moved or its hint changed: its tooltip follows.
  void UpdateHint(const TToolButton& button);
  void InvalidateButton(const TToolButton* button);
  void SetHot(TToolButton* button);
  // The child id of a button in the accessible object (1 for the first), 0 for none.
  LONG ChildId(const TToolButton& button) const noexcept;

  // The buttons' pictures (resource id and picture), loaded on a thread of their own from the
  // moment the window is made: under Wine a picture takes about a millisecond, and the window
  // is still being made and shown meanwhile. The first paint takes them.
  std::future<std::vector<std::pair<int, TIconImage>>> FPictures;
  int FPicturesDpi = 0;
  void LoadPicturesAhead();
  void TakePictures();

  std::vector<TToolButton*> FButtons;
  TToolButton* FHot = nullptr;      // under the mouse
  TToolButton* FPressed = nullptr;  // the mouse button went down on it and is held
  bool FTrackingLeave = false;
  TStandardAccessible* FAccessible = nullptr;  // made when a tool first asks
};
