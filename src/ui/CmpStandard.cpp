#include "ui/CmpStandard.h"

#include "base/DateTime.h"
#include "base/Locale.h"
#include "base/Strings.h"
#include "toolkit/Attention.h"
#include "toolkit/Clipbrd.h"
#include "toolkit/Screen.h"
#include "ui/WinHelpers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace {

// Filled in with the locale's separator when the unit starts.
wchar_t gDecimalSeparators[2] = {L',', L'.'};
wchar_t gLocaleDecimalSeparator = L',';

bool IsDigit(wchar_t c) noexcept { return c >= L'0' && c <= L'9'; }
bool IsHexDigit(wchar_t c) noexcept { return IsDigit(c) || (c >= L'A' && c <= L'F'); }
bool HasDigit(std::wstring_view s) { return std::any_of(s.begin(), s.end(), IsDigit); }

// The edit's text as it would be with its selection replaced by Inserted.
std::wstring TextWithSelectionReplaced(const TEdit& edit, std::wstring_view inserted) {
  std::wstring text = edit.Text();
  const size_t start = std::min(static_cast<size_t>(std::max(edit.SelStart(), 0)), text.size());
  const size_t length = std::min(static_cast<size_t>(std::max(edit.SelLength(), 0)), text.size() - start);
  return text.replace(start, length, inserted);
}

// The text on the clipboard; nothing when there is none or another program keeps it busy.
std::optional<std::wstring> ClipboardText() {
  try {
    if (Clipboard().HasText()) return Clipboard().AsText();
  } catch (const EClipboardException&) {
    // Busy: the paste does nothing, as the edit's own paste would.
  }
  return std::nullopt;
}

// Puts Inserted in place of the selection as typing would (undoable, change event).
void ReplaceSelection(TEdit& edit, const std::wstring& inserted) {
  ::SendMessageW(edit.Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(inserted.c_str()));
}

// A pasted text the field cannot take is refused whole, as a typed key would be: the user hears
// it and the text stays as it was.
void RefusePaste() { PlaySystemSound(MB_OK); }

bool FitsMaxLength(const TEdit& edit, const std::wstring& text) {
  return edit.MaxLength() <= 0 || static_cast<int>(text.size()) <= edit.MaxLength();
}

// Colours of a field that shows an invalid value; the brush is kept per field.
HBRUSH InvalidColors(HDC dc, TColor background, TColor text, TBrushHandle& brush) {
  const COLORREF back = ColorToRGB(background);
  ::SetTextColor(dc, ColorToRGB(text));
  ::SetBkColor(dc, back);
  LOGBRUSH current{};
  if (!brush || !::GetObjectW(brush.Get(), sizeof(current), &current) || current.lbColor != back)
    brush.Reset(::CreateSolidBrush(back));
  return brush.Get();
}

std::wstring HexText(std::uint64_t value, int digits) {
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text;
  do {
    text.insert(text.begin(), kDigits[value & 15]);
    value >>= 4;
  } while (value != 0);
  if (static_cast<int>(text.size()) < digits) text.insert(0, static_cast<size_t>(digits) - text.size(), L'0');
  return text;
}

// ---- currency texts, exact in decimal ----

constexpr std::uint64_t kPow10[] = {1, 10, 100, 1000, 10000};

