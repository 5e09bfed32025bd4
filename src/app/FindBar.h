#pragma once
// The find bar of the main window, above the status line (no dialog): the text to find,
// "Weiter" and "Zurück" (F3, Shift+F3, Enter in the text), "Groß-/Kleinschreibung" and how many
// matches there are ("3 von 1.234"). Every match in sight is marked in the view, the current
// one is its selection. The search runs in slices of the main window's ticks, so a view of any
// size never keeps the window from answering; the count grows as the search goes, also over
// the lines that arrive meanwhile.
#include "toolkit/ExtCtrls.h"
#include "toolkit/LogMemo.h"
#include "toolkit/LogSearch.h"
#include "toolkit/StdCtrls.h"

class TFindBar {
public:
  using TTime = TLogSearch::TTime;

  // The bar and its controls (owned by owner) are made when it first opens, aligned to the
  // bottom of parent: a start makes no windows for a bar most sessions never show.
  TFindBar(TComponent* owner, TControl* parent, TLogMemo& memo);

  bool IsOpen() const noexcept { return FPanel && FPanel->Visible(); }
  // Shows the bar with the keyboard in its text, all of it selected.
  void Open();
  // Hides it; the keyboard goes back to the view, the selection stays on the match.
  void Close();
  // The match after the selection (forward) or before it, selected and scrolled into view as
  // soon as the search has it.
  void FindNext(bool forward);
  // The main window's keys: Ctrl+F, F3, Shift+F3, and Enter and Esc in the bar. True when used.
  bool HandleKey(WORD key, TShiftState shift);
  // Searches until the deadline; true when nothing is left to do for now.
  bool Step(TTime deadline);

private:
  void Create();
  void SearchChanged();
  void ShowFound();
  void ShowCount();

  TComponent* FOwner;
  TControl* FParent;
  TLogMemo& FMemo;
  TLogSearch FSearch;
  TPanel* FPanel = nullptr;
  TEdit* EdtFind = nullptr;
  TButton* BtnFindNext = nullptr;
  TButton* BtnFindPrev = nullptr;
  TCheckBox* ChkMatchCase = nullptr;
  TLabel* LblFindCount = nullptr;
};
