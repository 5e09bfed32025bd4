#pragma once
// Flat tool buttons: a picture or a caption, the hint as tooltip, never the keyboard focus.
#include "toolkit/Controls.h"

class TSpeedButton : public TControl {
public:
  explicit TSpeedButton(TControl* parent);

  // A picture instead of a caption. The window text is then the hint, so that screen readers
  // and UI automation can name the button.
  void SetGlyph(int iconResourceId);
  void SetCaption(const std::wstring& caption);
  const std::wstring& Caption() const noexcept { return FCaption; }
  void SetHint(const std::wstring& hint) override;

  // Two-state buttons: a button with a group index stays down after a click. With AllowAllUp,
  // a click on a button that is down releases it; other buttons of the group are released
  // when one goes down.
  void SetGroupIndex(int index) noexcept { FGroupIndex = index; }
  int GroupIndex() const noexcept { return FGroupIndex; }
  void SetAllowAllUp(bool allow) noexcept { FAllowAllUp = allow; }
  bool Down() const noexcept { return FDown; }
  void SetDown(bool down);

  void Click();

protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void CommandNotification(WORD code) override;
  void ApplyDpi(int dpi) override;

private:
  void Paint(HDC dc);
  void LoadGlyph();
  void UpdateWindowText();

  std::wstring FCaption;
  int FGlyphId = 0;
  TIconHandle FGlyph;
  int FGroupIndex = 0;
  bool FAllowAllUp = false;
  bool FDown = false;
  bool FPressed = false;  // mouse button held over it
  bool FHot = false;      // mouse over it
};
