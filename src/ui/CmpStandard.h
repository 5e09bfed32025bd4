#pragma once
// The library's input controls: whole-number and decimal fields, the time-of-day field, the
// date picker whose value 0 means "no date", and the link label. The numeric fields keep no
// value of their own: the text is the value, every numeric read parses it and every write
// replaces it.
#include "toolkit/ComCtrls.h"
#include "toolkit/Mask.h"
#include "toolkit/StdCtrls.h"

#include <cstdint>
#include <string>
#include <string_view>

// ---- Unit-wide constants and tables ----

// How a field shows a value the user must correct.
inline constexpr TColor InvalidBgndColor = 0x00E6E6FF;  // RGB(255, 230, 230)
inline constexpr TColor InvalidTextColor = 0x000000C8;  // RGB(200, 0, 0)

enum TDecimalSeparator : std::uint8_t { dsFromLocale, dsDot };

// The separator character of each TDecimalSeparator (dsFromLocale: the locale's, as it was
// when the unit started).
wchar_t DecimalSeparatorChar(TDecimalSeparator separator) noexcept;
// The locale's decimal separator as it was when the unit started (the currency conversions use it).
wchar_t LocaleDecimalSeparator() noexcept;

// Unit start and stop (the library's start-up list calls them after the string unit).
void CmpStandardStart();
void CmpStandardStop();

// Money: a 64-bit count of ten-thousandths (four fixed decimal places), so that amounts are
// exact in decimal.
struct TCurrency {
  static constexpr std::int64_t Scale = 10000;
  std::int64_t Scaled = 0;

  static constexpr TCurrency FromScaled(std::int64_t scaled) noexcept { return TCurrency{scaled}; }
  // Rounded to four decimals; values beyond the range stop at its limits.
  static TCurrency FromDouble(double value) noexcept;
  double ToDouble() const noexcept { return static_cast<double>(Scaled) / Scale; }
  auto operator<=>(const TCurrency&) const = default;
};

// ---- TVormIntEdit ----

// A field for whole numbers, decimal or hexadecimal. Typed keys are filtered, pasted text is
// taken only when the field's text then still reads as a number it can hold; Up and Down step
// the value by one. A range (MinValue < MaxValue) is not enforced, only shown: a value outside
// it is drawn in the invalid-value colours.
class TVormIntEdit : public TEdit {
public:
  explicit TVormIntEdit(TComponent* owner);

  bool EmptyOnZero() const noexcept { return FEmptyOnZero; }
  void SetEmptyOnZero(bool value);
  bool NegativeAllowed() const noexcept { return FNegativeAllowed; }
  void SetNegativeAllowed(bool value);
  bool Hexadecimal() const noexcept { return FHexadecimal; }
  void SetHexadecimal(bool value);
  // Digits a hexadecimal value is padded to, 1 to 16; other counts are ignored.
  int HexDigits() const noexcept { return FHexDigits; }
  void SetHexDigits(int value);
  // The value of the text; 0 for an empty text or one that does not read as a number.
  std::int32_t AsInteger() const;
  void SetAsInteger(std::int32_t value);
  std::int64_t AsInt64() const;
  void SetAsInt64(std::int64_t value);
  std::int32_t MinValue() const noexcept { return FMinValue; }
  void SetMinValue(std::int32_t value);
  std::int32_t MaxValue() const noexcept { return FMaxValue; }
  void SetMaxValue(std::int32_t value);

  // Adds Add when Add is not 0 and the sum stays at most maxValue.
  void Increment(std::int32_t maxValue, std::int32_t add);
  // Subtracts Subtract when it is not 0 and the difference stays at least minValue.
  void Decrement(std::int32_t minValue, std::int32_t subtract);
  // Colours the field by its range.
  void ValidateEdit();

  void DoKeyDown(unsigned short& key, TShiftState shift) override;
  void DoKeyPress(wchar_t& key) override;

protected:
  void Change() override;
  HBRUSH CNCtlColor(UINT msg, HDC dc) override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
  void ShowValue(std::int64_t value, int bits);
  // The text would read as a number (or is a start of one: empty or a lone minus sign).
  bool Readable(const std::wstring& text) const;
  void Paste();

  bool FEmptyOnZero = true;
  bool FNegativeAllowed = false;
  bool FHexadecimal = false;
  int FHexDigits = 2;
  std::int32_t FMinValue = 0;
  std::int32_t FMaxValue = 0;
  bool FInvalid = false;
  TBrushHandle FInvalidBrush;
};

// ---- TVormDecimalEdit ----

// A field for decimal fractions with a fixed number of decimals and a chosen separator: "." and
// "," both type the field's separator.
class TVormDecimalEdit : public TEdit {
public:
  explicit TVormDecimalEdit(TComponent* owner);

  TDecimalSeparator DecimalSeparator() const noexcept { return FDecimalSeparator; }
  void SetDecimalSeparator(TDecimalSeparator value);
  // The separator character the field uses.
  wchar_t DecSep() const noexcept { return DecimalSeparatorChar(FDecimalSeparator); }
  bool EmptyOnZero() const noexcept { return FEmptyOnZero; }
  void SetEmptyOnZero(bool value);
  int Decimals() const noexcept { return FDecimals; }
  void SetDecimals(int value);
  bool NegativeAllowed() const noexcept { return FNegativeAllowed; }
  void SetNegativeAllowed(bool value);
  // Decimals shown in full (true), or without trailing zeros and then without the separator.
  bool TrailingZeros() const noexcept { return FTrailingZeros; }
  void SetTrailingZeros(bool value);
  // The value of the text; 0 for an empty text or one that does not read as a number.
  double AsFloat() const;
  void SetAsFloat(double value);
  TCurrency AsCurrency() const;
  void SetAsCurrency(TCurrency value);