// [spaces] [sign] digits [Sep digits] [spaces], at least one digit; more than four decimals are
// rounded half away from zero. False for anything else and for amounts beyond 64 bits.
bool ParseCurrency(std::wstring_view s, wchar_t sep, std::int64_t& scaled) {
  while (!s.empty() && s.front() == L' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == L' ') s.remove_suffix(1);
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == L'-' || s[i] == L'+')) negative = s[i++] == L'-';
  const std::uint64_t limit = negative ? 0x8000000000000000ull : 0x7FFFFFFFFFFFFFFFull;
  std::uint64_t whole = 0;
  bool anyDigit = false;
  for (; i < s.size() && IsDigit(s[i]); ++i) {
    const unsigned digit = static_cast<unsigned>(s[i] - L'0');
    if (whole > (limit / TCurrency::Scale - digit) / 10) return false;
    whole = whole * 10 + digit;
    anyDigit = true;
  }
  std::uint64_t fraction = 0;
  int fractionDigits = 0;
  bool roundUp = false;
  if (i < s.size() && s[i] == sep) {
    for (++i; i < s.size() && IsDigit(s[i]); ++i) {
      anyDigit = true;
      if (fractionDigits < 4) {
        fraction = fraction * 10 + static_cast<unsigned>(s[i] - L'0');
        ++fractionDigits;
      } else if (fractionDigits++ == 4) {
        roundUp = s[i] >= L'5';
      }
    }
  }
  if (!anyDigit || i != s.size()) return false;
  fraction *= kPow10[4 - std::min(fractionDigits, 4)];
  std::uint64_t magnitude = whole * TCurrency::Scale + fraction;
  if (magnitude > limit || (roundUp && magnitude == limit)) return false;
  if (roundUp) ++magnitude;
  scaled = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
  return true;
}

// Fixed-point text with Decimals decimals (rounded half away from zero), no grouping.
std::wstring FormatCurrency(std::int64_t scaled, int decimals, wchar_t sep) {
  const std::uint64_t magnitude = scaled < 0 ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
  const int kept = std::min(decimals, 4);
  const std::uint64_t cut = kPow10[4 - kept];
  std::uint64_t units = magnitude / cut;  // in 10^-kept
  if (magnitude % cut * 2 >= cut) ++units;
  std::wstring text = (scaled < 0 && units != 0 ? L"-" : L"") + std::to_wstring(units / kPow10[kept]);
  if (decimals > 0) {
    const std::wstring fraction = std::to_wstring(units % kPow10[kept]);
    text += sep;
    text.append(static_cast<size_t>(kept) - fraction.size(), L'0');
    text += fraction;
    text.append(static_cast<size_t>(decimals - kept), L'0');
  }
  return text;
}

// Trailing zeros of the decimals go, then a separator left at the end.
void TrimTrailingZeros(std::wstring& text, wchar_t sep) {
  if (text.find(sep) == std::wstring::npos) return;
  while (!text.empty() && text.back() == L'0') text.pop_back();
  if (!text.empty() && text.back() == sep) text.pop_back();
}

// ---- time texts ----

// The separator the masks show for ":".
wchar_t TimeSeparator() {
  const wchar_t sep = LocaleSnapshot().TimeSeparator;
  return sep != 0 ? sep : L':';
}

// A time text with its separators made ":" and without blanks and unfilled positions.
std::wstring NormalizedTime(std::wstring_view text) {
  const wchar_t localeSep = LocaleSnapshot().TimeSeparator;
  std::wstring s;
  for (wchar_t c : text) {
    if (c == L' ' || c == L'_') continue;
    s += (c == L'.' || (localeSep != 0 && c == localeSep)) ? L':' : c;
  }
  return s;
}

std::vector<std::wstring> TimeParts(std::wstring_view normalized) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  for (;;) {
    const size_t colon = normalized.find(L':', start);
    parts.emplace_back(normalized.substr(start, colon == std::wstring_view::npos ? colon : colon - start));
    if (colon == std::wstring_view::npos) return parts;
    start = colon + 1;
  }
}

// A part of a time as a number: 0 when empty, -1 when it is not decimal digits that fit.
int TimePartValue(const std::wstring& part) {
  if (part.empty()) return 0;
  std::int32_t value;
  if (!std::all_of(part.begin(), part.end(), IsDigit) || !TryStrToInt(part, value)) return -1;
  return value;
}

std::int64_t Milliseconds(double time) { return std::llround(time * 86400000.0); }

}  // namespace

wchar_t DecimalSeparatorChar(TDecimalSeparator separator) noexcept {
  return gDecimalSeparators[separator == dsDot ? 1 : 0];
}

wchar_t LocaleDecimalSeparator() noexcept { return gLocaleDecimalSeparator; }

