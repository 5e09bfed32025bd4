#pragma once
// Standard controls: labels, edits, the multi-line edit (memo) whose lines are a TStrings, push
// buttons and check boxes.
#include "base/StringList.h"
#include "toolkit/Controls.h"

// A text on the form. It sizes itself to its text unless AutoSize is off; with WordWrap the
// width stays and the height follows.
class TLabel : public TControl {
public:
  explicit TLabel(TComponent* owner);

  bool WordWrap() const noexcept { return FWordWrap; }
  void SetWordWrap(bool value);
  // "&" marks an access key (on) or is shown as it is (off).
  bool ShowAccelChar() const noexcept { return FShowAccelChar; }
  void SetShowAccelChar(bool value);
  TAlignment Alignment() const noexcept { return FAlignment; }
  void SetAlignment(TAlignment value);
  bool AutoSize() const noexcept { return FAutoSize; }
  void SetAutoSize(bool value);
  // Sizes the label to its text now.
  void AdjustSize();

protected:
  void CreateParams(TCreateParams& params) override;
  void CNCommand(WORD code) override;
  void FontChanged() override { AdjustSize(); }
  void TextChanged() override;
  void Resize() override;

private:
  void ApplyStyle();

  bool FAdjusting = false;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
  bool FAutoSize = true;
  TAlignment FAlignment = taLeftJustify;
};

// A one-line edit.
class TEdit : public TControl {
public:
  explicit TEdit(TComponent* owner);

  int MaxLength() const noexcept { return FMaxLength; }
  void SetMaxLength(int length);
  bool ReadOnly() const noexcept { return FReadOnly; }
  void SetReadOnly(bool value);
  // A character shown instead of each typed one (0: the text itself).
  wchar_t PasswordChar() const noexcept { return FPasswordChar; }
  void SetPasswordChar(wchar_t c);

  int SelStart() const;
  int SelLength() const;
  void SetSelection(int start, int length);
  void SelectAll() { SetSelection(0, -1); }

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void CNCommand(WORD code) override;
  // EN_CHANGE: the text changed (typed, pasted or set).
  virtual void Change();

private:
  int FMaxLength = 0;
  bool FReadOnly = false;
  wchar_t FPasswordChar = 0;
};

class TMemo;

// The lines of a memo, read from and written to the edit control. Inside an update bracket,
// lines added at the end are collected and go into the control in one edit operation when
// the bracket closes: the view then looks as if they had been added one by one, but it is
// changed (and repainted) once. Any other access hands the collected lines over first.
class TMemoLines : public TStrings {
public:
  explicit TMemoLines(TMemo& memo) : FMemo(memo) {}

  int Count() const override;
  std::wstring Get(int index) const override;
  void Insert(int index, const std::wstring& s) override;
  void Delete(int index) override;
  void Clear() override;
  int Add(const std::wstring& s) override;
  std::wstring Text() const override;
  void SetText(const std::wstring& text) override;

  // Lines collected in the current update bracket, not yet in the control.
  int PendingCount() const noexcept { return FPendingCount; }

protected:
  void SetUpdateState(bool updating) override;

private:
  void Flush() const;
  HWND Wnd() const;

  TMemo& FMemo;
  mutable std::wstring FPending;  // collected lines, each ended by CR LF
  mutable int FPendingCount = 0;  // Add calls collected
  mutable int FPendingLines = 0;  // lines they make in the view
  int FPendingBase = 0;           // lines in the view when collecting began
};

enum TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo : public TControl {
public:
  explicit TMemo(TComponent* owner);

  TMemoLines& Lines() noexcept { return FLines; }
  const TMemoLines& Lines() const noexcept { return FLines; }

  TScrollStyle ScrollBars() const noexcept { return FScrollBars; }
  void SetScrollBars(TScrollStyle value) noexcept { FScrollBars = value; }  // before the window exists
  bool WordWrap() const noexcept { return FWordWrap; }
  void SetWordWrap(bool value) noexcept { FWordWrap = value; }  // before the window exists
  bool ReadOnly() const noexcept { return FReadOnly; }
  void SetReadOnly(bool readOnly);

  void SelectAll();
  void SetSelection(int start, int length);
  void ScrollToCaret();

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void CNCommand(WORD code) override;

private:
  TMemoLines FLines;
  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true;
  bool FReadOnly = false;
};

