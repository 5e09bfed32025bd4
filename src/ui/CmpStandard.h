#pragma once
// The library's input controls: whole-number and decimal fields, the time-of-day field, the
// date picker whose value 0 means "no date", and the link label. The numeric fields keep no
// value of their own: the text is the value, every numeric read parses it and every write
// replaces it.
#include "toolkit/StdCtrls.h"

#include <cstdint>
#include <string>

// ---- Unit-wide constants and tables ----

// How a field shows a value the user must correct.
inline constexpr TColor InvalidBgndColor = 0x00E6E6FF;  // RGB(255, 230, 230)
inline constexpr TColor InvalidTextColor = 0x000000C8;  // RGB(200, 0, 0)

enum TDecimalSeparator : std::uint8_t { dsFromLocale, dsDot };

// The separator character of each TDecimalSeparator (dsFromLocale: the locale's, as it was
// when the unit started).
wchar_t DecimalSeparatorChar(TDecimalSeparator Separator) noexcept;
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
  explicit TVormIntEdit(TComponent* AOwner);

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

  // Adds Add when Add is not 0 and the sum stays at most AMaxValue.
  void Increment(std::int32_t AMaxValue, std::int32_t Add);
  // Subtracts Subtract when it is not 0 and the difference stays at least AMinValue.
  void Decrement(std::int32_t AMinValue, std::int32_t Subtract);
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
  explicit TVormDecimalEdit(TComponent* AOwner);

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

// ---- TVormHyperlinkLabel ----

// A label drawn as a link (blue, underlined, hand cursor) that opens its URL when clicked.
class TVormHyperlinkLabel : public TLabel {
public:
  explicit TVormHyperlinkLabel(TComponent* AOwner);

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