void CmpStandardStart() {
  const wchar_t sep = LocaleSnapshot().DecimalSeparator;
  gDecimalSeparators[dsFromLocale] = sep;
  gLocaleDecimalSeparator = sep;
}

void CmpStandardStop() {}

TCurrency TCurrency::FromDouble(double value) noexcept {
  const double scaled = std::round(value * Scale);
  if (std::isnan(scaled)) return {};
  if (scaled >= 9223372036854775807.0) return FromScaled(std::numeric_limits<std::int64_t>::max());
  if (scaled <= -9223372036854775808.0) return FromScaled(std::numeric_limits<std::int64_t>::min());
  return FromScaled(static_cast<std::int64_t>(scaled));
}

// ---- TVormIntEdit ----

TVormIntEdit::TVormIntEdit(TComponent* owner) : TEdit(owner) { SetMaxLength(8); }

std::int64_t TVormIntEdit::AsInt64() const {
  const std::wstring text = Trim(Text());
  if (text.empty()) return 0;
  if (FHexadecimal) return StrToInt64Def(L"$" + text, 0);
  // Decimal only: the general conversion would also take "$FF" or "0x10".
  return IsInteger(text) ? StrToInt64Def(text, 0) : 0;
}

std::int32_t TVormIntEdit::AsInteger() const {
  const std::wstring text = Trim(Text());
  if (text.empty()) return 0;
  if (FHexadecimal) return StrToIntDef(L"$" + text, 0);
  return IsInteger(text) ? StrToIntDef(text, 0) : 0;
}

void TVormIntEdit::ShowValue(std::int64_t value, int bits) {
  std::wstring text;
  if ((FEmptyOnZero && value == 0) || (!FNegativeAllowed && value < 0)) {
    // empty
  } else if (FHexadecimal) {
    // Negative values show their two's complement in the width they were given in, so that
    // they read back the same through AsInteger or AsInt64.
    const std::uint64_t bitsOf =
        bits == 32 ? static_cast<std::uint32_t>(value) : static_cast<std::uint64_t>(value);
    text = HexText(bitsOf, FHexDigits);
  } else {
    text = IntToStrZeroPad(value, 1);
  }
  SetText(text);
  ValidateEdit();
}

void TVormIntEdit::SetAsInteger(std::int32_t value) { ShowValue(value, 32); }

void TVormIntEdit::SetAsInt64(std::int64_t value) { ShowValue(value, 64); }

void TVormIntEdit::SetEmptyOnZero(bool value) {
  FEmptyOnZero = value;
  if (AsInt64() == 0) SetText(value ? L"" : L"0");
}

void TVormIntEdit::SetNegativeAllowed(bool value) {
  FNegativeAllowed = value;
  const std::int64_t current = AsInt64();
  if (!value && current < 0)
    SetAsInt64(current == std::numeric_limits<std::int64_t>::min() ? std::numeric_limits<std::int64_t>::max()
                                                                    : -current);
}

void TVormIntEdit::SetHexadecimal(bool value) {
  if (value == FHexadecimal) return;
  const std::int64_t current = AsInt64();
  FHexadecimal = value;
  if (value) SetMaxLength(FHexDigits);
  SetAsInt64(current);
}

void TVormIntEdit::SetHexDigits(int value) {
  if (value == FHexDigits || value <= 0 || value > 16) return;
  FHexDigits = value;
  if (FHexadecimal) {
    SetMaxLength(value);
    SetAsInt64(AsInt64());
  }
  ValidateEdit();
}

void TVormIntEdit::SetMinValue(std::int32_t value) {
  FMinValue = value;
  ValidateEdit();
}

void TVormIntEdit::SetMaxValue(std::int32_t value) {
  FMaxValue = value;
  ValidateEdit();
}

void TVormIntEdit::Increment(std::int32_t maxValue, std::int32_t add) {
  const std::int64_t sum = static_cast<std::int64_t>(AsInteger()) + add;
  if (add != 0 && sum <= maxValue) SetAsInteger(static_cast<std::int32_t>(sum));
}

