#include "support/Pump.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"
#include "toolkit/Clipbrd.h"
#include "toolkit/Mask.h"
#include "toolkit/ToolkitTestSupport.h"

namespace {

constexpr wchar_t kTime[] = L"99:99:99;1;_";

// What a user does, as a short script: plain characters are typed; {BS} {DEL} {HOME} {END}
// {LEFT} {RIGHT} press those keys, {SHIFTRIGHT} {SHIFTEND} extend the selection, {PASTE},
// {CUT}, {UNDO} and {CTRLBS} are Ctrl+V, Ctrl+X, Ctrl+Z and Ctrl+Backspace.
void RunScript(const std::wstring& script) {
  static const std::pair<const wchar_t*, std::pair<WORD, WORD>> keys[] = {
      {L"BS", {VK_BACK, 0}},         {L"DEL", {VK_DELETE, 0}},        {L"HOME", {VK_HOME, 0}},
      {L"END", {VK_END, 0}},         {L"LEFT", {VK_LEFT, 0}},         {L"RIGHT", {VK_RIGHT, 0}},
      {L"SHIFTRIGHT", {VK_RIGHT, VK_SHIFT}}, {L"SHIFTEND", {VK_END, VK_SHIFT}},
      {L"PASTE", {'V', VK_CONTROL}}, {L"CUT", {'X', VK_CONTROL}}, {L"CTRLBS", {VK_BACK, VK_CONTROL}},
      {L"UNDO", {'Z', VK_CONTROL}}};
  std::wstring typed;
  for (size_t i = 0; i < script.size(); ++i) {
    if (script[i] != L'{') {
      typed += script[i];
      continue;
    }
    TypeText(typed);
    typed.clear();
    const size_t end = script.find(L'}', i);
    const std::wstring name = script.substr(i + 1, end - i - 1);
    i = end;
    for (const auto& [keyName, key] : keys) {
      if (name != keyName) continue;
      if (key.second)
        PressKey(key.first, {key.second});
      else
        PressKey(key.first);
    }
  }
  TypeText(typed);
}

class MaskEditTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = NewForm(200, 60);
    edit = Place<TMaskEdit>(form.get(), form.get(), 8, 8, 120, 23);
    edit->OnKeyDown = [this](TObject*, unsigned short& key, TShiftState) {
      if (key == VK_F24) {
        ++sentinels;
        key = 0;
      }
    };
    edit->OnChange = [this](TObject*) { ++changes; };
  }
  void ShowFocused() {
    form->Show();
    ::SetForegroundWindow(form->Handle());
    edit->SetFocus();
    edit->SetSelection(0, 0);
  }
  // Runs the script and waits until the control has seen all of it.
  void Play(const std::wstring& script) {
    RunScript(script);
    PressKey(VK_F24);
    const int expected = sentinels + 1;
    ASSERT_TRUE(PumpUntil([&] { return sentinels == expected; }));
  }
  std::unique_ptr<TForm> form;
  TMaskEdit* edit = nullptr;
  int sentinels = 0;
  int changes = 0;
};

// ---- typed and pasted input ----

struct TInputCase {
  const char* name;
  const wchar_t* mask;
  const wchar_t* initial;  // set in code before the user starts (caret at the start)
  const wchar_t* clipboard;
  const wchar_t* script;
  const wchar_t* editText;
  const wchar_t* text;
};

class MaskEditInput : public MaskEditTest, public ::testing::WithParamInterface<TInputCase> {};

