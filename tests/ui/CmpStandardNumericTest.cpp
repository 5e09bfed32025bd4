// The whole-number and decimal fields, driven by typed keys, pastes (Ctrl+V) and arrow keys;
// each case checks the text the field shows, the value it reads and the colours it paints with.
#include "ui/CmpStandard.h"

#include "CmpStandardFixture.h"

#include <cmath>
#include <vector>

namespace {

const std::wstring kThousandsOfDigits(5000, L'7');

// ---- TVormIntEdit ----

struct TIntSetup {
  bool negative = false;
  bool hex = false;
  int hexDigits = 2;
  bool emptyOnZero = true;
  int minValue = 0, maxValue = 0;
  bool readOnly = false;
};

const TIntSetup kPlain{};
const TIntSetup kNegative{true};
const TIntSetup kHex4{false, true, 4};
const TIntSetup kHexNegative{true, true, 4};
const TIntSetup kPort{false, false, 2, true, 1, 65535};

void Apply(TVormIntEdit& edit, const TIntSetup& s) {
  edit.SetNegativeAllowed(s.negative);
  edit.SetHexDigits(s.hexDigits);
  edit.SetHexadecimal(s.hex);
  edit.SetEmptyOnZero(s.emptyOnZero);
  edit.SetMinValue(s.minValue);
  edit.SetMaxValue(s.maxValue);
  edit.SetReadOnly(s.readOnly);
}

class IntEditTest : public ::testing::Test {
protected:
  void SetUp() override {
    edit = Place<TVormIntEdit>(&window.Form(), &window.Form(), 8, 8, 121, 23);
    window.Focus(*edit);
  }
  // Initial text, then the caret or selection (start -1: at the end).
  void Prepare(const TIntSetup& setup, const std::wstring& text, int selStart = -1, int selLength = 0) {
    Apply(*edit, setup);
    edit->SetText(text);
    edit->SetSelection(selStart < 0 ? static_cast<int>(text.size()) : selStart, selLength);
  }
  TInputForm window;
  TVormIntEdit* edit = nullptr;
};

struct TIntInputCase {
  const char* name;
  TIntSetup setup;
  const wchar_t* initial;
  int selStart, selLength;
  bool paste;  // the input is pasted rather than typed
  const wchar_t* input;
  const wchar_t* text;  // what the field shows then
  std::int32_t value;
  bool invalid;  // painted in the invalid-value colours
};

class IntEditInput : public IntEditTest, public ::testing::WithParamInterface<TIntInputCase> {};

TEST_P(IntEditInput, ShowsReadsAndColours) {
  const TIntInputCase& c = GetParam();
  Prepare(c.setup, c.initial, c.selStart, c.selLength);
  if (c.paste)
    window.Paste(c.input);
  else
    window.Type(c.input);
  EXPECT_EQ(edit->Text(), c.text);
  EXPECT_EQ(edit->AsInteger(), c.value);
  EXPECT_EQ(ShownColors(edit->Handle()), c.invalid ? InvalidColors() : ValidColors());
}

INSTANTIATE_TEST_SUITE_P(
    Typed, IntEditInput,
    ::testing::Values(
        TIntInputCase{"Digits", kPlain, L"", -1, 0, false, L"6702", L"6702", 6702, false},
        TIntInputCase{"LettersAndBlanksSwallowed", kPlain, L"", -1, 0, false, L"6a7 0x2.", L"6702", 6702, false},
        TIntInputCase{"AtMostEightCharacters", kPlain, L"", -1, 0, false, L"1234567890", L"12345678", 12345678, false},
        TIntInputCase{"MinusSwallowedWithoutNegatives", kPlain, L"", -1, 0, false, L"-5", L"5", 5, false},
        TIntInputCase{"MinusAtTheStart", kNegative, L"", -1, 0, false, L"-5", L"-5", -5, false},
        TIntInputCase{"SecondMinusSwallowed", kNegative, L"", -1, 0, false, L"-5-", L"-5", -5, false},
        TIntInputCase{"MinusAfterDigitsSwallowed", kNegative, L"12", -1, 0, false, L"-", L"12", 12, false},
        TIntInputCase{"MinusInFrontOfMinusSwallowed", kNegative, L"-12", 0, 0, false, L"-", L"-12", -12, false},
        TIntInputCase{"MinusReplacesSelectedDigits", kNegative, L"12", 0, 2, false, L"-", L"-", 0, false},
        TIntInputCase{"DigitInFrontOfMinusSwallowed", kNegative, L"-12", 0, 0, false, L"3", L"-12", -12, false},
        TIntInputCase{"DigitReplacesSelectedMinus", kNegative, L"-12", 0, 1, false, L"3", L"312", 312, false},
        TIntInputCase{"HexLowerCaseBecomesUpper", kHex4, L"", -1, 0, false, L"ff", L"FF", 255, false},
        TIntInputCase{"HexLetterBeyondFSwallowed", kHex4, L"", -1, 0, false, L"fg", L"F", 15, false},
        TIntInputCase{"HexAtMostHexDigits", kHex4, L"", -1, 0, false, L"123456", L"1234", 0x1234, false},
        TIntInputCase{"HexNeverTakesMinus", kHexNegative, L"", -1, 0, false, L"-a", L"A", 10, false},
        TIntInputCase{"BelowRange", kPort, L"", -1, 0, false, L"0", L"0", 0, true},
        TIntInputCase{"InsideRange", kPort, L"", -1, 0, false, L"6702", L"6702", 6702, false},
        TIntInputCase{"AboveRange", kPort, L"", -1, 0, false, L"65536", L"65536", 65536, true},
        TIntInputCase{"TypedBackIntoRange", kPort, L"65536", -1, 0, false, L"\b", L"6553", 6553, false}),
    TCaseName());

INSTANTIATE_TEST_SUITE_P(
    Pasted, IntEditInput,
    ::testing::Values(
        TIntInputCase{"Digits", kPlain, L"", -1, 0, true, L"6702", L"6702", 6702, false},
        TIntInputCase{"LineCopiedWithItsBreak", kPlain, L"", -1, 0, true, L"  6702\r\n", L"6702", 6702, false},
        TIntInputCase{"LettersRefusedWhole", kPlain, L"12", -1, 0, true, L"34a", L"12", 12, false},
        TIntInputCase{"ThousandsOfDigitsRefused", kPlain, L"12", -1, 0, true, kThousandsOfDigits.c_str(), L"12", 12,
                      false},
        TIntInputCase{"TooLongForTheFieldRefused", kPlain, L"", -1, 0, true, L"123456789", L"", 0, false},
        TIntInputCase{"ReplacesTheSelection", kPlain, L"1299", 2, 2, true, L"34", L"1234", 1234, false},
        TIntInputCase{"FillsTheFieldExactly", kPlain, L"1234", -1, 0, true, L"5678", L"12345678", 12345678, false},
        TIntInputCase{"NegativeRefusedWithoutNegatives", kPlain, L"", -1, 0, true, L"-42", L"", 0, false},
        TIntInputCase{"Negative", kNegative, L"", -1, 0, true, L"-42", L"-42", -42, false},
        TIntInputCase{"MinusInsideRefused", kNegative, L"5", -1, 0, true, L"-3", L"5", 5, false},
        TIntInputCase{"DigitsInFrontOfMinusRefused", kNegative, L"-5", 0, 0, true, L"3", L"-5", -5, false},
        TIntInputCase{"DecimalNumberRefused", kPlain, L"", -1, 0, true, L"6702.5", L"", 0, false},
        TIntInputCase{"HexLowerCase", kHex4, L"", -1, 0, true, L"1a", L"1A", 26, false},
        TIntInputCase{"HexDollarPrefixDropped", kHex4, L"", -1, 0, true, L"$ff", L"FF", 255, false},
        TIntInputCase{"HexCPrefixDropped", kHex4, L"", -1, 0, true, L"0x7fff", L"7FFF", 0x7FFF, false},
        TIntInputCase{"HexLetterBeyondFRefused", kHex4, L"A", -1, 0, true, L"fg", L"A", 10, false},
        TIntInputCase{"OutOfRangeColoured", kPort, L"", -1, 0, true, L"70000", L"70000", 70000, true},
        TIntInputCase{"WhitespaceOnlyChangesNothing", kPlain, L"12", -1, 0, true, L" \r\n", L"12", 12, false}),
    TCaseName());

struct TIntStepCase {
  const char* name;
  TIntSetup setup;
  const wchar_t* initial;
  WORD key;
  bool shift;
  const wchar_t* text;
  bool invalid;
};

class IntEditStep : public IntEditTest, public ::testing::WithParamInterface<TIntStepCase> {};

TEST_P(IntEditStep, ArrowKeysStepByOne) {
  const TIntStepCase& c = GetParam();
  Prepare(c.setup, c.initial);
  if (c.shift)
    window.Press(c.key, {VK_SHIFT});
  else
    window.Press(c.key);
  EXPECT_EQ(edit->Text(), c.text);
  EXPECT_EQ(ShownColors(edit->Handle()).Text, (c.invalid ? InvalidColors() : ValidColors()).Text);
}

const TIntSetup kKeepZero{false, false, 2, false};
const TIntSetup kSmallRange{false, false, 2, true, 1, 10};
const TIntSetup kReadOnly{false, false, 2, true, 0, 0, true};
const TIntSetup kHex16{true, true, 16};

INSTANTIATE_TEST_SUITE_P(
    Steps, IntEditStep,
    ::testing::Values(TIntStepCase{"UpOnEmpty", kPlain, L"", VK_UP, false, L"1", false},
                      TIntStepCase{"UpOnNumber", kPlain, L"6702", VK_UP, false, L"6703", false},
                      TIntStepCase{"DownOnOneEmpties", kPlain, L"1", VK_DOWN, false, L"", false},
                      TIntStepCase{"DownOnOneShowsZero", kKeepZero, L"1", VK_DOWN, false, L"0", false},
                      TIntStepCase{"DownOnEmptyStaysEmpty", kPlain, L"", VK_DOWN, false, L"", false},
                      TIntStepCase{"DownOnEmptyWithNegatives", kNegative, L"", VK_DOWN, false, L"-1", false},
                      TIntStepCase{"ShiftDoesNotScale", kPlain, L"5", VK_UP, true, L"6", false},
                      TIntStepCase{"RangeDoesNotStop", kSmallRange, L"10", VK_UP, false, L"11", true},
                      TIntStepCase{"StepBackIntoRange", kSmallRange, L"11", VK_DOWN, false, L"10", false},
                      TIntStepCase{"HexCarries", kHex4, L"00FF", VK_UP, false, L"0100", false},
                      TIntStepCase{"ReadOnlyStaysPut", kReadOnly, L"5", VK_UP, false, L"5", false},
                      TIntStepCase{"TopOf64BitsStaysPut", kHex16, L"7FFFFFFFFFFFFFFF", VK_UP, false,
                                   L"7FFFFFFFFFFFFFFF", false}),
    TCaseName());

TEST_F(IntEditTest, ValueWrites) {
  Prepare(kPlain, L"");
  EXPECT_EQ(edit->AsInteger(), 0);
  edit->SetAsInteger(0);
  EXPECT_EQ(edit->Text(), L"");
  edit->SetAsInteger(5);
  EXPECT_EQ(edit->Text(), L"5");
  edit->SetAsInteger(-3);
  EXPECT_EQ(edit->Text(), L"");  // negatives not allowed
  edit->SetNegativeAllowed(true);
  edit->SetAsInteger(-12);
  EXPECT_EQ(edit->Text(), L"-12");
  edit->SetNegativeAllowed(false);
  EXPECT_EQ(edit->Text(), L"12");
  edit->SetEmptyOnZero(false);
  edit->SetAsInteger(0);
  EXPECT_EQ(edit->Text(), L"0");
  edit->SetEmptyOnZero(true);
  EXPECT_EQ(edit->Text(), L"");
  edit->SetAsInt64(9876543210LL);
  EXPECT_EQ(edit->AsInt64(), 9876543210LL);
  EXPECT_EQ(edit->AsInteger(), 0);  // does not fit 32 bits
  edit->SetText(L" 42 ");
  EXPECT_EQ(edit->AsInteger(), 42);
  edit->SetText(L"$FF");  // a hexadecimal prefix is no decimal number
  EXPECT_EQ(edit->AsInteger(), 0);
}

TEST_F(IntEditTest, HexadecimalMode) {
  Prepare(kPlain, L"");
  edit->SetAsInteger(255);
  edit->SetHexadecimal(true);
  EXPECT_EQ(edit->Text(), L"FF");
  EXPECT_EQ(edit->MaxLength(), 2);
  edit->SetHexDigits(0);
  edit->SetHexDigits(17);
  EXPECT_EQ(edit->HexDigits(), 2);
  edit->SetHexDigits(4);
  EXPECT_EQ(edit->Text(), L"00FF");
  EXPECT_EQ(edit->MaxLength(), 4);
  edit->SetAsInteger(255);
  EXPECT_EQ(edit->Text(), L"00FF");
  edit->SetEmptyOnZero(false);
  edit->SetAsInteger(0);
  EXPECT_EQ(edit->Text(), L"0000");
  edit->SetNegativeAllowed(true);
  edit->SetAsInteger(-1);  // the 32-bit pattern reads back as -1
  EXPECT_EQ(edit->Text(), L"FFFFFFFF");
  EXPECT_EQ(edit->AsInteger(), -1);
  edit->SetAsInt64(-1);
  EXPECT_EQ(edit->Text(), L"FFFFFFFFFFFFFFFF");
  EXPECT_EQ(edit->AsInt64(), -1);
  edit->SetAsInteger(4660);
  edit->SetHexadecimal(false);
  EXPECT_EQ(edit->Text(), L"4660");
  EXPECT_EQ(edit->MaxLength(), 4);  // switching back keeps the length
}

TEST_F(IntEditTest, RangeColoursFollowEveryChange) {
  Prepare(kPlain, L"");
  EXPECT_EQ(ShownColors(edit->Handle()), ValidColors());
  edit->SetMinValue(1);
  edit->SetMaxValue(65535);
  EXPECT_EQ(ShownColors(edit->Handle()), InvalidColors());  // empty reads as 0
  edit->SetAsInteger(6702);
  EXPECT_EQ(ShownColors(edit->Handle()), ValidColors());
  edit->SetMaxValue(100);
  EXPECT_EQ(ShownColors(edit->Handle()), InvalidColors());
  edit->SetMinValue(100);  // equal bounds: no range
  EXPECT_EQ(ShownColors(edit->Handle()), ValidColors());
}

TEST_F(IntEditTest, InvalidValueIsPaintedLightRed) {
  Prepare(kPort, L"");
  edit->SetText(L"99999");
  RECT r;
  ::GetClientRect(edit->Handle(), &r);
  const POINT inside{r.right - 3, r.bottom / 2};  // right of the digits
  auto pixel = [&] {
    HDC dc = ::GetDC(edit->Handle());
    COLORREF c = ::GetPixel(dc, inside.x, inside.y);
    ::ReleaseDC(edit->Handle(), dc);
    return c;
  };
  EXPECT_TRUE(PumpUntil([&] { return pixel() == RGB(255, 230, 230); })) << std::hex << pixel();
  edit->SetText(L"6702");
  EXPECT_TRUE(PumpUntil([&] { return pixel() == ::GetSysColor(COLOR_WINDOW); })) << std::hex << pixel();
}

TEST_F(IntEditTest, IncrementAndDecrementStopAtTheGivenBound) {
  Prepare(kPlain, L"");
  edit->SetAsInteger(8);
  edit->Increment(10, 2);
  EXPECT_EQ(edit->AsInteger(), 10);
  edit->Increment(10, 1);
  EXPECT_EQ(edit->AsInteger(), 10);
  edit->Decrement(5, 5);
  EXPECT_EQ(edit->AsInteger(), 5);
  edit->Decrement(5, 1);
  EXPECT_EQ(edit->AsInteger(), 5);
  edit->Increment(2147483647, 2147483647);  // no overflow on the way
  EXPECT_EQ(edit->AsInteger(), 5);
}

TEST_F(IntEditTest, FilterRunsBeforeTheUserSeesTheKey) {
  Prepare(kHex4, L"");
  std::wstring seen;
  edit->OnKeyPress = [&](TObject*, wchar_t& key) { seen += key; };
  window.Type(L"aXg1");
  EXPECT_EQ(seen, L"A1");  // swallowed keys never reach the event; the letter arrives upper-cased
  EXPECT_EQ(edit->Text(), L"A1");
}

TEST_F(IntEditTest, UserKeyDownComesFirstAndMayTakeTheKey) {
  Prepare(kPlain, L"5");
  std::wstring seenText;
  edit->OnKeyDown = [&](TObject*, unsigned short& key, TShiftState) {
    seenText = edit->Text();
    if (key == VK_DOWN) key = 0;
  };
  window.Press(VK_UP);
  EXPECT_EQ(seenText, L"5");  // before the step
  EXPECT_EQ(edit->Text(), L"6");
  window.Press(VK_DOWN);
  EXPECT_EQ(edit->Text(), L"6");
}

TEST_F(IntEditTest, ChangeEventFiresBeforeTheColourIsSet) {
  Prepare(kPort, L"");
  std::vector<bool> validWhenChanged;
  edit->OnChange = [&](TObject*) { validWhenChanged.push_back(ShownColors(edit->Handle()) == ValidColors()); };
  window.Type(L"6");
  ASSERT_EQ(validWhenChanged.size(), 1u);
  EXPECT_FALSE(validWhenChanged[0]);  // still the colour of the empty field
  EXPECT_EQ(ShownColors(edit->Handle()), ValidColors());
}

// ---- TVormDecimalEdit ----

// Expected texts write the locale's decimal separator as "·".
std::wstring Localized(const wchar_t* text) {
  std::wstring s = text;
  for (wchar_t& c : s)
    if (c == L'\u00B7') c = DecimalSeparatorChar(dsFromLocale);
  return s;
}

struct TDecimalSetup {
  TDecimalSeparator separator = dsDot;
  int decimals = 2;
  bool negative = false;
  bool trailingZeros = true;
  bool emptyOnZero = true;
};

const TDecimalSetup kDot{};
const TDecimalSetup kDotNegative{dsDot, 2, true};
const TDecimalSetup kLocale{dsFromLocale};
const TDecimalSetup kNoDecimals{dsDot, 0};

class DecimalEditTest : public ::testing::Test {
protected:
  void SetUp() override {
    edit = Place<TVormDecimalEdit>(&window.Form(), &window.Form(), 8, 8, 121, 23);
    window.Focus(*edit);
  }
  void Prepare(const TDecimalSetup& s, const std::wstring& text, int selStart = -1, int selLength = 0) {
    edit->SetDecimalSeparator(s.separator);
    edit->SetDecimals(s.decimals);
    edit->SetNegativeAllowed(s.negative);
    edit->SetTrailingZeros(s.trailingZeros);
    edit->SetEmptyOnZero(s.emptyOnZero);
    edit->SetText(text);
    edit->SetSelection(selStart < 0 ? static_cast<int>(text.size()) : selStart, selLength);
  }
  TInputForm window;
  TVormDecimalEdit* edit = nullptr;
};

struct TDecimalInputCase {
  const char* name;
  TDecimalSetup setup;
  const wchar_t* initial;
  int selStart, selLength;
  bool paste;
  const wchar_t* input;
  const wchar_t* text;  // "·" stands for the locale's separator
  double value;
};

class DecimalEditInput : public DecimalEditTest, public ::testing::WithParamInterface<TDecimalInputCase> {};

TEST_P(DecimalEditInput, ShowsAndReads) {
  const TDecimalInputCase& c = GetParam();
  Prepare(c.setup, Localized(c.initial), c.selStart, c.selLength);
  if (c.paste)
    window.Paste(c.input);
  else
    window.Type(c.input);
  EXPECT_EQ(edit->Text(), Localized(c.text));
  EXPECT_DOUBLE_EQ(edit->AsFloat(), c.value);
  EXPECT_EQ(ShownColors(edit->Handle()), ValidColors());  // no range, no invalid colours
}

INSTANTIATE_TEST_SUITE_P(
    Typed, DecimalEditInput,
    ::testing::Values(
        TDecimalInputCase{"DigitsAndSeparator", kDot, L"", -1, 0, false, L"3.5", L"3.5", 3.5},
        TDecimalInputCase{"CommaTypesTheSeparator", kDot, L"", -1, 0, false, L"3,5", L"3.5", 3.5},
        TDecimalInputCase{"DotTypesTheLocaleSeparator", kLocale, L"", -1, 0, false, L"3.5", L"3·5", 3.5},
        TDecimalInputCase{"SecondSeparatorSwallowed", kDot, L"", -1, 0, false, L"3.5.1", L"3.51", 3.51},
        TDecimalInputCase{"ThirdDecimalSwallowed", kDot, L"", -1, 0, false, L"3.141", L"3.14", 3.14},
        TDecimalInputCase{"DigitBeforeTheSeparator", kDot, L"3.14", 0, 0, false, L"1", L"13.14", 13.14},
        TDecimalInputCase{"SeparatorInFrontOfTwoDigits", kDot, L"314", 1, 0, false, L".", L"3.14", 3.14},
        TDecimalInputCase{"SeparatorInFrontOfThreeDigitsSwallowed", kDot, L"3141", 1, 0, false, L".", L"3141",
                          3141},
        TDecimalInputCase{"LettersSwallowed", kDot, L"", -1, 0, false, L"1a2e3", L"123", 123},
        TDecimalInputCase{"MinusSwallowedWithoutNegatives", kDot, L"", -1, 0, false, L"-3", L"3", 3},
        TDecimalInputCase{"Negative", kDotNegative, L"", -1, 0, false, L"-3.5", L"-3.5", -3.5},
        TDecimalInputCase{"MinusInsideSwallowed", kDotNegative, L"", -1, 0, false, L"3-5", L"35", 35},
        TDecimalInputCase{"DigitInFrontOfMinusSwallowed", kDotNegative, L"-3", 0, 0, false, L"1", L"-3", -3},
        TDecimalInputCase{"NoDecimalsSeparatorButNoDigitAfterIt", kNoDecimals, L"", -1, 0, false, L"5.1", L"5.",
                          5},
        TDecimalInputCase{"AtMostTwelveCharacters", kDot, L"", -1, 0, false, L"12345678901234",
                          L"123456789012", 123456789012.0},
        TDecimalInputCase{"Backspace", kDot, L"3.14", -1, 0, false, L"\b", L"3.1", 3.1}),
    TCaseName());

INSTANTIATE_TEST_SUITE_P(
    Pasted, DecimalEditInput,
    ::testing::Values(
        TDecimalInputCase{"Number", kDot, L"", -1, 0, true, L"12.75", L"12.75", 12.75},
        TDecimalInputCase{"CommaBecomesTheSeparator", kDot, L"", -1, 0, true, L"12,75", L"12.75", 12.75},
        TDecimalInputCase{"LocaleSeparator", kLocale, L"", -1, 0, true, L"12.75", L"12·75", 12.75},
        TDecimalInputCase{"LineCopiedWithItsBreak", kDot, L"", -1, 0, true, L"\t12.75\r\n", L"12.75", 12.75},
        TDecimalInputCase{"GroupedNumberRefused", kDot, L"", -1, 0, true, L"1,234.50", L"", 0},
        TDecimalInputCase{"TooManyDecimalsRefused", kDot, L"", -1, 0, true, L"3.14159", L"", 0},
        TDecimalInputCase{"UnitRefused", kDot, L"1", -1, 0, true, L"2 EUR", L"1", 1},
        TDecimalInputCase{"ExponentRefused", kDot, L"", -1, 0, true, L"1e5", L"", 0},
        TDecimalInputCase{"ThousandsOfDigitsRefused", kDot, L"1", -1, 0, true, kThousandsOfDigits.c_str(), L"1", 1},
        TDecimalInputCase{"TooLongForTheFieldRefused", kDot, L"", -1, 0, true, L"1234567890123", L"", 0},
        TDecimalInputCase{"SecondSeparatorRefused", kDot, L"1.5", -1, 0, true, L".5", L"1.5", 1.5},
        TDecimalInputCase{"NegativeRefusedWithoutNegatives", kDot, L"", -1, 0, true, L"-5", L"", 0},
        TDecimalInputCase{"Negative", kDotNegative, L"", -1, 0, true, L"-5.25", L"-5.25", -5.25},
        TDecimalInputCase{"ReplacesTheSelection", kDot, L"19.99", 0, 2, true, L"24", L"24.99", 24.99}),
    TCaseName());

TEST_F(DecimalEditTest, FloatWrites) {
  Prepare(kLocale, L"");
  edit->SetAsFloat(3.5);
  EXPECT_EQ(edit->Text(), Localized(L"3·50"));
  edit->SetTrailingZeros(false);
  EXPECT_EQ(edit->Text(), Localized(L"3·5"));
  edit->SetAsFloat(3.0);
  EXPECT_EQ(edit->Text(), L"3");
  edit->SetAsFloat(0);
  EXPECT_EQ(edit->Text(), L"");
  edit->SetEmptyOnZero(false);
  EXPECT_EQ(edit->Text(), L"0");
  edit->SetTrailingZeros(true);
  EXPECT_EQ(edit->Text(), Localized(L"0·00"));
  edit->SetAsFloat(-2.5);
  EXPECT_EQ(edit->Text(), L"");  // negatives not allowed
  edit->SetNegativeAllowed(true);
  edit->SetAsFloat(-2.5);
  EXPECT_EQ(edit->Text(), Localized(L"-2·50"));
  edit->SetNegativeAllowed(false);
  EXPECT_EQ(edit->Text(), L"");
  edit->SetAsFloat(1234567.125);
  EXPECT_EQ(edit->Text(), Localized(L"1234567·13"));  // rounded, no grouping
  edit->SetDecimals(3);
  EXPECT_EQ(edit->Text(), Localized(L"1234567·130"));
  edit->SetDecimals(0);
  EXPECT_EQ(edit->Text(), L"1234567");
  edit->SetAsFloat(NAN);
  EXPECT_EQ(edit->Text(), L"");
}

TEST_F(DecimalEditTest, SwitchingTheSeparatorKeepsTheText) {
  Prepare(kLocale, L"");
  edit->SetAsFloat(12.75);
  edit->SetDecimalSeparator(dsDot);
  EXPECT_EQ(edit->Text(), L"12.75");
  EXPECT_EQ(edit->DecSep(), L'.');
  EXPECT_DOUBLE_EQ(edit->AsFloat(), 12.75);
  edit->SetDecimalSeparator(dsFromLocale);
  EXPECT_EQ(edit->Text(), Localized(L"12·75"));
}

TEST_F(DecimalEditTest, CurrencyIsExactInDecimal) {
  Prepare(kLocale, L"");
  EXPECT_EQ(edit->AsCurrency(), TCurrency{});
  edit->SetText(L"-");
  EXPECT_EQ(edit->AsCurrency(), TCurrency{});
  edit->SetAsCurrency(TCurrency{});
  EXPECT_EQ(edit->Text(), L"");
  edit->SetAsCurrency(TCurrency::FromScaled(12345000));
  EXPECT_EQ(edit->Text(), Localized(L"1234·50"));
  EXPECT_EQ(edit->AsCurrency(), TCurrency::FromScaled(12345000));
  edit->SetAsCurrency(TCurrency::FromScaled(10050));  // 1.005 rounds up, as written
  EXPECT_EQ(edit->Text(), Localized(L"1·01"));
  edit->SetAsCurrency(TCurrency::FromScaled(-25000));  // shown although it cannot be typed
  EXPECT_EQ(edit->Text(), Localized(L"-2·50"));
  EXPECT_EQ(edit->AsCurrency(), TCurrency::FromScaled(-25000));
  edit->SetTrailingZeros(false);
  edit->SetAsCurrency(TCurrency::FromScaled(30000));
  EXPECT_EQ(edit->Text(), L"3");
  edit->SetDecimals(0);
  edit->SetAsCurrency(TCurrency::FromScaled(100000));
  EXPECT_EQ(edit->Text(), L"10");  // no decimals: the zeros of the number stay
  edit->SetDecimalSeparator(dsDot);
  edit->SetText(L"922337203685477.5807");  // the largest amount
  EXPECT_EQ(edit->AsCurrency(), TCurrency::FromScaled(9223372036854775807LL));
  edit->SetText(L"922337203685477.5808");
  EXPECT_EQ(edit->AsCurrency(), TCurrency{});  // beyond 64 bits reads as 0
  edit->SetText(L"0.00005");
  EXPECT_EQ(edit->AsCurrency(), TCurrency::FromScaled(1));
}

TEST_F(DecimalEditTest, UserKeyPressComesBeforeTheFilter) {
  Prepare(kDot, L"");
  std::wstring seen;
  edit->OnKeyPress = [&](TObject*, wchar_t& key) {
    seen += key;
    if (key == L'9') key = 0;  // the user's event may take a key
  };
  window.Type(L"1,x9");
  EXPECT_EQ(seen, L"1,x9");  // unfiltered, as typed
  EXPECT_EQ(edit->Text(), L"1.");
}

}  // namespace