void TVormIntEdit::Decrement(std::int32_t minValue, std::int32_t subtract) {
  const std::int64_t difference = static_cast<std::int64_t>(AsInteger()) - subtract;
  if (subtract != 0 && difference >= minValue) SetAsInteger(static_cast<std::int32_t>(difference));
}

void TVormIntEdit::ValidateEdit() {
  const bool invalid = FMinValue < FMaxValue && (AsInteger() < FMinValue || AsInteger() > FMaxValue);
  if (invalid == FInvalid) return;
  FInvalid = invalid;
  Invalidate();
}

void TVormIntEdit::Change() {
  TEdit::Change();
  ValidateEdit();
}

HBRUSH TVormIntEdit::CNCtlColor(UINT msg, HDC dc) {
  if (FInvalid) return InvalidColors(dc, InvalidBgndColor, InvalidTextColor, FInvalidBrush);
  return TEdit::CNCtlColor(msg, dc);
}

bool TVormIntEdit::Readable(const std::wstring& text) const {
  if (text.empty() || text == L"-") return true;
  std::int64_t value;
  if (FHexadecimal)
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return IsHexDigit(c) || (c >= L'a' && c <= L'f'); }) &&
           TryStrToInt64(L"$" + text, value);
  return IsInteger(text) && TryStrToInt64(text, value);
}

void TVormIntEdit::DoKeyDown(unsigned short& key, TShiftState shift) {
  TEdit::DoKeyDown(key, shift);
  if ((key != VK_UP && key != VK_DOWN) || ReadOnly()) return;
  const std::int64_t current = AsInt64();
  constexpr auto kMin = std::numeric_limits<std::int64_t>::min(), kMax = std::numeric_limits<std::int64_t>::max();
  if (key == VK_UP && current != kMax) SetAsInt64(current + 1);
  if (key == VK_DOWN && current != kMin) SetAsInt64(current - 1);
}

void TVormIntEdit::DoKeyPress(wchar_t& key) {
  wchar_t k = key;
  if (FHexadecimal && k >= L'a' && k <= L'z') k = static_cast<wchar_t>(k - L'a' + L'A');
  bool accepted;
  if (k == L'-' && SelStart() == 0 && FNegativeAllowed && !FHexadecimal) {
    // With the caret at the start: the last selected character, or the first of the text.
    const std::wstring text = Text();
    const size_t at = static_cast<size_t>(std::max(1, SelStart() + SelLength())) - 1;
    accepted = at >= text.size() || text[at] != L'-';
  } else {
    accepted = k < 32 || IsDigit(k) || (FHexadecimal && IsHexDigit(k));
  }
  // A character that leaves no number behind is refused as well: a digit in front of the minus
  // sign, or one digit too many for a 64-bit value.
  if (accepted && k >= 32) accepted = Readable(TextWithSelectionReplaced(*this, std::wstring(1, k)));
  if (!accepted) {
    key = 0;
    return;
  }
  key = k;
  TEdit::DoKeyPress(key);
}

void TVormIntEdit::Paste() {
  std::optional<std::wstring> pasted = ClipboardText();
  if (!pasted) return;
  std::wstring insert = Trim(*pasted);
  if (FHexadecimal) {
    for (wchar_t& c : insert)
      if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    // A number copied from source code or another program keeps its prefix.
    if (insert.size() > 1 && insert[0] == L'$')
      insert.erase(0, 1);
    else if (insert.size() > 2 && insert.compare(0, 2, L"0X") == 0)
      insert.erase(0, 2);
  }
  if (insert.empty()) return;
  const std::wstring result = TextWithSelectionReplaced(*this, insert);
  const bool ok = std::all_of(insert.begin(), insert.end(),
                              [&](wchar_t c) {
                                return IsDigit(c) || (FHexadecimal ? IsHexDigit(c) : c == L'-' && FNegativeAllowed);
                              }) &&
                  FitsMaxLength(*this, result) && Readable(result);
  if (!ok) return RefusePaste();
  ReplaceSelection(*this, insert);
}

LRESULT TVormIntEdit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PASTE && !ReadOnly()) {
    Paste();
    return 0;
  }
  return TEdit::WndProc(msg, wParam, lParam);
}

