// The value query dialog driven as a user drives it: every kind of query once confirmed and once
// cancelled, with the result and the caller's variable after each, and the layout rules.
#include "base/DateTime.h"
#include "base/Misc.h"
#include "lang/DmLang.h"
#include "support/Pump.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"
#include "toolkit/CheckLst.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"
#include "ui/CmpStandard.h"
#include "ui/FraDateRange.h"
#include "ui/MemorySettings.h"
#include "ui/QueryDriver.h"
#include "ui/TextMeasure.h"
#include "ui/UiTestSupport.h"
#include "ui/WinHelpers.h"

#include <cmath>
#include <functional>
#include <map>

namespace {

std::vector<std::wstring> gMessages;

int RecordMsgBox3(const std::wstring& headline, const std::wstring& message, const std::wstring&, std::uint32_t,
                  TForm*) {
  gMessages.push_back(headline + L"|" + message);
  return IDOK;
}

// The controls of the window that are showing, by name, of those that belong to one kind.
std::vector<std::wstring> ShownEditors(const TFrmQueryValue& q) {
  const TControl* editors[] = {q.MmoText,   q.LstOption, q.LblDetails, q.ChkBoolean,  q.LstCheckbox,
                               q.PnlCheckAllNone, q.EdtText, q.EdtInteger, q.EdtDecimal, q.DtpDate,
                               q.ChkDateTime, q.EdtTime, q.FraDateRange};
  std::vector<std::wstring> shown;
  for (const TControl* c : editors)
    if (c->HandleAllocated() && ::IsWindowVisible(c->Handle())) shown.push_back(c->Name());
  return shown;
}

// The window ends with the button panel right under the control.
void ExpectEndsUnder(const TFrmQueryValue& q, const TControl& control) {
  RECT r = WindowRectOf(control.Handle());
  ::MapWindowPoints(nullptr, q.Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(ClientRectOf(q.Handle()).bottom, r.bottom + q.Scale(50)) << testing::PrintToString(control.Name());
}

// Clicks a point of a window's client area (design pixels) with the left button, twice for a
// double click.
void ClickAt(HWND wnd, POINT client, bool twice) {
  ::ClientToScreen(wnd, &client);
  ::SetCursorPos(client.x, client.y);
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  std::vector<INPUT> input;
  for (int n = 0; n < (twice ? 2 : 1); ++n)
    for (DWORD flag : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
      INPUT in{};
      in.type = INPUT_MOUSE;
      in.mi.dx = ::MulDiv(client.x, 65535, w - 1);
      in.mi.dy = ::MulDiv(client.y, 65535, h - 1);
      in.mi.dwFlags = flag | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
      input.push_back(in);
    }
  ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

// The middle of a list entry, in the list's client pixels.
POINT EntryPoint(HWND list, int index) {
  RECT r{};
  ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

int VisibleRows(HWND list) {
  const auto itemHeight = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  return ClientRectOf(list).bottom / itemHeight;
}

class QueryValue : public ::testing::Test {
protected:
  void SetUp() override {
    gMessages.clear();
    SetMsgBoxProcs(nullptr, nullptr, RecordMsgBox3);
  }
  void TearDown() override {
    if (DmLangQel) DmLangQel->LangDisp->SetActiveLanguage(1);
  }
  TKeepMsgBoxProcs keepHooks;
  TFrmQueryValue* q = nullptr;
};

// ---- whole numbers (the port dialog) ----

TEST_F(QueryValue, PortQueryShowsTheBoldPromptAndThePortAndTakesTheTypedNumber) {
  std::int32_t port = 6702;
  TQueryScript script({WaitForQuery(q), Do([&] {
                         EXPECT_EQ(WindowTextOf(q->Handle()), L"Abfrage");
                         EXPECT_EQ(WindowTextOf(q->LblCaption->Handle()), L"Port-Nummer");
                         EXPECT_TRUE(q->LblCaption->Font().Style & fsBold);
                         EXPECT_EQ(WindowTextOf(q->EdtInteger->Handle()), L"6702");
                         EXPECT_FALSE(q->EdtInteger->NegativeAllowed());
                         EXPECT_EQ(::GetFocus(), q->EdtInteger->Handle());
                         EXPECT_EQ(WindowTextOf(q->BtnOK->Handle()), L"&OK");
                         EXPECT_EQ(WindowTextOf(q->BtnCancel->Handle()), L"Abbrechen");
                         EXPECT_EQ(ShownEditors(*q), std::vector<std::wstring>{L"EdtInteger"});
                         EXPECT_EQ(q->ClientWidth(), 309);
                         ExpectEndsUnder(*q, *q->EdtInteger);
                       }),
                       Type(L"-4711"), [&] { return q->EdtInteger->Text() == L"4711"; }, Key(VK_RETURN)});
  EXPECT_TRUE(script.Run([&] { return TFrmQueryValue::QueryInteger(L"Port-Nummer", port, true); }));
  EXPECT_EQ(port, 4711);
}

TEST_F(QueryValue, TheDefaultBorderFollowsTheFocusRoundTheButtonsAndBackToOk) {
  std::int32_t port = 6702;
  // Waits until the focus is on a control of the query and checks which push button shows the
  // default button's border then.
  auto focusOn = [&](std::function<TControl*()> control, const std::wstring& bordered) -> TStep {
    return [this, control, bordered] {
      if (!control()->Focused()) return false;
      std::wstring shown;
      for (TButton* button : {q->BtnOK, q->BtnCancel})
        if ((::GetWindowLongPtrW(button->Handle(), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
          shown += button->Name();
      EXPECT_EQ(shown, bordered) << "with the focus on " << testing::PrintToString(control()->Name());
      return true;
    };
  };
  auto field = [this]() -> TControl* { return q->EdtInteger; };
  auto ok = [this]() -> TControl* { return q->BtnOK; };
  auto cancel = [this]() -> TControl* { return q->BtnCancel; };
  TQueryScript script({WaitForQuery(q), focusOn(field, L"BtnOK"), Key(VK_TAB), focusOn(ok, L"BtnOK"), Key(VK_TAB),
                       focusOn(cancel, L"BtnCancel"), Key(VK_TAB), focusOn(field, L"BtnOK"), Type(L"4711"),
                       [&] { return q->EdtInteger->Text() == L"4711"; }, Key(VK_RETURN)});
  EXPECT_TRUE(script.Run([&] { return TFrmQueryValue::QueryInteger(L"Port-Nummer", port, true); }));
  EXPECT_EQ(port, 4711);  // Enter in the field still confirms
}

TEST_F(QueryValue, PortQueryCancelledWithEscLeavesThePort) {
  std::int32_t port = 6702;
  TQueryScript script({WaitForQuery(q), Type(L"99"), [&] { return q->EdtInteger->Text() == L"99"; }, Key(VK_ESCAPE)});
  EXPECT_FALSE(script.Run([&] { return TFrmQueryValue::QueryInteger(L"Port-Nummer", port, true); }));
  EXPECT_EQ(port, 6702);
}

TEST_F(QueryValue, EmptiedIntegerFieldConfirmedWithTheMouseGivesZero) {
  std::int32_t value = 6702;
  TQueryScript script({WaitForQuery(q), Key(VK_BACK), [&] { return q->EdtInteger->Text().empty(); },
                       Do([&] { ClickWithMouse(q->BtnOK->Handle()); })});
  EXPECT_TRUE(script.Run([&] { return TFrmQueryValue::QueryInteger(L"Port-Nummer", value, true); }));
  EXPECT_EQ(value, 0);
}

TEST_F(QueryValue, NegativeNumbersWhenNotPositiveOnly) {
  std::int32_t value = 5;
  TQueryScript script({WaitForQuery(q), Type(L"-12"), [&] { return q->EdtInteger->Text() == L"-12"; },
                       Key(VK_RETURN)});
  EXPECT_TRUE(script.Run([&] { return TFrmQueryValue::QueryInteger(L"Abstand", value, false); }));
  EXPECT_EQ(value, -12);
}

// ---- decimal numbers and money ----

TEST_F(QueryValue, CurrencyTakesTheTypedAmountAndEscLeavesIt) {
  const std::wstring sep(1, DecimalSeparatorChar(dsFromLocale));
  TCurrency amount = TCurrency::FromScaled(12345000);  // 1234.5
  TQueryScript ok({WaitForQuery(q), Do([&] {
                     EXPECT_EQ(q->EdtDecimal->Text(), L"1234" + sep + L"50");
                     EXPECT_EQ(ShownEditors(*q), std::vector<std::wstring>{L"EdtDecimal"});
                     ExpectEndsUnder(*q, *q->EdtDecimal);
                   }),
                   Type(L"99.5"), [&] { return q->EdtDecimal->Text() == L"99" + sep + L"5"; }, Key(VK_RETURN)});
  EXPECT_TRUE(ok.Run([&] { return TFrmQueryValue::QueryCurrency(L"Betrag", amount, 2, true); }));
  EXPECT_EQ(amount.Scaled, 995000);

  TQueryScript cancel({WaitForQuery(q), Type(L"1"), Key(VK_ESCAPE)});
  EXPECT_FALSE(cancel.Run([&] { return TFrmQueryValue::QueryCurrency(L"Betrag", amount, 2, true); }));
  EXPECT_EQ(amount.Scaled, 995000);
}

TEST_F(QueryValue, FloatWithThreeDecimalsAndASign) {
  const std::wstring sep(1, DecimalSeparatorChar(dsFromLocale));
  double value = 0;
  TQueryScript ok({WaitForQuery(q), Do([&] { EXPECT_EQ(q->EdtDecimal->Text(), L""); }), Type(L"-2,1254"),
                   [&] { return q->EdtDecimal->Text() == L"-2" + sep + L"125"; }, Key(VK_RETURN)});
  EXPECT_TRUE(ok.Run([&] { return TFrmQueryValue::QueryFloat(L"Faktor", value, 3, false); }));
  EXPECT_DOUBLE_EQ(value, -2.125);

  TQueryScript cancel({WaitForQuery(q), Key(VK_ESCAPE)});
  EXPECT_FALSE(cancel.Run([&] { return TFrmQueryValue::QueryFloat(L"Faktor", value, 3, false); }));
  EXPECT_DOUBLE_EQ(value, -2.125);
}

// ---- yes/no and text ----

TEST_F(QueryValue, BooleanIsTheCheckBoxWithThePromptAsCaption) {
  bool value = false;
  TQueryScript ok({WaitForQuery(q), Do([&] {
                     EXPECT_EQ(WindowTextOf(q->ChkBoolean->Handle()), L"Protokoll anhängen");
                     EXPECT_FALSE(::IsWindowVisible(q->LblCaption->Handle()));
                     EXPECT_EQ(ShownEditors(*q), std::vector<std::wstring>{L"ChkBoolean"});
                     ExpectEndsUnder(*q, *q->ChkBoolean);
                   }),
                   Key(VK_SPACE), [&] { return q->ChkBoolean->Checked(); }, Key(VK_RETURN)});
  EXPECT_TRUE(ok.Run([&] { return TFrmQueryValue::QueryBoolean(L"Protokoll anhängen", value); }));
  EXPECT_TRUE(value);

  TQueryScript cancel({WaitForQuery(q), Key(VK_SPACE), [&] { return !q->ChkBoolean->Checked(); }, Key(VK_ESCAPE)});
  EXPECT_FALSE(cancel.Run([&] { return TFrmQueryValue::QueryBoolean(L"Protokoll anhängen", value); }));
  EXPECT_TRUE(value);
}

TEST_F(QueryValue, TextKeepsToItsMaximumLength) {
  std::wstring value = L"alt";
  TQueryScript ok({WaitForQuery(q), Do([&] { EXPECT_EQ(q->EdtText->Text(), L"alt"); }), Type(L"abcdefgh"),
                   [&] { return q->EdtText->Text() == L"abcde"; }, Key(VK_RETURN)});
  EXPECT_TRUE(ok.Run([&] { return TFrmQueryValue::QueryText(L"Name", 5, value); }));
  EXPECT_EQ(value, L"abcde");

  TQueryScript cancel({WaitForQuery(q), Type(L"x"), Key(VK_ESCAPE)});
  EXPECT_FALSE(cancel.Run([&] { return TFrmQueryValue::QueryText(L"Name", 5, value); }));
  EXPECT_EQ(value, L"abcde");
}

TEST_F(QueryValue, PasswordShowsEveryCharacterAsTheLetterO) {
  std::wstring value = L"geh";
  TQueryScript ok({WaitForQuery(q), Do([&] {
                     EXPECT_EQ(::SendMessageW(q->EdtText->Handle(), EM_GETPASSWORDCHAR, 0, 0), L'o');
                     EXPECT_EQ(q->EdtText->Text(), L"geh");
                   }),
                   Type(L"neu"), [&] { return q->EdtText->Text() == L"neu"; }, Key(VK_RETURN)});
  EXPECT_TRUE(ok.Run([&] { return TFrmQueryValue::QueryPassword(L"Kennwort", 20, value); }));
  EXPECT_EQ(value, L"neu");

  TQueryScript cancel({WaitForQuery(q), Type(L"x"), Key(VK_ESCAPE)});
  EXPECT_FALSE(cancel.Run([&] { return TFrmQueryValue::QueryPassword(L"Kennwort", 20, value); }));
  EXPECT_EQ(value, L"neu");
}

// ---- several lines ----

int MemoRows(HWND memo) {
  TWindowDc dc(memo);
  TSelectObject font(dc.Get(), reinterpret_cast<HFONT>(::SendMessageW(memo, WM_GETFONT, 0, 0)));
  TEXTMETRICW tm{};
  ::GetTextMetricsW(dc.Get(), &tm);
  return ClientRectOf(memo).bottom / tm.tmHeight;
}

TEST_F(QueryValue, MultilineTextShowsSixRowsAtLeastAndEnterStartsALine) {
  std::wstring value = L"eins\r\nzwei\r\ndrei";
  TQueryScript ok({WaitForQuery(q), Do([&] {
                     EXPECT_EQ(MemoRows(q->MmoText->Handle()), 6);
                     EXPECT_EQ(ShownEditors(*q), std::vector<std::wstring>{L"MmoText"});
                     ExpectEndsUnder(*q, *q->MmoText);
                   }),
                   Type(L"x"), Key(VK_RETURN), Type(L"y"),
                   [&] { return q->MmoText->Text() == L"eins\r\nzwei\r\ndreix\r\ny"; },
                   Do([&] { ClickWithMouse(q->BtnOK->Handle()); })});
  EXPECT_TRUE(ok.Run([&] { return TFrmQueryValue::QueryMultilineText(L"Notiz", value, nullptr); }));
  EXPECT_EQ(value, L"eins\r\nzwei\r\ndreix\r\ny");

  TQueryScript cancel({WaitForQuery(q), Type(L"z"), Key(VK_ESCAPE)});
  EXPECT_FALSE(cancel.Run([&] { return TFrmQueryValue::QueryMultilineText(L"Notiz", value, nullptr); }));
  EXPECT_EQ(value, L"eins\r\nzwei\r\ndreix\r\ny");
}

TEST_F(QueryValue, MultilineTextShowsTenRowsAtMostScrolledToTheEnd) {
  std::wstring value;
  for (int i = 1; i <= 25; ++i) value += (i > 1 ? L"\r\n" : L"") + std::wstring(L"Zeile ") + std::to_wstring(i);
  auto owner = std::make_unique<TForm>(nullptr);
  owner->SetClientSize(400, 300);
  owner->Show();
  TQueryScript cancel({WaitForQuery(q), Do([&] {
                         HWND memo = q->MmoText->Handle();
                         EXPECT_EQ(MemoRows(memo), 10);
                         EXPECT_EQ(::SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 15);
                         DWORD start = 0, end = 0;
                         ::SendMessageW(memo, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
                         EXPECT_EQ(start, value.size());
                         EXPECT_EQ(end, value.size());
                         EXPECT_EQ(q->Owner(), owner.get());
                       }),
                       Key(VK_ESCAPE)});
  EXPECT_FALSE(cancel.Run([&] { return TFrmQueryValue::QueryMultilineText(L"Notiz", value, owner.get()); }));
}

// ---- lists ----

TEST_F(QueryValue, ListOf45EntriesShows30RowsAndTakesTheArrowKeys) {
  TStringList options;
  for (int i = 0; i < 45; ++i) options.Add(L"Eintrag " + std::to_wstring(i));
  int index = 3;
  TQueryScript ok({WaitForQuery(q), Do([&] {
                     EXPECT_EQ(VisibleRows(q->LstOption->Handle()), 30);
                     EXPECT_EQ(q->LstOption->ItemIndex(), 3);
                     EXPECT_EQ(::GetFocus(), q->LstOption->Handle());
                     EXPECT_GE(q->ClientWidth(), ListWidth(q->LstOption));
                   }),
                   Key(VK_DOWN), Key(VK_DOWN), [&] { return q->LstOption->ItemIndex() == 5; }, Key(VK_RETURN)});
  EXPECT_TRUE(ok.Run([&] { return TFrmQueryValue::QueryList(L"Auswahl", options, index, nullptr, false); }));
  EXPECT_EQ(index, 5);

  TQueryScript cancel({WaitForQuery(q), Key(VK_DOWN), Key(VK_ESCAPE)});
  EXPECT_FALSE(cancel.Run([&] { return TFrmQueryValue::QueryList(L"Auswahl", options, index, nullptr, false); }));
  EXPECT_EQ(index, 5);
}

TEST_F(QueryValue, ListWithOneEntryAndDawioAnswersWithoutAWindow) {
  int index = 7;
  const int forms = static_cast<int>(Application().Forms().size());
  EXPECT_TRUE(TFrmQueryValue::QueryList(L"Auswahl", std::wstring(L"Einzig"), index, nullptr, true));
  EXPECT_EQ(index, 0);
  EXPECT_EQ(static_cast<int>(Application().Forms().size()), forms);
  index = 7;
  EXPECT_FALSE(TFrmQueryValue::QueryList(L"Auswahl", std::wstring(), index, nullptr, true));
  EXPECT_FALSE(TFrmQueryValue::QueryOption(L"Auswahl", L"", true, index, nullptr));
  EXPECT_EQ(index, 7);
}

TEST_F(QueryValue, WideEntriesWidenTheWindowAndAWrappedPromptStaysWhole) {
  TStringList options;
  options.Add(std::wstring(80, L'W'));
  options.Add(L"kurz");
  int index = 0;
  const std::wstring prompt = L"Bitte wählen Sie einen der Einträge aus der folgenden Liste aus, die hier angezeigt wird";
  TQueryScript cancel({WaitForQuery(q), Do([&] {
                         EXPECT_EQ(q->ClientWidth(), ListWidth(q->LstOption) + 16);
                         RECT label = WindowRectOf(q->LblCaption->Handle()), list = WindowRectOf(q->LstOption->Handle());
                         EXPECT_LE(label.bottom, list.top);
                         EXPECT_EQ(VisibleRows(q->LstOption->Handle()), 2);
                       }),
                       Key(VK_ESCAPE)});
  EXPECT_FALSE(cancel.Run([&] { return TFrmQueryValue::QueryList(prompt, options, index, nullptr, false); }));
}

TEST_F(QueryValue, OptionWithMustSelectBringsTheIndexIntoTheList) {
  int index = 99;
  TQueryScript ok({WaitForQuery(q), [&] { return q->LstOption->ItemIndex() == 2; }, Key(VK_RETURN)});
  EXPECT_TRUE(ok.Run([&] { return TFrmQueryValue::QueryOption(L"Farbe", L"rot\r\ngrün\r\nblau", true, index, nullptr); }));
  EXPECT_EQ(index, 2);

  index = 99;  // without MustSelect an index outside selects the first entry
  TQueryScript first({WaitForQuery(q), [&] { return q->LstOption->ItemIndex() == 0; }, Key(VK_ESCAPE)});
  EXPECT_FALSE(first.Run([&] { return TFrmQueryValue::QueryOption(L"Farbe", L"rot\r\ngrün\r\nblau", false, index, nullptr); }));
  EXPECT_EQ(index, 99);
}

TEST_F(QueryValue, ExplainedListShowsTheExplanationOfTheSelectedEntry) {
  const TExplainedItems items = {{L"Alpha", L"Der erste Buchstabe", 10},
                                 {L"Beta", L"Der zweite\r\nauf zwei Zeilen", 20},
                                 {L"Gamma", L"", 30}};
  int index = 1;
  TQueryScript ok({WaitForQuery(q), Do([&] {
                     EXPECT_EQ(WindowTextOf(q->LblDetails->Handle()), L"Der zweite\r\nauf zwei Zeilen");
                     EXPECT_EQ(ShownEditors(*q), (std::vector<std::wstring>{L"LstOption", L"LblDetails"}));
                     EXPECT_EQ(VisibleRows(q->LstOption->Handle()), 3);
                   }),
                   Key(VK_DOWN), [&] { return WindowTextOf(q->LblDetails->Handle()).empty(); }, Key(VK_HOME),
                   [&] { return WindowTextOf(q->LblDetails->Handle()) == L"Der erste Buchstabe"; },
                   // A double click on an entry chooses it.
                   Do([&] { ClickAt(q->LstOption->Handle(), EntryPoint(q->LstOption->Handle(), 2), true); })});
  EXPECT_TRUE(ok.Run([&] { return TFrmQueryValue::QueryExplainedList(L"Buchstabe", items, index, false); }));
  EXPECT_EQ(index, 2);

  TQueryScript cancel({WaitForQuery(q), Key(VK_UP), Key(VK_ESCAPE)});
  EXPECT_FALSE(cancel.Run([&] { return TFrmQueryValue::QueryExplainedList(L"Buchstabe", items, index, false); }));
  EXPECT_EQ(index, 2);
  TExplainedItems none;
  EXPECT_FALSE(TFrmQueryValue::QueryExplainedList(L"Buchstabe", none, index, true));
  EXPECT_EQ(index, -1);
}

TEST_F(QueryValue, ExplainedListOfStringListsAnswersWithTheObject) {
  TObject first, second;
  const std::vector<TObjectEntry> options = {{L"Erster", &first}, {L"Zweiter", &second}};
  TStringList details{L"Zum Ersten", L"Zum Zweiten", L"Ohne Eintrag"};
  TObject* value = &second;
  TQueryScript ok({WaitForQuery(q), Do([&] {
                     EXPECT_EQ(q->LstOption->ItemIndex(), 1);
                     EXPECT_EQ(q->LstOption->Items().Count(), 3);
                   }),
                   Key(VK_UP), [&] { return WindowTextOf(q->LblDetails->Handle()) == L"Zum Ersten"; }, Key(VK_RETURN)});
  EXPECT_TRUE(ok.Run([&] { return TFrmQueryValue::QueryExplainedList(L"Welcher", options, details, value, false); }));
  EXPECT_EQ(value, &first);

  TQueryScript cancel({WaitForQuery(q), Key(VK_DOWN), Key(VK_ESCAPE)});
  EXPECT_FALSE(cancel.Run([&] { return TFrmQueryValue::QueryExplainedList(L"Welcher", options, details, value, false); }));
  EXPECT_EQ(value, &first);
}

// ---- the check list ----

TCheckBoxEntryList CheckEntries() {
  TCheckBoxEntryList list;
  list.Add(L"Gruppe", false, 0);
  list.Items.back().IsHeader = true;
  list.Add(L"Eins", true, 1);
  list.Add(L"Zwei", false, 2);
  list.Add(L"Versteckt", true, 3);
  list.Items.back().IsVisible = false;
  list.Add(L"Drei", false, 4);
  return list;
}

std::vector<bool> CheckedOf(const TCheckBoxEntryList& list) {
  std::vector<bool> checked;
  for (const auto& entry : list.Items) checked.push_back(entry.IsChecked);
  return checked;
}

TEST_F(QueryValue, CheckListCountsAndWritesBackOnlyTheShownEntries) {
  TCheckBoxEntryList options = CheckEntries();
  auto count = [&] { return WindowTextOf(q->LblCheckedItems->Handle()); };
  TQueryScript ok({WaitForQuery(q), Do([&] {
                     EXPECT_EQ(q->LstCheckbox->Items().Count(), 4);
                     EXPECT_EQ(count(), L"1 / 4");
                     EXPECT_TRUE(::IsWindowVisible(q->PnlCheckAllNone->Handle()));
                     EXPECT_EQ(q->LstCheckbox->ItemIndex(), 0);
                     EXPECT_EQ(q->LblCheckedItems->Hint(), L"Ausgewählte Einträge");
                   }),
                   Key(VK_DOWN), Key(VK_SPACE), [&] { return count() == L"0 / 4"; },
                   Do([&] { ClickWithMouse(q->BtnCheckAll->Handle()); }), [&] { return count() == L"3 / 4"; },
                   Do([&] { ClickWithMouse(q->BtnCheckNone->Handle()); }), [&] { return count() == L"0 / 4"; },
                   // The context menu from the keyboard: its second item unchecks, its first checks all.
                   Do([&] {
                     q->LstCheckbox->SetFocus();
                     PressKey(VK_APPS);
                     PressKey(VK_DOWN);
                     PressKey(VK_RETURN);
                   }),
                   [&] { return count() == L"3 / 4"; },
                   // A double click on an entry toggles it.
                   Do([&] { ClickAt(q->LstCheckbox->Handle(), EntryPoint(q->LstCheckbox->Handle(), 2), true); }),
                   [&] { return count() == L"2 / 4"; }, Key(VK_RETURN)});
  EXPECT_TRUE(ok.Run([&] { return TFrmQueryValue::QueryCheckboxList(L"Welche", options); }));
  EXPECT_EQ(CheckedOf(options), (std::vector<bool>{false, true, false, true, true}));

  TQueryScript cancel({WaitForQuery(q), Do([&] { ClickWithMouse(q->BtnCheckNone->Handle()); }),
                       [&] { return count() == L"0 / 4"; }, Key(VK_ESCAPE)});
  EXPECT_FALSE(cancel.Run([&] { return TFrmQueryValue::QueryCheckboxList(L"Welche", options); }));
  EXPECT_EQ(CheckedOf(options), (std::vector<bool>{false, true, false, true, true}));
}

TEST_F(QueryValue, CheckListWithOneShownEntryHasNoFooterAndWithNoneNoWindow) {
  TCheckBoxEntryList options;
  options.Add(L"Allein", false, 1);
  options.Add(L"Weg", false, 2);
  options.Items.back().IsVisible = false;
  TQueryScript ok({WaitForQuery(q), Do([&] {
                     EXPECT_FALSE(::IsWindowVisible(q->PnlCheckAllNone->Handle()));
                     ExpectEndsUnder(*q, *q->LstCheckbox);
                   }),
                   Key(VK_SPACE), [&] { return q->LstCheckbox->Checked(0); }, Key(VK_RETURN)});
  EXPECT_TRUE(ok.Run([&] { return TFrmQueryValue::QueryCheckboxList(L"Welche", options); }));
  EXPECT_TRUE(options.Items[0].IsChecked);

  options.Items[0].IsVisible = false;
  const size_t forms = Application().Forms().size();
  EXPECT_FALSE(TFrmQueryValue::QueryCheckboxList(L"Welche", options));
  EXPECT_EQ(Application().Forms().size(), forms);
  TCheckBoxEntryList empty;
  EXPECT_FALSE(TFrmQueryValue::QueryCheckboxList(L"Welche", empty));
}

// ---- dates ----

TEST_F(QueryValue, DateIsTakenWholeAndEscLeavesIt) {
  double value = EncodeDateExt(2025, 3, 15) + 0.5;
  TQueryScript ok({WaitForQuery(q), Do([&] {
                     EXPECT_EQ(ShownEditors(*q), std::vector<std::wstring>{L"DtpDate"});
                     EXPECT_EQ(q->DtpDate->Left(), 8);
                     EXPECT_EQ(q->DtpDate->DateTimeZ(), EncodeDateExt(2025, 3, 15));
                   }),
                   Key(VK_RETURN)});
  EXPECT_TRUE(ok.Run([&] { return TFrmQueryValue::QueryDate(L"Datum", value, false); }));
  EXPECT_EQ(value, EncodeDateExt(2025, 3, 15));

  value = 0;  // no date: the picker offers today
  TQueryScript today({WaitForQuery(q), Key(VK_RETURN)});
  EXPECT_TRUE(today.Run([&] { return TFrmQueryValue::QueryDate(L"Datum", value, false); }));
  EXPECT_EQ(value, CurrentDate());

  TQueryScript cancel({WaitForQuery(q), Key(VK_ESCAPE)});
  value = 12345;
  EXPECT_FALSE(cancel.Run([&] { return TFrmQueryValue::QueryDate(L"Datum", value, false); }));
  EXPECT_EQ(value, 12345);
}

TEST_F(QueryValue, DateThatMayBeEmptyComesBackEmptyWhenUnticked) {
  double value = 0;
  TQueryScript ok({WaitForQuery(q), Do([&] {
                     EXPECT_EQ(q->DtpDate->Left(), 28);
                     EXPECT_FALSE(q->DtpDate->Checked());
                   }),
                   Key(VK_RETURN)});
  EXPECT_TRUE(ok.Run([&] { return TFrmQueryValue::QueryDate(L"Datum", value, true); }));
  EXPECT_EQ(value, 0);

  // A date given shows ticked; a click on the picker's box takes it away.
  value = EncodeDateExt(2024, 2, 29);
  TQueryScript untick({WaitForQuery(q), Do([&] {
                         EXPECT_EQ(q->DtpDate->DateTimeZ(), EncodeDateExt(2024, 2, 29));
                         ClickAt(q->DtpDate->Handle(), {q->Scale(8), ClientRectOf(q->DtpDate->Handle()).bottom / 2},
                                 false);
                       }),
                       [&] { return q->DtpDate->DateTimeZ() == 0; }, Key(VK_RETURN)});
  EXPECT_TRUE(untick.Run([&] { return TFrmQueryValue::QueryDate(L"Datum", value, true); }));
  EXPECT_EQ(value, 0);

  value = EncodeDateExt(2024, 2, 29);
  TQueryScript cancel({WaitForQuery(q), Key(VK_ESCAPE)});
  EXPECT_FALSE(cancel.Run([&] { return TFrmQueryValue::QueryDate(L"Datum", value, true); }));
  EXPECT_EQ(value, EncodeDateExt(2024, 2, 29));
}

TEST_F(QueryValue, DateAndTimeTakesTheTypedTimeAndRefusesAWrongOne) {
  double value = EncodeDateExt(2025, 3, 15) + EncodeTime(10, 30, 0, 0);
  TQueryScript ok({WaitForQuery(q), Do([&] {
                     EXPECT_EQ(ShownEditors(*q), (std::vector<std::wstring>{L"DtpDate", L"EdtTime"}));
                     EXPECT_EQ(q->EdtTime->Text(), L"10:30");
                     EXPECT_EQ(q->EdtTime->Left(), q->DtpDate->Left() + q->DtpDate->Width() + 8);
                     q->EdtTime->SetFocus();
                     q->EdtTime->SelectAll();
                   }),
                   Type(L"2599"), [&] { return q->EdtTime->Text() == L"25:99"; }, Key(VK_RETURN),
                   // A time that is none keeps the window open and says so.
                   [&] { return gMessages.size() == 1; },
                   Do([&] {
                     EXPECT_EQ(gMessages[0], StrErroneous + L"|" + FormatPlaceholder(StrDataNotTime, L"25:99"));
                     EXPECT_NE(OpenQuery(), nullptr);
                     q->EdtTime->SelectAll();
                   }),
                   Type(L"1145"), [&] { return q->EdtTime->Text() == L"11:45"; }, Key(VK_RETURN)});
  EXPECT_TRUE(ok.Run([&] { return TFrmQueryValue::QueryDateTime(L"Termin", value, false, false); }));
  EXPECT_NEAR(value, EncodeDateExt(2025, 3, 15) + EncodeTime(11, 45, 0, 0), 1e-9);

  const double before = value;
  TQueryScript cancel({WaitForQuery(q), Key(VK_ESCAPE)});
  EXPECT_FALSE(cancel.Run([&] { return TFrmQueryValue::QueryDateTime(L"Termin", value, false, true); }));
  EXPECT_EQ(value, before);
}

TEST_F(QueryValue, DateAndTimeThatMayBeEmptySwitchesItsFieldsWithTheCheckBox) {
  double value = EncodeDateExt(2025, 3, 15) + EncodeTime(8, 0, 5, 0);
  TQueryScript ok({WaitForQuery(q), Do([&] {
                     EXPECT_TRUE(q->ChkDateTime->Checked());
                     EXPECT_EQ(q->EdtTime->Text(), L"08:00:05");
                     EXPECT_TRUE(::IsWindowEnabled(q->DtpDate->Handle()));
                     q->ChkDateTime->SetFocus();
                   }),
                   Key(VK_SPACE), [&] { return !::IsWindowEnabled(q->EdtTime->Handle()); },
                   Do([&] { EXPECT_FALSE(::IsWindowEnabled(q->DtpDate->Handle())); }), Key(VK_RETURN)});
  EXPECT_TRUE(ok.Run([&] { return TFrmQueryValue::QueryDateTime(L"Termin", value, true, true); }));
  EXPECT_EQ(value, 0);

  // Ticked again, the date and time come back as the fields hold them (now, to the second).
  value = 0;
  TQueryScript tick({WaitForQuery(q), Do([&] {
                       EXPECT_FALSE(q->ChkDateTime->Checked());
                       EXPECT_FALSE(::IsWindowEnabled(q->EdtTime->Handle()));
                       q->ChkDateTime->SetFocus();
                     }),
                     Key(VK_SPACE), [&] { return ::IsWindowEnabled(q->EdtTime->Handle()); }, Key(VK_RETURN)});
  const double before = Now();
  EXPECT_TRUE(tick.Run([&] { return TFrmQueryValue::QueryDateTime(L"Termin", value, true, true); }));
  EXPECT_GE(value, std::floor(before));
  EXPECT_LE(value, Now());
}

// ---- date range ----

TEST_F(QueryValue, DateRangeComesFromTheFrameAndIsClearedOnCancel) {
  TMemorySettings store;
  const std::wstring entry = L"Abfrage\rZeitraum\r";
  store.Values[entry] = L"MON|1|2020|2|2020|1|2025|2|2025|1|2020|1|2020|2020-01-01|2020|2020";
  TDateRange range;
  TQueryScript ok({WaitForQuery(q), Do([&] {
                     EXPECT_EQ(ShownEditors(*q), std::vector<std::wstring>{L"FraDateRange"});
                     EXPECT_EQ(q->FraDateRange->ActivePage(), TFraDateRange::dpMonth);
                     ExpectEndsUnder(*q, *q->FraDateRange);
                   }),
                   Key(VK_RETURN)});
  EXPECT_TRUE(ok.Run([&] { return TFrmQueryValue::QueryDateRange(L"Zeitraum", range, &store, entry); }));
  EXPECT_EQ(range.FromDt, EncodeDateExt(2025, 1, 1));
  EXPECT_EQ(range.ToDt, EncodeDateExt(2025, 3, 1));
  EXPECT_EQ(store.Values[entry], L"MON|1|2020|2|2020|1|2025|2|2025|1|2020|1|2020|2020-01-01|2020|2020");

  TQueryScript cancel({WaitForQuery(q), Key(VK_ESCAPE)});
  EXPECT_FALSE(cancel.Run([&] { return TFrmQueryValue::QueryDateRange(L"Zeitraum", range, &store, entry); }));
  EXPECT_EQ(range.FromDt, 0);
  EXPECT_EQ(range.ToDt, 0);
  EXPECT_TRUE(range.FromDtStr.empty());
}

TEST_F(QueryValue, DateRangeOutsideTheYearsKeepsTheWindowOpenWithTheEntry) {
  TMemorySettings store;
  const std::wstring entry = L"Abfrage\rZeitraum\r";
  store.Values[entry] = L"YER" + std::wstring(13, L'|') + L"2020-01-01|1979|2000";
  TDateRange range;
  TVormIntEdit* from = nullptr;
  TQueryScript ok({WaitForQuery(q), Key(VK_RETURN), [&] { return gMessages.size() == 1; }, Do([&] {
                     EXPECT_EQ(gMessages[0], L"Falsche Angabe|Bitte geben Sie das Jahr im Bereich 1980 bis 2099 an.");
                     from = q->FraDateRange->Rows[TFraDateRange::dpYear][0].EdtYear;
                     EXPECT_EQ(from->Text(), L"1979");
                     EXPECT_EQ(::GetFocus(), from->Handle());
                     from->SelectAll();
                   }),
                   Type(L"1999"), [&] { return from->Text() == L"1999"; }, Key(VK_RETURN)});
  EXPECT_TRUE(ok.Run([&] { return TFrmQueryValue::QueryDateRange(L"Zeitraum", range, &store, entry); }));
  EXPECT_EQ(range.FromDt, EncodeDateExt(1999, 1, 1));
  EXPECT_EQ(range.ToDt, EncodeDateExt(2001, 1, 1));
  EXPECT_EQ(range.FromDtStr, L"1999");
}

// ---- layout ----

// A prompt that wraps to exactly two lines in the dialog's bold prompt font.
std::wstring TwoLinePrompt(TFrmQueryValue& probe, int& lineHeight) {
  const TFontDesc font = probe.LblCaption->Font();
  lineHeight = probe.MeasureTextHeight(L"Port", font, 293);
  std::wstring prompt = L"Port";
  while (probe.MeasureTextHeight(prompt, font, 293) < 2 * lineHeight) prompt += L" Nummer";
  EXPECT_EQ(probe.MeasureTextHeight(prompt, font, 293), 2 * lineHeight);
  return prompt;
}

TEST_F(QueryValue, ATwoLinePromptMovesTheFieldOfMeasuredPromptsOnly) {
  int lineHeight = 0;
  std::wstring longPrompt;
  {
    TFrmQueryValue probe(nullptr);
    ApplyMainFormFont(&probe);
    longPrompt = TwoLinePrompt(probe, lineHeight);
  }
  // Where the field of each query sits under a one-line and under a two-line prompt.
  auto fieldTop = [&](const std::wstring& prompt, auto query, auto field) {
    int top = -1;
    TQueryScript script({WaitForQuery(q), Do([&] {
                           top = field(*q)->Top();
                           EXPECT_TRUE(::IsWindowVisible(field(*q)->Handle()));
                         }),
                         Key(VK_ESCAPE)});
    script.Run([&] { return query(prompt); });
    return top;
  };
  auto integer = [](const std::wstring& p) {
    std::int32_t v = 1;
    return TFrmQueryValue::QueryInteger(p, v, true);
  };
  auto text = [](const std::wstring& p) {
    std::wstring v;
    return TFrmQueryValue::QueryText(p, 10, v);
  };
  auto currency = [](const std::wstring& p) {
    TCurrency v{};
    return TFrmQueryValue::QueryCurrency(p, v, 2, true);
  };
  auto password = [](const std::wstring& p) {
    std::wstring v;
    return TFrmQueryValue::QueryPassword(p, 10, v);
  };
  auto intField = [](TFrmQueryValue& f) -> TControl* { return f.EdtInteger; };
  auto textField = [](TFrmQueryValue& f) -> TControl* { return f.EdtText; };
  auto decimalField = [](TFrmQueryValue& f) -> TControl* { return f.EdtDecimal; };

  EXPECT_EQ(fieldTop(longPrompt, integer, intField), fieldTop(L"Port", integer, intField) + lineHeight);
  EXPECT_EQ(fieldTop(longPrompt, text, textField), fieldTop(L"Port", text, textField) + lineHeight);
  EXPECT_EQ(fieldTop(L"Port", integer, intField), 8 + lineHeight + 8);
  EXPECT_EQ(fieldTop(longPrompt, currency, decimalField), 31);
  EXPECT_EQ(fieldTop(L"Port", currency, decimalField), 31);
  EXPECT_EQ(fieldTop(longPrompt, password, textField), 31);
  EXPECT_EQ(fieldTop(L"Port", password, textField), 31);
}

TEST_F(QueryValue, TheWindowSpeaksEnglishWhenTheLanguageModuleDoes) {
  ASSERT_NE(DmLangQel, nullptr);
  DmLangQel->LangDisp->SetActiveLanguage(2);
  TCheckBoxEntryList options = CheckEntries();
  TQueryScript cancel({WaitForQuery(q), Do([&] {
                         EXPECT_EQ(WindowTextOf(q->Handle()), L"Prompt");
                         EXPECT_EQ(WindowTextOf(q->BtnCancel->Handle()), L"Cancel");
                         EXPECT_EQ(WindowTextOf(q->BtnCheckAll->Handle()), L"&All");
                         EXPECT_EQ(WindowTextOf(q->BtnCheckNone->Handle()), L"&None");
                         EXPECT_EQ(q->BtnCheckNone->Hint(), L"Uncheck all");
                         EXPECT_EQ(q->MnuCheckListUnselectAll->Caption(), L"Unselect all");
                       }),
                       Key(VK_ESCAPE)});
  EXPECT_FALSE(cancel.Run([&] { return TFrmQueryValue::QueryCheckboxList(L"Which", options); }));
}

}  // namespace
