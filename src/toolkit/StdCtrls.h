#pragma once
// Standard controls: the multi-line edit (memo) whose lines are a TStrings.
#include "base/StringList.h"
#include "toolkit/Controls.h"

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
  TMemo(TControl* parent, TScrollStyle scrollBars = ssBoth, bool wordWrap = false);

  TMemoLines& Lines() noexcept { return FLines; }
  const TMemoLines& Lines() const noexcept { return FLines; }

  void SelectAll();
  void SetSelection(int start, int length);
  void ScrollToCaret();
  bool ReadOnly() const;
  void SetReadOnly(bool readOnly);

private:
  TMemoLines FLines;
};