// ---- TVormDecimalEdit ----

TVormDecimalEdit::TVormDecimalEdit(TComponent* owner) : TEdit(owner) { SetMaxLength(12); }

void TVormDecimalEdit::SetDecimalSeparator(TDecimalSeparator value) {
  if (value == FDecimalSeparator) return;
  const wchar_t old = DecSep();
  FDecimalSeparator = value;
  std::wstring text = Text();
  const size_t at = text.find(old);
  if (at != std::wstring::npos && old != DecSep()) {
    text[at] = DecSep();
    SetText(text);
  }
}

void TVormDecimalEdit::SetEmptyOnZero(bool value) {
  FEmptyOnZero = value;
  if (AsFloat() == 0) SetAsFloat(0);
}

void TVormDecimalEdit::SetDecimals(int value) {
  value = std::max(value, 0);
  if (value == FDecimals) return;
  const double current = AsFloat();
  FDecimals = value;
  SetAsFloat(current);
}

void TVormDecimalEdit::SetNegativeAllowed(bool value) {
  FNegativeAllowed = value;
  if (!value && AsFloat() < 0) SetText(L"");
}

void TVormDecimalEdit::SetTrailingZeros(bool value) {
  FTrailingZeros = value;
  SetAsFloat(AsFloat());
}

double TVormDecimalEdit::AsFloat() const { return StrToFloatSep(Text(), DecSep(), 0); }

void TVormDecimalEdit::SetAsFloat(double value) {
  std::wstring text;
  if (!std::isfinite(value) || (FEmptyOnZero && value == 0) || (!FNegativeAllowed && value < 0)) {
    // empty
  } else if (FTrailingZeros) {
    text = FormatNumber(FDecimals, DecSep(), 0, value);
  } else {
    text = FormatFloatTrim(FDecimals, DecSep(), 0, false, value);
  }
  SetText(text);
}

TCurrency TVormDecimalEdit::AsCurrency() const {
  std::wstring text = Text();
  if (text.empty()) return {};
  std::replace(text.begin(), text.end(), DecSep(), gLocaleDecimalSeparator);
  std::int64_t scaled;
  return ParseCurrency(text, gLocaleDecimalSeparator, scaled) ? TCurrency::FromScaled(scaled) : TCurrency{};
}

void TVormDecimalEdit::SetAsCurrency(TCurrency value) {
  // Negative amounts are shown even where they cannot be typed.
  std::wstring text = FormatCurrency(value.Scaled, FDecimals, DecSep());
  if (!FTrailingZeros) TrimTrailingZeros(text, DecSep());
  if (value.Scaled == 0 && FEmptyOnZero) text.clear();
  SetText(text);
}

void TVormDecimalEdit::DoKeyPress(wchar_t& key) {
  TEdit::DoKeyPress(key);
  wchar_t k = key;
  const wchar_t sep = DecSep();
  if (k == L'.' || k == L',') k = sep;
  if (k < 32) return;  // control keys always pass
  const std::wstring text = TextWithSelectionReplaced(*this, std::wstring(1, k));
  const size_t at = text.find(sep);
  bool ok = k == L'-' || IsDigit(k) || k == sep;
  ok = ok && text.find(L'-', 1) == std::wstring::npos;
  if (!FNegativeAllowed) ok = ok && k != L'-';
  if (at != std::wstring::npos) {
    ok = ok && at + 1 + static_cast<size_t>(FDecimals) >= text.size();
    if (k == sep) ok = ok && text.find(sep, at + 1) == std::wstring::npos;
  }
  // Without a length limit, digits stop where the number would no longer read.
  if (ok && HasDigit(text) && !std::isfinite(StrToFloatSep(text, sep, NAN))) ok = false;
  key = ok ? k : L'\0';
}