TEST_P(MaskEditInput, GivesTheEditTextAndTheSavedText) {
  const TInputCase& c = GetParam();
  edit->SetEditMask(c.mask);
  edit->SetText(c.initial);
  if (*c.clipboard) SetClipboardAsText(c.clipboard);
  ShowFocused();
  Play(c.script);
  EXPECT_EQ(edit->EditText(), c.editText);
  EXPECT_EQ(edit->Text(), c.text);
  EXPECT_EQ(edit->TControl::Text(), c.editText);  // the window shows the edit text
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MaskEditInput,
    ::testing::Values(
        TInputCase{"DigitsStepOverTheLiterals", kTime, L"", L"", L"123456", L"12:34:56", L"12:34:56"},
        TInputCase{"UnfilledPositionsAreBlanks", kTime, L"", L"", L"12", L"12:__:__", L"12:  :  "},
        TInputCase{"LiteralTypedEarlyJumpsAhead", kTime, L"", L"", L"9:5", L"9_:5_:__", L"9 :5 :  "},
        TInputCase{"LiteralTypedAfterTheCaretSkippedIt", kTime, L"", L"", L"12:34:5", L"12:34:5_", L"12:34:5 "},
        TInputCase{"WrongCharactersAreRefused", kTime, L"", L"", L"1a-2", L"12:__:__", L"12:  :  "},
        TInputCase{"TypingStopsAtTheEnd", kTime, L"", L"", L"1234567", L"12:34:56", L"12:34:56"},
        TInputCase{"TypingOverwrites", kTime, L"12:34:56", L"", L"{RIGHT}{RIGHT}{RIGHT}9", L"12:94:56", L"12:94:56"},
        TInputCase{"BackspaceBlanksAndStepsOverLiterals", kTime, L"12:34:56", L"", L"{END}{BS}{BS}{BS}",
                   L"12:3_:__", L"12:3 :  "},
        TInputCase{"BackspaceThenTypeRefills", kTime, L"12:34:56", L"", L"{END}{BS}{BS}07", L"12:34:07",
                   L"12:34:07"},
        TInputCase{"DeleteBlanksAndKeepsTheCaret", kTime, L"12:34:56", L"", L"{DEL}9", L"92:34:56", L"92:34:56"},
        TInputCase{"TypingReplacesTheSelection", kTime, L"12:34:56", L"", L"{SHIFTEND}7", L"7_:__:__",
                   L"7 :  :  "},
        TInputCase{"DeleteBlanksTheSelection", kTime, L"12:34:56", L"", L"{RIGHT}{RIGHT}{RIGHT}{SHIFTRIGHT}{DEL}",
                   L"12:_4:56", L"12: 4:56"},
        TInputCase{"CtrlBackspaceKeepsTheMask", kTime, L"12:34:56", L"", L"{END}{CTRLBS}", L"12:34:5_",
                   L"12:34:5 "},
        TInputCase{"UndoKeepsTheMask", kTime, L"", L"", L"12{BS}{UNDO}", L"1_:__:__", L"1 :  :  "},
        TInputCase{"PasteGoesThroughTheMask", kTime, L"", L"23:59:58", L"{PASTE}", L"23:59:58", L"23:59:58"},
        TInputCase{"PasteDropsWhatDoesNotFit", kTime, L"", L"1x2y3", L"{PASTE}", L"12:3_:__", L"12:3 :  "},
        TInputCase{"PasteStopsAtTheEnd", kTime, L"", L"123456789", L"{PASTE}", L"12:34:56", L"12:34:56"},
        TInputCase{"PasteReplacesTheSelection", kTime, L"12:34:56", L"0",
                   L"{RIGHT}{RIGHT}{RIGHT}{SHIFTRIGHT}{SHIFTRIGHT}{PASTE}", L"12:0_:56", L"12:0 :56"},
        TInputCase{"CutBlanksTheSelection", kTime, L"12:34:56", L"", L"{SHIFTEND}{CUT}", L"__:__:__",
                   L"  :  :  "},
        TInputCase{"LiteralsNotSaved", L"000-000;0;_", L"", L"", L"123456", L"123-456", L"123456"},
        TInputCase{"CaseConversion", L">LL<ll;1;*", L"", L"", L"abCD", L"ABcd", L"ABcd"},
        TInputCase{"OwnBlankCharacter", L"(999);1;*", L"", L"", L"4", L"(4**)", L"(4  )"},
        TInputCase{"BlankRefusedOnRequiredPositions", L"00;1;_", L"", L"", L" 1", L"1_", L"1 "},
        TInputCase{"BlankAllowedOnOptionalPositions", L"99;1;_", L"", L"", L" 1", L"_1", L" 1"},
        TInputCase{"EscapedLiteral", L"\\9\\;-0;1;_", L"", L"", L"7", L"9;-7", L"9;-7"},
        TInputCase{"WithoutMaskAPlainEdit", L"", L"", L"", L"a1:", L"a1:", L"a1:"}),
    TCaseName());

// ---- text set in code ----

struct TFormatCase {
  const char* name;
  const wchar_t* mask;
  const wchar_t* text;
  const wchar_t* editText;
};

class MaskFormat : public ::testing::TestWithParam<TFormatCase> {};

