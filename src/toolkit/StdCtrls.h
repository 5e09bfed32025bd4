#pragma once
// Standard controls: labels, edits, the multi-line edit (memo) whose lines are a TStrings, push
// buttons and check boxes.
#include "base/StringList.h"
#include "toolkit/Controls.h"

// A text on the form. It sizes itself to its text unless AutoSize is off; with WordWrap the
// width stays and the height follows.
class TLabel : public TControl {
public:
  explicit TLabel(TComponent* AOwner);

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
  explicit TEdit(TComponent* AOwner);

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
  explicit TMemo(TComponent* AOwner);

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

// A push button. Default: Enter presses it; Cancel: Esc presses it; a ModalResult closes a
// modal form with that result when the button is clicked (before OnClick, which may take the
// result back).
class TButton : public TControl {
public:
  explicit TButton(TComponent* AOwner);

  bool Default() const noexcept { return FDefault; }
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
  explicit TCheckBox(TComponent* AOwner);

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