void TVormDecimalEdit::Paste() {
  std::optional<std::wstring> pasted = ClipboardText();
  if (!pasted) return;
  const wchar_t sep = DecSep();
  std::wstring insert = Trim(*pasted);
  std::replace_if(insert.begin(), insert.end(), [](wchar_t c) { return c == L'.' || c == L','; }, sep);
  if (insert.empty()) return;
  const std::wstring result = TextWithSelectionReplaced(*this, insert);
  const size_t at = result.find(sep);
  bool ok = std::all_of(insert.begin(), insert.end(),
                        [&](wchar_t c) { return IsDigit(c) || c == sep || (c == L'-' && FNegativeAllowed); });
  ok = ok && result.find(L'-', 1) == std::wstring::npos;
  if (at != std::wstring::npos)
    ok = ok && at + 1 + static_cast<size_t>(FDecimals) >= result.size() &&
         result.find(sep, at + 1) == std::wstring::npos;
  ok = ok && FitsMaxLength(*this, result);
  if (ok && HasDigit(result) && !std::isfinite(StrToFloatSep(result, sep, NAN))) ok = false;
  if (!ok) return RefusePaste();
  ReplaceSelection(*this, insert);
}

LRESULT TVormDecimalEdit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PASTE && !ReadOnly()) {
    Paste();
    return 0;
  }
  return TEdit::WndProc(msg, wParam, lParam);
}

// ---- TVormDateTimePicker ----

double TVormDateTimePicker::DateTimeZ() const {
  if (ShowCheckbox() && !Checked()) return 0;
  switch (Kind()) {
    case dtkDate:
      return std::trunc(DateTime());
    case dtkTime:
      return Time();
    default:
      return DateTime();
  }
}

void TVormDateTimePicker::SetDateTimeZ(double value) {
  double shown = value;
  bool hasValue = value != 0;
  if (Kind() == dtkDate) {
    shown = std::trunc(value);
    hasValue = shown != 0;
  } else if (Kind() == dtkTime) {
    // Any date will do for a time; today's keeps the picker's calendar sensible.
    int hour, minute, second, msec;
    DecodeTime(value, hour, minute, second, msec);
    hasValue = hour != 0 || minute != 0 || second != 0 || msec != 0;
    shown = ComposeDateTime(CurrentDate(), EncodeTime(hour, minute, second, msec));
  }
  if (ShowCheckbox()) {
    if (hasValue) {
      SetChecked(true);
      SetDateTime(shown);
    } else {
      SetDateTime(Now());  // the drop-down opens on today
      SetChecked(false);
    }
    return;
  }
  // 0 alone means "no date": dates before 30 December 1899 are dates like any other.
  if (!hasValue && Kind() != dtkTime) shown = CurrentDate();
  SetDateTime(shown);
}

// ---- TVormTimeEdit ----

TVormTimeEdit::TVormTimeEdit(TComponent* owner) : TMaskEdit(owner) {
  SetEditMask(TimeEditMasks[tfHHNN]);
  SetWidth(37);
}

void TVormTimeEdit::CrackTimeStr(std::wstring_view value, double minTime, double maxTime, bool& isEmpty,
                                 bool& isCorrect, double& time) {
  time = 0;
  isEmpty = false;
  isCorrect = true;
  const std::wstring text = NormalizedTime(value);
  if (text.empty()) {
    isEmpty = true;
    return;
  }
  const std::vector<std::wstring> parts = TimeParts(text);
  if (parts.size() < 2 || parts.size() > 4) {
    isCorrect = false;
    return;
  }
  if (std::all_of(parts.begin(), parts.end(), [](const std::wstring& p) { return p.empty(); })) {
    isEmpty = true;
    return;
  }
  const int hour = TimePartValue(parts[0]);
  const int minute = TimePartValue(parts[1]);
  const int second = parts.size() > 2 ? TimePartValue(parts[2]) : 0;
  const int msec = parts.size() > 3 ? std::max(TimePartValue(parts[3]), 0) : 0;
  // A time of day holds less than a second of milliseconds: 1000 and more is no time.
  isCorrect = TryEncodeTime(hour, minute, second, msec, time);
  if (!isCorrect) time = 0;
  // Compared in whole milliseconds: bounds computed another way still meet exactly.
  if (minTime > 0 && Milliseconds(time) < Milliseconds(minTime)) isCorrect = false;
  if (maxTime > 0 && Milliseconds(time) > Milliseconds(maxTime)) isCorrect = false;
}

