#pragma once
// The log view: a multi-line text control of our own (window class "TavrinoLogView") that costs
// the same per appended line however much it holds. It keeps its text in a TLogText, paints
// only the rows in sight with fixed cells in its fixed-pitch font (ExtTextOutW without script
// shaping, so that no sequence of characters can upset a shaping engine), and shows what the
// appends of a while changed at once: scroll by the new rows, paint them, once.
//
// Otherwise it is what users and tools expect of a multi-line edit control: the system caret,
// typing, selection with mouse and keys, the clipboard commands, one level of undo, the edit
// control's context menu, and the edit control's messages (WM_GETTEXT, EM_GETSEL, EM_LINEINDEX
// ... with their 32-bit answers), EN_CHANGE to the parent, and an accessible object.
#include "base/StringList.h"
#include "toolkit/Controls.h"
#include "toolkit/LogSearch.h"
#include "toolkit/LogText.h"
#include "toolkit/StdCtrls.h"  // TScrollStyle

#include <atomic>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TBackgroundWork;
class TLogMemo;
class TStandardAccessible;
class TLogMemoBadge;
class TPopupMenu;

// The lines of a log memo: Add appends a line at the end (after a line break when the last
// line holds text), on the screen with the next PaintChanges. The other operations work on the
// text at once, as they would on an edit control.
class TLogMemoLines : public TStrings {
public:
  explicit TLogMemoLines(TLogMemo& memo) noexcept : FMemo(memo) {}

  int Count() const override;
  std::wstring Get(int index) const override;
  void Insert(int index, const std::wstring& s) override;
  void Delete(int index) override;
  void Clear() override;
  int Add(const std::wstring& s) override;
  std::wstring Text() const override;
  void SetText(const std::wstring& text) override;

private:
  TLogMemo& FMemo;
};

class TLogMemo : public TControl {
public:
  using TPos = TLogText::TPos;

  // blockChars: the size of the text's blocks (tests make it small).
  explicit TLogMemo(TComponent* owner, std::uint32_t blockChars = TLogText::kBlockChars);
  ~TLogMemo() override;

  TLogMemoLines& Lines() noexcept { return FLines; }
  const TLogText& Content() const noexcept { return FText; }

  // The scroll bars the view may show; each shows only while the text does not fit that way,
  // as the edit control's do.
  TScrollStyle ScrollBars() const noexcept { return FScrollBars; }
  void SetScrollBars(TScrollStyle value);
  bool ReadOnly() const noexcept { return FReadOnly; }
  void SetReadOnly(bool value);
  // The name screen readers announce for the view.
  const std::wstring& AccessibleName() const noexcept { return FAccessibleName; }
  void SetAccessibleName(const std::wstring& name) { FAccessibleName = name; }

  // Appends text at the end. The caret goes behind it and the view follows, as an edit control
  // does after EM_REPLACESEL at the end; the screen follows with PaintChanges, or soon after.
  // False when nothing was added: the view is full (see Full).
  bool Append(std::wstring_view text) { return Append({text}, lcNormal); }
  // Appends a line ended by a line break, on a line of its own (after a break when the last
  // line holds text, typed there for instance), drawn in the colour given (every line of it,
  // when it holds line breaks). False when nothing was added: the view is full.
  bool AppendLine(std::wstring_view line, TLineColour colour = lcNormal);
  // Empties the view at once (its blocks are freed); a full view takes lines again.
  void Clear();

  // ---- line colours ----
  // Off: every line in the window's text colour (the colours stay recorded for later).
  void SetLineColours(bool on);
  bool LineColours() const noexcept { return FLineColoursOn; }
  TLineColour LineColour(TPos line) const noexcept { return FColours.At(line); }

  // ---- a ceiling on the lines kept ----
  // 0: no limit. When an append takes the line count beyond it, the oldest lines go in whole
  // blocks of the text, and the first line says how many went (RemovedNotice).
  void SetLineLimit(TPos lines);
  TPos LineLimit() const noexcept { return FLineLimit; }
  // Lines removed since the text was last cleared or set.
  TPos RemovedLines() const noexcept { return FRemovedLines; }
  // The text of the first line after lines were removed (empty function: no such line).
  std::function<std::wstring(TPos removed)> RemovedNotice;

  // ---- running out of memory ----
  // An append that found no memory left the text as it was and made the view full: it takes
  // no more appends until it is cleared or set anew, and ends with a line of its own
  // (FullNotice). Painting, copying and saving go on in memory kept for that.
  bool Full() const noexcept { return FFull; }
  std::function<std::wstring()> FullNotice;
  // Appends fail as if memory ran out once the text would hold more than this (0: no cap).
  void SetMemoryCap(std::size_t bytes) noexcept { FText.SetMemoryCap(bytes); }
  std::size_t BytesHeld() const noexcept { return FText.BytesHeld() + FColours.BytesHeld(); }
  // Puts what changed since the last time on the screen now: the scroll bars, the rows that
  // scrolled in, the rows that changed.
  void PaintChanges();