TEST_P(MaskFormat, TextSetInCodeFitsTheMask) {
  const TFormatCase& c = GetParam();
  auto form = NewForm(200, 60);
  auto* edit = Place<TMaskEdit>(form.get(), form.get(), 8, 8, 120, 23);
  edit->SetEditMask(c.mask);
  edit->SetText(c.text);
  EXPECT_EQ(edit->EditText(), c.editText) << "before the window exists";
  form->Show();
  EXPECT_EQ(edit->EditText(), c.editText);
  edit->SetText(c.text);
  EXPECT_EQ(edit->EditText(), c.editText);
}

INSTANTIATE_TEST_SUITE_P(Cases, MaskFormat,
                         ::testing::Values(TFormatCase{"Whole", L"99:99;1;_", L"09:05", L"09:05"},
                                           TFormatCase{"Empty", L"99:99;1;_", L"", L"__:__"},
                                           TFormatCase{"ShortParts", L"99:99;1;_", L"9:5", L"9_:5_"},
                                           TFormatCase{"SpacesAreBlanks", L"99:99;1;_", L"1 : 2", L"1_:_2"},
                                           TFormatCase{"TooLong", L"99:99;1;_", L"12:30:00", L"12:30"},
                                           TFormatCase{"NotFitting", L"99:99;1;_", L"ab", L"__:__"},
                                           TFormatCase{"WithoutLiterals", L"00-00;0;_", L"1234", L"12-34"},
                                           TFormatCase{"WithLiteralsGiven", L"00-00;0;_", L"12-34", L"12-34"}),
                         TCaseName());

TEST_F(MaskEditTest, NewMaskKeepsTheTextAsFarAsItFits) {
  edit->SetEditMask(L"99:99;1;_");
  edit->SetText(L"12:30");
  ShowFocused();
  edit->SetEditMask(kTime);
  EXPECT_EQ(edit->EditText(), L"12:30:__");
  edit->SetEditMask(L"99:99;1;_");
  EXPECT_EQ(edit->EditText(), L"12:30");
  edit->SetEditMask(L"");
  EXPECT_FALSE(edit->IsMasked());
  EXPECT_EQ(edit->Text(), L"12:30");
}

TEST_F(MaskEditTest, EveryKeystrokeIsOneChangeAndRefusedOnesNone) {
  edit->SetEditMask(kTime);
  ShowFocused();
  changes = 0;
  Play(L"1x2");
  EXPECT_EQ(changes, 2);
}

TEST_F(MaskEditTest, CompleteWhenEveryRequiredPositionIsFilled) {
  edit->SetEditMask(L"00-99;1;_");
  ShowFocused();
  EXPECT_FALSE(edit->EditComplete());
  Play(L"1");
  EXPECT_FALSE(edit->EditComplete());
  Play(L"2");
  EXPECT_TRUE(edit->EditComplete());  // the optional positions may stay blank
}

TEST_F(MaskEditTest, ReadOnlyEditTakesNoInput) {
  edit->SetEditMask(kTime);
  edit->SetText(L"12:34:56");
  edit->SetReadOnly(true);
  SetClipboardAsText(L"00:00:00");
  ShowFocused();
  Play(L"9{DEL}{BS}{PASTE}{SHIFTEND}{CUT}");
  EXPECT_EQ(edit->EditText(), L"12:34:56");
}

// Checks the text when the focus leaves, as the time field does.
class TCheckedEdit : public TMaskEdit {
public:
  using TMaskEdit::TMaskEdit;
  std::vector<std::string> Events;

protected:
  void ValidateEdit() override { Events.push_back(EditComplete() ? "valid" : "invalid"); }
};

TEST(MaskEditValidation, ValidateEditRunsWhenTheFocusLeavesBeforeOnExit) {
  auto form = NewForm(200, 80);
  auto* edit = Place<TCheckedEdit>(form.get(), form.get(), 8, 8, 120, 23);
  auto* other = Place<TEdit>(form.get(), form.get(), 8, 40, 120, 23);
  edit->SetEditMask(L"00;1;_");
  edit->OnEnter = [&](TObject*) { edit->Events.push_back("enter"); };
  edit->OnExit = [&](TObject*) { edit->Events.push_back("exit"); };
  form->Show();
  edit->SetFocus();
  other->SetFocus();
  edit->SetText(L"42");
  edit->SetFocus();
  other->SetFocus();
  EXPECT_EQ(edit->Events, (std::vector<std::string>{"enter", "invalid", "exit", "enter", "valid", "exit"}));
}

}  // namespace