void TVormTimeEdit::ValidateEdit() {
  bool empty;
  double time;
  CrackTimeStr(Text(), FMinTime, FMaxTime, empty, FIsCorrect, time);
  if (FShownInvalid == !FIsCorrect) return;
  FShownInvalid = !FIsCorrect;
  Invalidate();
}

bool TVormTimeEdit::IsCorrect() {
  ValidateEdit();
  return FIsCorrect;
}

double TVormTimeEdit::Time() const {
  bool empty;
  double time;
  CrackTimeStr(Text(), FMinTime, FMaxTime, empty, FIsCorrect, time);
  return time;
}

bool TVormTimeEdit::IsEmpty() const {
  bool empty;
  double time;
  CrackTimeStr(Text(), FMinTime, FMaxTime, empty, FIsCorrect, time);
  return empty || (FZeroAsEmpty && FIsCorrect && time == 0);
}

bool TVormTimeEdit::IsFilled() const {
  bool empty;
  double time;
  CrackTimeStr(Text(), FMinTime, FMaxTime, empty, FIsCorrect, time);
  return FIsCorrect && !empty && time != 0;
}

void TVormTimeEdit::SetTime(double value) {
  int hour, minute, second, msec;
  DecodeTime(value, hour, minute, second, msec);
  // Zero as the field shows it: without seconds, 00:00:30 shows as 00:00 as well.
  const bool zero = hour == 0 && minute == 0 && (FTimeFormat == tfHHNN || second == 0);
  if (FZeroAsEmpty && zero)
    SetText(L"");
  else
    SetText(FormatDateTime(TimeFormatPatterns[FTimeFormat], EncodeTime(hour, minute, second, 0)));
}

void TVormTimeEdit::Reformat() {
  bool empty, correct;
  double time;
  // Outside the span a time is still put into its full form; it keeps its colours.
  CrackTimeStr(Text(), 0, 0, empty, correct, time);
  if (!correct) return;
  if (empty)
    SetText(L"");
  else
    SetTime(time);
}

void TVormTimeEdit::SetTimeFormat(TTimeFormat value) {
  bool empty, correct;
  double time;
  CrackTimeStr(Text(), 0, 0, empty, correct, time);
  FTimeFormat = value;
  SetEditMask(TimeEditMasks[value]);
  if (!correct) return;
  if (empty)
    SetText(L"");
  else
    SetTime(time);
}

void TVormTimeEdit::SetZeroAsEmpty(bool value) {
  FZeroAsEmpty = value;
  Reformat();
}

void TVormTimeEdit::SetMinTime(double value) {
  FMinTime = value;
  ValidateEdit();
}

void TVormTimeEdit::SetMaxTime(double value) {
  FMaxTime = value;
  ValidateEdit();
}

void TVormTimeEdit::SetWrongBgndColor(TColor value) {
  FWrongBgndColor = value;
  ValidateEdit();
  Invalidate();
}

void TVormTimeEdit::SetWrongTextColor(TColor value) {
  FWrongTextColor = value;
  ValidateEdit();
  Invalidate();
}

double TVormTimeEdit::DateAndTime(const TVormDateTimePicker& dtp) const {
  if (dtp.ShowCheckbox() && !dtp.Checked()) return 0;
  return ComposeDateTime(dtp.DateTimeZ(), Time());
}

void TVormTimeEdit::Change() {
  TMaskEdit::Change();
  ValidateEdit();
}

void TVormTimeEdit::DoExit() {
  Reformat();
  TMaskEdit::DoExit();
}

std::wstring TVormTimeEdit::AdjustInput(std::wstring text) const {
  const wchar_t sep = TimeSeparator();
  for (wchar_t& c : text)
    if (c == L'.' || c == L':') c = sep;
  return text;
}