  // Selection: Anchor is where it began, Caret where it ends (either may be the greater).
  TPos SelStart() const noexcept { return std::min(FAnchor, FCaret); }
  TPos SelEnd() const noexcept { return std::max(FAnchor, FCaret); }
  TPos Caret() const noexcept { return FCaret; }
  void SetSelection(TPos anchor, TPos caret);
  void SelectAll() { SetSelection(0, FText.Length()); }
  void ScrollToCaret();
  TPos TopLine() const noexcept { return FTopLine; }
  void SetTopLine(TPos line);
  TPos LeftCell() const noexcept { return FLeftCell; }
  // Rows that fit wholly into the window.
  TPos PageRows() const noexcept;

  // ---- following the end ----
  // Appends scroll into view while the view follows: it shows the last line, the caret is
  // behind it and no selection is made. Otherwise it holds still (the reader's place does not
  // move) and counts the lines that arrived since, shown in a badge in its bottom right corner;
  // a click on the badge, Ctrl+End or scrolling back to the end follows again.
  bool Following() const noexcept;
  TPos NewLines() const noexcept { return FNewLines; }
  void FollowEnd();
  // The badge's text for a count of new lines ("▼ 1.234 neue Zeilen").
  static std::wstring NewLinesText(TPos lines);

  // Every match of this in the rows in sight is marked (an empty matcher: none).
  void SetHighlight(const TLogMatcher& matcher);
  const TLogMatcher& Highlight() const noexcept { return FHighlight; }

  // Copies count characters from pos to the clipboard, read from the blocks (LogCopy.h). A
  // large part is copied on a thread of its own, so that the window keeps answering, and done
  // follows on the window's thread; a smaller one at once, and done with it. A paste waits for
  // the copies asked for before it; an error of a copy in the background is raised on the
  // window's thread.
  void CopyToClipboard(TPos pos, TPos count, std::function<void()> done = {});

  TNotifyEvent OnChange;
  // Called with the view's context menu before it shows, to add items of the owner's own.
  std::function<void(TPopupMenu& menu)> OnEditMenu;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void CNCommand(WORD code) override;
  void DoKeyDown(unsigned short& key, TShiftState shift) override;
  void DoKeyPress(wchar_t& key) override;
  bool DoMouseWheel(TShiftState shift, int delta, POINT screenPoint) override;
  bool DoContextPopup(POINT screenPoint) override;

private:
  friend class TLogMemoLines;
  friend class TLogMemoAccessible;

  // ---- geometry, in device pixels of the client area ----
  void MeasureFont();
  int Margin() const noexcept { return Scale(2); }
  RECT ClientArea() const noexcept { return FClient; }
  // Rows and cells that fit into a client area of a height or width.
  TPos RowsIn(int height) const noexcept;
  TPos CellsIn(int width) const noexcept;
  TPos VisibleCells() const;
  POINT PointOf(TPos pos) const;
  TPos PosAt(POINT point) const;
  TPos MaxTopLine() const;
  TPos MaxLeftCell() const;

  // ---- what the screen shows ----
  void PaintRows(HDC dc, const RECT& area);
  void PaintRow(HDC dc, TPos line, int y, int width);
  // Applies the view's state to the window: scroll bars, scrolling, invalid rows, the caret.
  void ShowChanges();
  void PostShowChanges();
  // Lines whose rows ShowChanges paints anew (where they are then).
  void MarkDirty(TPos first, TPos last);
  void InvalidateLines(TPos first, TPos last);
  void UpdateScrollBars();
  // Shows the scroll bars the text needs and hides the others.
  void ShowNeededScrollBars();
  void PlaceCaret();
  void ScrollBy(TPos lines, TPos cells);
  // Moves the view (not the screen yet) so that the caret is in sight.
  void FollowCaret();
  void OnScroll(int bar, WORD code);
  // After the user scrolled down: at the end, with nothing selected, the view follows again.
  void FollowIfScrolledToEnd();
  void UpdateBadge();