  void DoKeyPress(wchar_t& key) override;

protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
  void Paste();

  bool FEmptyOnZero = true;
  int FDecimals = 2;
  TDecimalSeparator FDecimalSeparator = dsFromLocale;
  bool FNegativeAllowed = false;
  bool FTrailingZeros = true;
};

// ---- TVormDateTimePicker ----

// The system's date-time picker with a value in which 0 means "no date": with a check box the
// picker may be empty.
class TVormDateTimePicker : public TDateTimePicker {
public:
  explicit TVormDateTimePicker(TComponent* owner) : TDateTimePicker(owner) {}

  // 0 while the check box is not ticked; otherwise the date (dtkDate), the time of day
  // (dtkTime) or both (dtkDateTime).
  double DateTimeZ() const;
  // 0 (a time of 00:00 for dtkTime) unticks the check box and leaves today in the picker for
  // the drop-down; any other value ticks it. Without a check box, 0 shows today.
  void SetDateTimeZ(double value);
  bool IsEmpty() const { return DateTimeZ() == 0; }
  bool IsFilled() const { return DateTimeZ() != 0; }
};

// ---- TVormTimeEdit ----

enum TTimeFormat : std::uint8_t { tfHHNN, tfHHNNSS };

// Display patterns and edit masks of the time formats; ":" stands for the locale's time
// separator. The masks keep the separators in the text and show unfilled positions as "_".
inline constexpr const wchar_t* TimeFormatPatterns[2] = {L"HH:NN", L"HH:NN:SS"};
inline constexpr const wchar_t* TimeEditMasks[2] = {L"99:99;1;_", L"99:99:99;1;_"};

// A field for a time of day in a fixed format. A text that is no time, or one outside the span
// MinTime..MaxTime (0: no bound), is drawn in the invalid-value colours and reads as 0 (a time
// outside the span still reads as itself). Up and Down spin the hours, minutes or seconds under
// the caret; Shift and Ctrl take bigger steps. Leaving the field puts a valid time into its
// full form (9:5_ becomes 09:05).
class TVormTimeEdit : public TMaskEdit {
public:
  explicit TVormTimeEdit(TComponent* owner);

  // Reads a field text: blanks and unfilled positions are dropped, "." and the locale's time
  // separator count as ":"; two to four parts (hours, minutes, seconds, milliseconds), empty
  // parts counting 0. IsEmpty for a text without digits; Time 0 unless IsCorrect; a time
  // outside MinTime..MaxTime (0: no bound) keeps its Time but is not correct.
  static void CrackTimeStr(std::wstring_view value, double minTime, double maxTime, bool& isEmpty, bool& isCorrect,
                           double& time);

  // Colours the field by its text.
  void ValidateEdit() override;
  bool IsCorrect();
  bool IsEmpty() const;
  bool IsFilled() const;
  // 00:00 counts as empty and is shown as an empty field.
  bool ZeroAsEmpty() const noexcept { return FZeroAsEmpty; }
  void SetZeroAsEmpty(bool value);
  // The time of the text (0 when empty or not a time); writing ignores the date part.
  double Time() const;
  void SetTime(double value);
  double DateTime() const { return Time(); }
  void SetDateTime(double value) { SetTime(value); }
  double DateTimeZ() const { return Time(); }
  void SetDateTimeZ(double value) { SetTime(value); }
  TTimeFormat TimeFormat() const noexcept { return FTimeFormat; }
  void SetTimeFormat(TTimeFormat value);
  double MinTime() const noexcept { return FMinTime; }
  void SetMinTime(double value);
  double MaxTime() const noexcept { return FMaxTime; }
  void SetMaxTime(double value);
  // clDefault: the unit's invalid-value colours.
  TColor WrongBgndColor() const noexcept { return FWrongBgndColor; }
  void SetWrongBgndColor(TColor value);
  TColor WrongTextColor() const noexcept { return FWrongTextColor; }
  void SetWrongTextColor(TColor value);

  // The picker's date plus this field's time; 0 when the picker's check box is not ticked.
  double DateAndTime(const TVormDateTimePicker& dtp) const;

  void DoKeyDown(unsigned short& key, TShiftState shift) override;

protected:
  void Change() override;
  void DoExit() override;
  // "." (and ":" where the locale separates otherwise) types the time separator.
  std::wstring AdjustInput(std::wstring text) const override;
  HBRUSH CNCtlColor(UINT msg, HDC dc) override;

private:
  // A valid text in its full form (empty ones cleared); other texts stay as typed.
  void Reformat();
  // Steps the part under the caret; false when the caret is on none.
  bool Spin(bool up, TShiftState shift);

  TTimeFormat FTimeFormat = tfHHNN;
  TColor FWrongBgndColor = clDefault;
  TColor FWrongTextColor = clDefault;
  mutable bool FIsCorrect = true;
  bool FZeroAsEmpty = true;
  double FMinTime = 0;
  double FMaxTime = 0;
  bool FShownInvalid = false;
  TBrushHandle FInvalidBrush;
};

// ---- TVormHyperlinkLabel ----

// A label drawn as a link (blue, underlined, hand cursor) that opens its URL when clicked. As a
// link on a web page, it is a stop of the Tab key, shows the focus with a dotted frame, and
// Enter or Space follow it.
class TVormHyperlinkLabel : public TLabel {
public:
  explicit TVormHyperlinkLabel(TComponent* owner);

  const std::wstring& URL() const noexcept { return FUrl; }
  // The hint follows the URL unless a hint of its own was set.
  void SetURL(const std::wstring& url);

  // The click event alone when one is set; otherwise the URL is opened.
  void Click() override;

protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
  std::wstring FUrl;
};