HBRUSH TVormTimeEdit::CNCtlColor(UINT msg, HDC dc) {
  if (FShownInvalid)
    return InvalidColors(dc, FWrongBgndColor == clDefault ? InvalidBgndColor : FWrongBgndColor,
                         FWrongTextColor == clDefault ? InvalidTextColor : FWrongTextColor, FInvalidBrush);
  return TMaskEdit::CNCtlColor(msg, dc);
}

bool TVormTimeEdit::Spin(bool up, TShiftState shift) {
  const int selStart = SelStart(), selEnd = SelStart() + SelLength();
  int part;  // 0 hours, 1 minutes, 2 seconds
  if (selStart <= 1)
    part = 0;
  else if (selStart >= 3 && selStart <= 5)
    part = selEnd <= 5 ? 1 : 0;
  else if (selStart >= 6 && selStart <= 8)
    part = 2;
  else
    return false;
  std::vector<std::wstring> parts = TimeParts(NormalizedTime(EditText()));
  parts.resize(3);
  int step = 1;
  if (shift == TShiftState{ssShift}) step = part == 0 ? 2 : 5;
  if (shift == TShiftState{ssCtrl}) step = part == 0 ? 12 : 15;
  const int maximum = part == 0 ? 23 : 59;
  int value = std::clamp(TimePartValue(parts[static_cast<size_t>(part)]), 0, maximum);
  do {
    if (up)
      value = value >= maximum ? 0 : value + 1;
    else
      value = value <= 0 ? maximum : value - 1;
  } while (value % step != 0);
  parts[static_cast<size_t>(part)] = IntToStrZeroPad(value, 2);
  const std::wstring sep(1, TimeSeparator());
  std::wstring text = parts[0] + sep + parts[1];
  if (FTimeFormat == tfHHNNSS) text += sep + parts[2];
  SetText(text);
  SetSelection(part * 3, 2);
  return true;
}

void TVormTimeEdit::DoKeyDown(unsigned short& key, TShiftState shift) {
  const bool spun = (key == VK_UP || key == VK_DOWN) && !ReadOnly() && Spin(key == VK_UP, shift);
  TMaskEdit::DoKeyDown(key, shift);
  // The edit would move the caret off the part just spun; kept there, the next press spins it again.
  if (spun) key = 0;
}

// ---- TVormHyperlinkLabel ----

TVormHyperlinkLabel::TVormHyperlinkLabel(TComponent* owner) : TLabel(owner) {
  TFontDesc font = Font();
  font.Color = 0x00CD850E;  // RGB(14, 133, 205)
  font.Style |= fsUnderline;
  SetFont(font);
  SetTabStop(true);
}

void TVormHyperlinkLabel::SetURL(const std::wstring& url) {
  if (url == FUrl) return;
  if (Hint().empty() || Hint() == FUrl) SetHint(url);
  FUrl = url;
}

void TVormHyperlinkLabel::Click() {
  if (OnClick)
    OnClick(this);
  else
    OpenLink(FUrl);
}

LRESULT TVormHyperlinkLabel::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  // The hand shows that the label is a link; the program-wide cursor (busy) still wins.
  switch (msg) {
    case WM_SETCURSOR:
      if (Screen().CursorHandle()) break;
      ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
      return TRUE;
    case WM_GETDLGCODE: {
      // Enter follows the focused link instead of pressing the default button.
      const auto* key = reinterpret_cast<const MSG*>(lParam);
      if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) return DLGC_WANTMESSAGE | DLGC_STATIC;
      break;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN || wParam == VK_SPACE) {
        if (!(lParam & (1 << 30))) Click();  // once per press, not again while the key repeats
        return 0;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Invalidate();
      break;
    case WM_PAINT: {
      const LRESULT result = TLabel::WndProc(msg, wParam, lParam);
      if (Focused()) {
        TWindowDc dc(Handle());
        RECT r{};
        ::GetClientRect(Handle(), &r);
        ::DrawFocusRect(dc.Get(), &r);
      }
      return result;
    }
    default:
      break;
  }
  return TLabel::WndProc(msg, wParam, lParam);
}
