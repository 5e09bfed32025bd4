#pragma once
// Edits with an input mask: a fixed pattern of character positions and literal characters.
#include "toolkit/StdCtrls.h"

#include <string>
#include <string_view>
#include <vector>

// An edit mask in the classic notation "mask;save literals;blank". Mask characters:
//   0 digit (required)          9 digit (optional)         # digit or sign + - (optional)
//   L letter (required)         l letter (optional)
//   A letter or digit (required)  a letter or digit (optional)
//   C any character (required)  c any character (optional)
//   > upper-cases what follows, < lower-cases it, <> neither
//   : the locale's time separator, / the locale's date separator, _ a blank
//   \ takes the next character as a literal; ! is accepted and has no effect
//   every other character is a literal that stands in the text.
// The second field "0" keeps the literals out of the saved text (anything else keeps them);
// the third field is the character shown on unfilled positions ("_" by default).
class TEditMask {
public:
  TEditMask() = default;
  explicit TEditMask(std::wstring_view mask);

  bool Empty() const noexcept { return FPositions.empty(); }
  int Length() const noexcept { return static_cast<int>(FPositions.size()); }
  bool SaveLiterals() const noexcept { return FSaveLiterals; }
  wchar_t Blank() const noexcept { return FBlank; }
  bool IsLiteral(int pos) const;
  bool IsRequired(int pos) const;

  // The text of an empty field: literals and blanks.
  std::wstring BlankText() const;
  // Puts the characters of text into the edit text from pos on, as typing them would: a
  // literal steps over its place (also when typed ahead of it), a blank or space empties a
  // position (not a required one while typing), what fits nowhere is dropped. Returns the
  // position after the last character placed; rejected counts the dropped characters.
  int Place(std::wstring& editText, int pos, std::wstring_view text, bool typing, int* rejected = nullptr) const;
  // A text (as saved, or as typed) fitted into the mask from the start.
  std::wstring Format(std::wstring_view text) const;
  // The saved form of an edit text: blanks become spaces, literals stay only when saved.
  std::wstring Unformat(const std::wstring& editText) const;
  // Every required position is filled.
  bool Complete(const std::wstring& editText) const;
  // The first position at or after pos that takes input (Length() for none), and the last one
  // before pos (-1 for none).
  int NextInput(int pos) const;
  int PreviousInput(int pos) const;

private:
  enum TInputKind : std::uint8_t { ikLiteral, ikDigit, ikDigitOrSign, ikLetter, ikLetterOrDigit, ikAny };
  enum TCaseKind : std::uint8_t { ckNone, ckUpper, ckLower };
  struct TPosition {
    TInputKind Kind = ikLiteral;
    bool Required = false;
    TCaseKind Case = ckNone;
    wchar_t Literal = 0;
  };
  // Whether the position takes the character; converts its case.
  bool Accepts(int pos, wchar_t& c) const;

  std::vector<TPosition> FPositions;
  bool FSaveLiterals = true;
  wchar_t FBlank = L'_';
};

// An edit whose text follows an edit mask. Typing overwrites positions and steps over the
// literals (the caret moves behind them); characters that do not fit are refused with a beep.
// Backspace and Delete empty positions, also a selection; pasted text (Ctrl+V, Shift+Insert,
// the context menu) goes through the mask as if typed; Ctrl+X copies the selection and empties
// it. Text set in code is fitted into the mask. EditText is the text as shown (with blanks),
// Text the text as saved. Without a mask the control is a plain edit.
class TMaskEdit : public TEdit {
public:
  explicit TMaskEdit(TComponent* owner);

  const std::wstring& EditMask() const noexcept { return FMaskText; }
  // A new mask keeps the text (as saved) as far as it fits.
  void SetEditMask(const std::wstring& mask);
  bool IsMasked() const noexcept { return !FMask.Empty(); }
  const TEditMask& Mask() const noexcept { return FMask; }

  std::wstring EditText() const;
  // The saved text (hides TControl::Text, which gives the text as shown).
  std::wstring Text() const;
  // Every required position of the mask is filled (always true without a mask).
  bool EditComplete() const;

protected:
  void CreateWnd() override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  // Checks the text when the focus leaves the control (before OnExit). The default accepts
  // any text; derived edits colour or correct it here.
  virtual void ValidateEdit() {}
  // The focus arrives (runs OnEnter) or leaves (ValidateEdit, then OnExit).
  virtual void DoEnter();
  virtual void DoExit();
  // Typed or pasted text on its way into the mask; derived edits map characters here (for
  // example another separator onto the mask's literal).
  virtual std::wstring AdjustInput(std::wstring text) const { return text; }

private:
  // The messages a mask handles itself: typed characters and the editing keys go through it.
  LRESULT MaskedChar(wchar_t key, LPARAM lParam);
  // True when the key was handled (Delete, Shift+Delete, Shift+Insert).
  bool MaskedKeyDown(WPARAM key);
  void ApplyMaskLimit();
  // Shows a new edit text (one change) and puts the caret.
  void ApplyEditText(const std::wstring& text, int caret);
  void TypeChar(wchar_t c);
  void DeleteChars(bool backspace);
  void PasteText(const std::wstring& text);
  void CutSelection();
  // The edit text with the selection emptied; start receives the selection's start.
  std::wstring WithoutSelection(int& start) const;

  TEditMask FMask;
  std::wstring FMaskText;
  bool FApplying = false;
};
