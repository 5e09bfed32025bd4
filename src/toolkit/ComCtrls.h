#pragma once
// Common controls: the page control with its tab sheets, and the date-time picker.
#include "toolkit/Controls.h"

#include <functional>
#include <vector>

class TPageControl;

// One page of a page control: a container for controls, shown while its tab is selected.
// Its caption is the tab's text ("&" marks the access key).
class TTabSheet : public TControl {
public:
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;

  TPageControl* PageControl() const noexcept { return FPageControl; }
  // Puts the page into a page control (as its last page); this also makes it the control's
  // child. Use this instead of SetParent.
  void SetPageControl(TPageControl* control);
  // Position among the pages of the page control (-1 without one).
  int PageIndex() const;
  // Whether the page has a tab; a page without one cannot be shown.
  bool TabVisible() const noexcept { return FTabVisible; }
  void SetTabVisible(bool visible);
  // The page control shows and hides its pages: showing a page makes it the active one.
  void SetVisible(bool visible) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void TextChanged() override;

private:
  friend class TPageControl;
  TPageControl* FPageControl = nullptr;
  bool FTabVisible = true;
};

enum TTabStyle : std::uint8_t { tsTabs, tsButtons, tsFlatButtons };

// Pages with tabs; only the active page is visible. The user changes pages with the mouse, the
// arrow keys on the tabs, Ctrl+Tab and Ctrl+Shift+Tab (also Ctrl+PgDn and Ctrl+PgUp) while
// the focus is inside the control, and Alt with a tab's access key. A change by the user asks
// OnChanging and then runs OnChange; setting the active page in code runs neither. When the
// focus was on the old page it moves to the first control of the new one. The tabs are a stop
// of the Tab key before the page: Tab from the control before them stops at the tabs, Tab on the
// focused tabs goes into the page; Shift+Tab from the page's first control goes back to the tabs.
class TPageControl : public TControl {
public:
  explicit TPageControl(TComponent* owner);
  ~TPageControl() override;

  int PageCount() const noexcept { return static_cast<int>(FPages.size()); }
  TTabSheet* Pages(int index) const;
  TTabSheet* ActivePage() const noexcept { return FActivePage; }
  // A page of this control that has a tab, or null for none.
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  // The next (or previous) page with a tab after the active one, round the end, as the user
  // moves; false when there is none or OnChanging refused.
  bool SelectNextPage(bool goForward);

  bool MultiLine() const noexcept { return FMultiLine; }
  void SetMultiLine(bool value);
  TTabStyle Style() const noexcept { return FStyle; }
  void SetStyle(TTabStyle style);

  bool DialogKey(WORD key, TShiftState shift) override;

  TNotifyEvent OnChange;
  std::function<void(TObject* sender, bool& allowChange)> OnChanging;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  LRESULT CNNotify(NMHDR* header) override;
  RECT AlignArea() const override;
  void FontChanged() override;

private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page) noexcept;
  void PageTabVisibleChanged(TTabSheet* page);
  // Makes a page the active one; the user's changes run OnChange.
  void ActivatePage(TTabSheet* page, bool byUser);
  bool CanChange();
  TTabSheet* FindNextPage(TTabSheet* from, bool goForward) const;
  TTabSheet* PageOfTab(int tabIndex) const;
  int TabIndexOf(const TTabSheet* page) const;
  void UpdateTabs();
  void SelectActiveTab();
  DWORD TabStyleBits() const;
  void ApplyTabStyle();
  // Focuses the first control of the active page that takes the Tab key; false when it has none.
  bool FocusActivePage();

  std::vector<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;
  bool FMultiLine = false;
  TTabStyle FStyle = tsTabs;
};

enum TDateTimeKind : std::uint8_t { dtkDate, dtkTime, dtkDateTime };

// The system's date-time picker. Values are date-time values (days since 30 December 1899,
// the time of day as fraction). With ShowCheckbox the picker has a check box and may hold no
// value: Checked tells whether it holds one, and DateTime keeps the value it shows (grayed)
// meanwhile. Setting DateTime leaves the check box as it is. Values outside a non-zero
// MinDate / MaxDate are moved to the nearer bound. OnChange runs when the user changes the
// value or the check box, not for changes in code.
class TDateTimePicker : public TControl {
public:
  explicit TDateTimePicker(TComponent* owner);

  TDateTimeKind Kind() const noexcept { return FKind; }
  void SetKind(TDateTimeKind kind);
  bool ShowCheckbox() const noexcept { return FShowCheckbox; }
  void SetShowCheckbox(bool value);
  // Whether the picker holds a value; always true without a check box.
  bool Checked() const;
  void SetChecked(bool checked);

  double DateTime() const;
  void SetDateTime(double value);
  // The whole-day part, and the time of day; each setter keeps the other part.
  double Date() const;
  void SetDate(double date);
  double Time() const;
  void SetTime(double time);

  // Bounds of the value (0: none).
  double MinDate() const noexcept { return FMinDate; }
  void SetMinDate(double value);
  double MaxDate() const noexcept { return FMaxDate; }
  void SetMaxDate(double value);

  // The picker's display format ("dd.MM.yyyy", "HH:mm" ...); empty for the locale's format of
  // the kind.
  const std::wstring& Format() const noexcept { return FFormat; }
  void SetFormat(const std::wstring& format);

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  LRESULT CNNotify(NMHDR* header) override;

private:
  double Clamped(double value) const;
  void ApplyFormat();
  void ApplyRange();
  // Puts the value (and the check box state) into the window.
  void ApplyValue();

  TDateTimeKind FKind = dtkDate;
  bool FShowCheckbox = false;
  bool FChecked = true;
  double FDateTime = 0;
  double FMinDate = 0, FMaxDate = 0;
  std::wstring FFormat;
  bool FApplying = false;
};
