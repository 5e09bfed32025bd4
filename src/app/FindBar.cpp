#include "app/FindBar.h"

#include "base/Strings.h"

#include <initializer_list>

namespace {

// How long a request waits for its answer at once, before the ticks go on with it.
constexpr std::chrono::milliseconds kAnswerAtOnce{30};

}  // namespace

TFindBar::TFindBar(TComponent* owner, TControl* parent, TLogMemo& memo)
    : FOwner(owner), FParent(parent), FMemo(memo), FSearch(memo.Content()) {}

void TFindBar::Create() {
  FPanel = NewComponent<TPanel>(FOwner, L"PnlFind");
  FPanel->SetBounds(0, 0, FParent->Width(), 29);
  FPanel->SetAlign(alBottom);
  FPanel->SetVisible(false);

  EdtFind = NewComponent<TEdit>(FOwner, L"EdtFind");
  EdtFind->SetBounds(4, 4, 150, 21);
  EdtFind->OnChange = [this](TObject*) { SearchChanged(); };
  BtnFindNext = NewComponent<TButton>(FOwner, L"BtnFindNext");
  BtnFindNext->SetBounds(158, 3, 56, 23);
  BtnFindNext->SetCaption(L"Weiter");
  BtnFindNext->OnClick = [this](TObject*) { FindNext(true); };
  BtnFindPrev = NewComponent<TButton>(FOwner, L"BtnFindPrev");
  BtnFindPrev->SetBounds(218, 3, 56, 23);
  BtnFindPrev->SetCaption(L"Zurück");
  BtnFindPrev->OnClick = [this](TObject*) { FindNext(false); };
  ChkMatchCase = NewComponent<TCheckBox>(FOwner, L"ChkMatchCase");
  ChkMatchCase->SetBounds(280, 6, 150, 17);
  ChkMatchCase->SetCaption(L"Groß-/Kleinschreibung");
  ChkMatchCase->OnClick = [this](TObject*) { SearchChanged(); };
  LblFindCount = NewComponent<TLabel>(FOwner, L"LblFindCount");
  LblFindCount->SetShowAccelChar(false);
  LblFindCount->SetBounds(436, 7, 60, 15);
  for (TControl* control : std::initializer_list<TControl*>{EdtFind, BtnFindNext, BtnFindPrev, ChkMatchCase, LblFindCount})
    control->SetParent(FPanel);
  // Its windows are made as it joins the parent, hidden, and shown together.
  FPanel->SetParent(FParent);
}

void TFindBar::Open() {
  if (!FPanel) Create();
  if (!IsOpen()) {
    FPanel->SetVisible(true);
    SearchChanged();
  }
  EdtFind->SetFocus();
  EdtFind->SelectAll();
}

void TFindBar::Close() {
  if (!IsOpen()) return;
  FPanel->SetVisible(false);
  FSearch.Start(L"", false);
  FMemo.SetHighlight(TLogMatcher());
  FMemo.SetFocus();
}

bool TFindBar::HandleKey(WORD key, TShiftState shift) {
  const bool ctrl = shift.Contains(ssCtrl), alt = shift.Contains(ssAlt), extend = shift.Contains(ssShift);
  if (alt) return false;
  if (key == 'F' && ctrl && !extend) {
    Open();
    return true;
  }
  if (key == VK_F3 && !ctrl) {
    if (!IsOpen()) Open();
    FindNext(!extend);
    return true;
  }
  if (!IsOpen() || ctrl) return false;
  if (key == VK_ESCAPE) {
    Close();
    return true;
  }
  if (key == VK_RETURN && ::GetFocus() == EdtFind->Handle()) {
    FindNext(!extend);
    return true;
  }
  return false;
}

void TFindBar::SearchChanged() {
  FSearch.Start(EdtFind->Text(), ChkMatchCase->Checked());
  FMemo.SetHighlight(FSearch.Matcher());
  ShowCount();
}

void TFindBar::FindNext(bool forward) {
  if (!FSearch.Active()) return;
  // Forward from just behind the start of the selection, so that the match selected now is
  // passed and an overlapping one is not; backward from its start.
  const TLogSearch::TPos start = FMemo.SelStart();
  FSearch.Seek(forward && FMemo.SelEnd() > start ? start + 1 : forward ? FMemo.Caret() : start, forward);
  FSearch.Step(std::chrono::steady_clock::now() + kAnswerAtOnce);
  ShowFound();
  ShowCount();
}

bool TFindBar::Step(TTime deadline) {
  if (!FSearch.Active()) return true;
  const bool done = FSearch.Step(deadline);
  ShowFound();
  ShowCount();
  return done;
}

void TFindBar::ShowFound() {
  const TLogSearch::TPos found = FSearch.TakeFound();
  if (found < 0) return;
  FMemo.SetSelection(found, found + FSearch.Matcher().Length());
  FMemo.ScrollToCaret();
}

void TFindBar::ShowCount() {
  std::wstring text;
  if (FSearch.Active()) {
    const TLogSearch::TPos number =
        FMemo.SelEnd() - FMemo.SelStart() == FSearch.Matcher().Length() ? FSearch.NumberOf(FMemo.SelStart()) : 0;
    if (FSearch.Count() == 0 && FSearch.Counted())
      text = L"Keine Treffer";
    else if (number > 0)
      text = FormatCount(static_cast<double>(number)) + L" von " + FormatCount(static_cast<double>(FSearch.Count()));
    else
      text = FormatCount(static_cast<double>(FSearch.Count())) + L" Treffer";
  }
  if (LblFindCount->Caption() != text) LblFindCount->SetCaption(text);
}