// A push button. fallback: Enter presses it; Cancel: Esc presses it; a ModalResult closes a
// modal form with that result when the button is clicked (before OnClick, which may take the
// result back).
class TButton : public TControl {
public:
  explicit TButton(TComponent* owner);

  bool fallback() const noexcept { return FDefault; }
  void SetDefault(bool value);
  bool Cancel() const noexcept { return FCancel; }
  void SetCancel(bool value);
  int ModalResult() const noexcept { return FModalResult; }
  void SetModalResult(int result) noexcept { FModalResult = result; }

  void Click() override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void CNCommand(WORD code) override;

private:
  void Register();

  bool FDefault = false;
  bool FCancel = false;
  int FModalResult = 0;
};

class TCheckBox : public TControl {
public:
  explicit TCheckBox(TComponent* owner);

  bool Checked() const;
  void SetChecked(bool checked);

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void CNCommand(WORD code) override;

private:
  bool FChecked = false;
};

// ---- list boxes ----

enum TCheckBoxState : std::uint8_t { cbUnchecked, cbChecked, cbGrayed };

// One entry of a list box; the check-list box uses the check fields as well.
struct TListItem {
  std::wstring Text;
  std::intptr_t Data = 0;  // for the caller
  TCheckBoxState State = cbUnchecked;
  bool Enabled = true;
  bool Header = false;
};

class TListBox;

// The texts of a list box's entries. They are kept with the list box and shown by its window
// while it exists, so a list can be filled before it is on screen. A text ends at its first
// zero character, as the window shows it. Indexes outside the list raise std::out_of_range.
class TListBoxStrings : public TStrings {
public:
  explicit TListBoxStrings(TListBox& list) noexcept : FList(list) {}

  int Count() const override;
  std::wstring Get(int index) const override;
  void Put(int index, const std::wstring& s) override;
  void Insert(int index, const std::wstring& s) override;
  void Delete(int index) override;
  void Clear() override;

protected:
  // The window is not redrawn inside an update bracket.
  void SetUpdateState(bool updating) override;

private:
  TListBox& FList;
};

// A list of texts with one selected entry. OnClick runs when the user selects another entry
// (mouse or keys), OnDblClick on a double click on an entry.
class TListBox : public TControl {
public:
  explicit TListBox(TComponent* owner);

  TListBoxStrings& Items() noexcept { return FStrings; }
  const TListBoxStrings& Items() const noexcept { return FStrings; }
  void SetItems(const std::vector<std::wstring>& items);
  int Count() const noexcept { return static_cast<int>(FItems.size()); }

  // The selected entry, -1 for none. Setting it shows the entry; it runs no OnClick.
  int ItemIndex() const;
  void SetItemIndex(int index);
  // The first entry in view.
  int TopIndex() const;
  void SetTopIndex(int index);
  std::intptr_t ItemData(int index) const { return Item(index).Data; }
  void SetItemData(int index, std::intptr_t data) { Item(index).Data = data; }
  // The entry at a point of the client area (design pixels), -1 for none.
  int ItemAt(int x, int y) const;

  // Height of an entry as shown; 0 sets the height that the font gives.
  int ItemHeight() const;
  void SetItemHeight(int height);
  // Width the horizontal scroll bar scrolls (0: no horizontal scrolling).
  int ScrollWidth() const noexcept { return FScrollWidth; }
  void SetScrollWidth(int width);
  // Width of the widest entry as drawn (text, and the check box of a check-list box).
  virtual int MaxItemWidth() const;
  // The control height (frame included) that shows exactly that many entries.
  int HeightForRows(int rows) const;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void CNCommand(WORD code) override;
  void FontChanged() override;

  TListItem& Item(int index);
  const TListItem& Item(int index) const;
  // The item height in device pixels, as the window has it or will get it.
  int DeviceItemHeight() const;
  virtual void ApplyItemHeight();
  // The part of an entry's rectangle (client device pixels) that shows it; empty when out of view.
  RECT ItemRect(int index) const;

  std::vector<TListItem> FItems;
  int FItemHeight = 0;  // design pixels; 0: from the font

private:
  friend class TListBoxStrings;
  void InsertItem(int index, const std::wstring& text);
  void DeleteItem(int index);
  void ClearItems();
  void PutText(int index, const std::wstring& text);

  TListBoxStrings FStrings;
  int FItemIndex = -1;  // while there is no window
  int FTopIndex = 0;    // while there is no window
  int FScrollWidth = 0;
};