  // ---- changes of the text ----
  // Appends and makes the view full when memory runs out; colouredLines lines from colouredLine
  // on take the colour.
  bool Append(std::initializer_list<std::wstring_view> pieces, TLineColour colour, TPos colouredLine = 0,
              TPos colouredLines = 0);
  void AppendNow(std::initializer_list<std::wstring_view> pieces, TLineColour colour, TPos colouredLine,
                 TPos colouredLines);
  // Removes the oldest lines beyond the limit and puts the notice of how many went in front.
  void RemoveOldLines();
  void BecomeFull();
  // Empties the text and forgets what belonged to it (colours, removed lines, a full view).
  void ForgetText();
  // After the whole text was replaced: caret, selection and view at its start, all repainted.
  void ShowNewText();
  COLORREF TextColour(TPos line, bool enabled) const;

  // ---- selection and editing ----
  void Select(TPos anchor, TPos caret, bool keepWantedCell = false);
  void MoveCaret(TPos pos, bool extend, bool keepWantedCell = false);
  bool HandleKey(WORD key, TShiftState shift);
  void HandleChar(wchar_t c);
  // Replaces the selection by text as the user's edit (undoable), then shows it.
  void ReplaceSelection(std::wstring_view text, bool undoable);
  // What the lines of the text [pos, pos + count) are before an edit replaces them.
  struct TEditedLines {
    TPos First, Last;
    bool FromLineStart;
  };
  TEditedLines LinesOf(TPos pos, TPos count) const;
  // After an edit at pos that put inserted characters in place of the lines given.
  void Edited(TPos pos, TPos inserted, TPos linesBefore, const TEditedLines& lines);
  void Undo();
  void Cut();
  void Copy();
  void Paste();
  // Waits for the copies under way, answering what other threads send this one meanwhile.
  void WaitForCopies();
  void DeleteSelection();
  TPos CharLeft(TPos pos) const;
  TPos CharRight(TPos pos) const;
  TPos WordLeft(TPos pos) const;
  TPos WordRight(TPos pos) const;
  void SelectWordAt(TPos pos);
  void Notify(WORD code);
  void ShowEditMenu(POINT screenPoint);

  // ---- mouse ----
  void MouseDown(POINT point, bool extend);
  void MouseDrag(POINT point);
  void AutoScroll();
  void EndDrag();

  // ---- the edit control's messages ----
  bool EditMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // ---- assistive tools ----
  // Tells the tools that watch what changed since the last time: the caret's line, the selection.
  void AnnounceChanges();

  TLogText FText;
  TLogLineColours FColours;
  bool FLineColoursOn = true;
  bool FHighContrast = false;
  TPos FLineLimit = 0;
  TPos FRemovedLines = 0;
  TPos FNoticeLines = 0;  // 1 while the first line is the notice of removed lines
  bool FFull = false;
  std::atomic<HWND> FCopyDoneWindow{nullptr};  // told when a copy in the background is done
  std::unique_ptr<TBackgroundWork> FCopyWork;   // destroyed before the handle above, which its thread reads
  std::unique_ptr<std::byte[]> FReserve;  // freed when memory runs out, for what must go on
  TLogMemoLines FLines;
  TScrollStyle FScrollBars = ssBoth;
  bool FReadOnly = false;
  bool FModified = false;
  std::wstring FAccessibleName;

  TPos FAnchor = 0, FCaret = 0;
  TPos FWantedCell = -1;  // the cell the caret keeps while it moves up and down (-1: its own)
  TPos FTopLine = 0, FLeftCell = 0;
  // What the screen shows: the view's state until ShowChanges.
  TPos FShownTop = 0, FShownLeft = 0;
  TPos FDirtyFrom = -1, FDirtyTo = -1;  // lines changed since the screen showed them (-1: none)
  bool FScrollBarsStale = true;
  bool FShowingScrollBars = false;  // the client area changes because a bar comes or goes
  bool FChangeToNotify = false;
  bool FShowPosted = false;
  int FVerticalScale = 1;  // text lines per scroll bar unit (above what a scroll bar counts)

  HFONT FFont = nullptr;
  int FCellWidth = 8, FRowHeight = 16;
  RECT FClient{};  // the client area, as of the last WM_SIZE
  bool FControlPictures = false;  // the font draws U+2400 ... U+2421 for control characters
  bool FDragging = false;
  bool FComposing = false;  // an input method composes text at the caret
  int FWheelRest = 0;
  std::vector<wchar_t> FGlyphs;  // one row's characters as drawn, and their cell widths
  std::vector<INT> FWidths;
  TLogMatcher FHighlight;
  std::vector<wchar_t> FMatchChars;  // the characters of a row searched for matches
  TStandardAccessible* FAccessible = nullptr;  // made when a tool first asks
  bool FValueToAnnounce = false, FSelectionToAnnounce = false;
  TPos FNewLines = 0;                // lines appended while the view held still
  TPos FBadgeLines = -1;             // what the badge shows (-1: to be laid out anew)
  TLogMemoBadge* FBadge = nullptr;   // made when the view first holds
};
