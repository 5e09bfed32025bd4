#pragma once
// A list box with a check box in front of every entry.
#include "base/Handle.h"
#include "toolkit/StdCtrls.h"

#include <uxtheme.h>

// Entries are checked, unchecked or grayed. The user toggles an entry by clicking its box, by
// Space on the selected entry, or by double-clicking the entry (a double click on the box thus
// toggles twice, as with a check box); each toggle runs OnClickCheck, and a double click still
// runs OnDblClick after its toggle. Disabled entries and header entries (a highlighted title
// line without a box) are not toggled by the user. The box is drawn in the system's theme,
// or classic without one. Entries are 17 design pixels high unless set otherwise.
class TCheckListBox : public TListBox {
public:
  explicit TCheckListBox(TComponent* owner);

  bool Checked(int index) const { return Item(index).State == cbChecked; }
  void SetChecked(int index, bool checked) { SetState(index, checked ? cbChecked : cbUnchecked); }
  TCheckBoxState State(int index) const { return Item(index).State; }
  void SetState(int index, TCheckBoxState state);
  bool ItemEnabled(int index) const { return Item(index).Enabled; }
  void SetItemEnabled(int index, bool enabled);
  bool Header(int index) const { return Item(index).Header; }
  void SetHeader(int index, bool header);
  // Clicks cycle through the grayed state as well (unchecked, grayed, checked).
  bool AllowGrayed() const noexcept { return FAllowGrayed; }
  void SetAllowGrayed(bool value) noexcept { FAllowGrayed = value; }
  // Sets every entry to the state, leaving grayed ones alone unless allowGrayed and disabled
  // ones unless allowDisabled. Runs no OnClickCheck.
  void CheckAll(TCheckBoxState state, bool allowGrayed = true, bool allowDisabled = true);
  int CheckedCount() const;

  int MaxItemWidth() const override;

  TNotifyEvent OnClickCheck;

protected:
  void CreateParams(TCreateParams& params) override;
  void DestroyWnd() override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  bool CNMeasureItem(MEASUREITEMSTRUCT& item) override;
  bool CNDrawItem(DRAWITEMSTRUCT& item) override;
  void DoKeyPress(wchar_t& key) override;

  // Toggles an entry as a click does and runs OnClickCheck; false when it cannot be toggled.
  virtual bool ToggleByUser(int index);

private:
  using TThemeHandle = TUniqueHandle<HTHEME, ::CloseThemeData>;
  // Left edge of the text, device pixels (the box sits in front of it).
  int TextIndent(const TListItem& item) const;
  int ItemAtDevicePoint(LPARAM point) const;
  void InvalidateItem(int index);
  void DrawCheckBox(HDC dc, const RECT& box, const TListItem& item);

  TThemeHandle FTheme;
  bool FThemeTried = false;
  bool FAllowGrayed = false;
};
