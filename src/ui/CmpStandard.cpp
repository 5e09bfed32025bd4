#include "ui/CmpStandard.h"

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

}  // namespace

wchar_t DecimalSeparatorChar(TDecimalSeparator Separator) noexcept {
  return gDecimalSeparators[Separator == dsDot ? 1 : 0];
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

TVormIntEdit::TVormIntEdit(TComponent* AOwner) : TEdit(AOwner) { SetMaxLength(8); }

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

void TVormIntEdit::Increment(std::int32_t AMaxValue, std::int32_t Add) {
  const std::int64_t sum = static_cast<std::int64_t>(AsInteger()) + Add;
  if (Add != 0 && sum <= AMaxValue) SetAsInteger(static_cast<std::int32_t>(sum));
}

void TVormIntEdit::Decrement(std::int32_t AMinValue, std::int32_t Subtract) {
  const std::int64_t difference = static_cast<std::int64_t>(AsInteger()) - Subtract;
  if (Subtract != 0 && difference >= AMinValue) SetAsInteger(static_cast<std::int32_t>(difference));
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

TVormDecimalEdit::TVormDecimalEdit(TComponent* AOwner) : TEdit(AOwner) { SetMaxLength(12); }

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

// ---- TVormHyperlinkLabel ----

TVormHyperlinkLabel::TVormHyperlinkLabel(TComponent* AOwner) : TLabel(AOwner) {
  TFontDesc font = Font();
  font.Color = 0x00CD850E;  // RGB(14, 133, 205)
  font.Style |= fsUnderline;
  SetFont(font);
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
  if (msg == WM_SETCURSOR && !Screen().CursorHandle()) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
  }
  return TLabel::WndProc(msg, wParam, lParam);
}
