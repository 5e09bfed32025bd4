#pragma once
// Flat tool buttons: a picture or a caption, the hint as tooltip, never the keyboard focus.
#include "toolkit/Controls.h"

#include <optional>

// The look of a flat tool button, shared by button windows and the buttons a tool panel draws.
struct TToolButtonLook {
  bool Down = false;     // a two-state button that is down
  bool Pressed = false;  // the mouse button is held over it
  bool Hot = false;      // the mouse is over it
  bool Enabled = true;
};
// Whether a two-state button is down after a click: a button of a group goes down, and up again
// only where AllowAllUp lets it; a button of no group (index 0) keeps its state.
bool DownAfterClick(bool down, int groupIndex, bool allowAllUp) noexcept;
// Draws a button's face in rect: the picture, else the caption in captionFont.
void PaintToolButton(HDC dc, const RECT& rect, const TToolButtonLook& look, const TIconImage& glyph,
                     const std::wstring& caption, HFONT captionFont);
// The font for a caption on a button buttonWidth device pixels wide: null while the own font
// fits between its edges, else the largest smaller size of it that fits, else that size
// condensed. A caption is never cut.
TFontHandle FitCaptionFont(HDC dc, HFONT own, const std::wstring& caption, int buttonWidth);

class TSpeedButton : public TControl {
public:
  explicit TSpeedButton(TComponent* owner);

  // A picture instead of a caption (an icon resource drawn at 16 design pixels). The window
  // text is then the hint, so that screen readers and UI automation can name the button.
  void SetGlyph(int iconResourceId);
  const TIconImage& Glyph() const noexcept { return FGlyph; }
  void SetCaption(const std::wstring& caption) override;
  std::wstring Caption() const override { return FCaption; }
  void SetHint(const std::wstring& hint) override;

  // Two-state buttons: a button with a group index stays down after a click. With AllowAllUp,
  // a click on a button that is down releases it; other buttons of the group are released
  // when one goes down.
  void SetGroupIndex(int index) noexcept { FGroupIndex = index; }
  int GroupIndex() const noexcept { return FGroupIndex; }
  void SetAllowAllUp(bool allow) noexcept { FAllowAllUp = allow; }
  bool Down() const noexcept { return FDown; }
  void SetDown(bool down);

  void Click() override;

  // The font the caption is drawn with (also what WM_GETFONT answers): the button's own while
  // the caption fits between its edges, else the largest smaller size of it that fits, else
  // that size condensed. A caption is never cut.
  HFONT CaptionFont();

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void CNCommand(WORD code) override;
  void ApplyDpi(int dpi) override;
  void FontChanged() override { FCaptionFont.reset(); }
  void Resize() override;

private:
  void UpdateWindowText();

  std::wstring FCaption;
  int FGlyphId = 0;
  TIconImage FGlyph;
  // The caption's font when the button's own is too wide for it (null: the own one fits);
  // unset until the next paint or WM_GETFONT works it out.
  std::optional<TFontHandle> FCaptionFont;
  int FGroupIndex = 0;
  bool FAllowAllUp = false;
  bool FDown = false;
  bool FPressed = false;  // mouse button held over it
  bool FHot = false;      // mouse over it
};
