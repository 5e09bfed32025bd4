#include "toolkit/LogMemo.h"

#include "base/BackgroundWork.h"
#include "base/Strings.h"
#include "toolkit/Clipbrd.h"
#include "toolkit/LogCopy.h"
#include "toolkit/LogMemoAccessible.h"
#include "toolkit/Menus.h"
#include "toolkit/Screen.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <imm.h>
#include <new>
#include <stdexcept>
#include <windowsx.h>

namespace {

using TPos = TLogMemo::TPos;

// Posted to itself after an append, so that the screen follows once the appends of the moment
// are done; PaintChanges does it earlier, and then this finds nothing to do.
constexpr UINT kShowChangesMessage = WM_USER + 0x100;
// Posted by the thread that copies a large part when it is done.
constexpr UINT kCopyDoneMessage = WM_USER + 0x101;
// A part of a block's size goes to the clipboard in a few milliseconds; a larger one is copied
// on a thread of its own.
constexpr TPos kCopyAtOnceChars = TLogText::kBlockChars;
constexpr UINT_PTR kAutoScrollTimer = 1;
constexpr UINT kAutoScrollMsec = 50;
// A scroll bar counts in ints; beyond this many lines it counts in steps of several.
constexpr TPos kMaxScrollUnits = TPos{1} << 30;
// The last line there could be: "to the bottom of the window".
constexpr TPos kEveryLine = INT64_MAX / 2;

LRESULT Clamp32(TPos value) noexcept { return static_cast<LRESULT>(std::clamp<TPos>(value, INT_MIN, INT_MAX)); }

bool IsBlank(wchar_t c) noexcept { return c == L' ' || c == L'\t'; }

// What a character looks like in the view: control characters as the symbols made for them,
// so that every character of a datagram can be seen; a tab as blank cells.
wchar_t Shown(wchar_t c, bool controlPictures) noexcept {
  if (c == L'\t') return L' ';
  if (c < 0x20) return controlPictures ? static_cast<wchar_t>(0x2400 + c) : L'\u00B7';
  if (c == 0x7F) return controlPictures ? L'\u2421' : L'\u00B7';
  if (c >= 0x80 && c < 0xA0) return L'\u00B7';
  return c;
}

COLORREF SystemColor(int index) { return ::GetSysColor(index); }

// Lines by level: readable on the window's background; in high contrast the system's colours.
constexpr COLORREF kErrorText = RGB(192, 0, 0);
constexpr COLORREF kWarningText = RGB(128, 128, 0);
constexpr COLORREF kDebugText = RGB(128, 128, 128);

bool HighContrastOn() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

// Memory a view keeps aside until memory runs out, so that its notice, painting, copying and
// saving (which copies the last block) still find some: two wide blocks and room besides.
constexpr std::size_t kFullReserveBytes = std::size_t{8} << 20;

TPos BreaksIn(std::wstring_view text) noexcept {
  TPos breaks = 0;
  for (std::size_t at = text.find(L"\r\n"); at != std::wstring_view::npos; at = text.find(L"\r\n", at + 2)) ++breaks;
  return breaks;
}

// Matches of the find bar: marker yellow under black, whatever the system's colours.
constexpr COLORREF kMatchBackground = RGB(255, 226, 110);
constexpr COLORREF kMatchText = RGB(0, 0, 0);

}  // namespace

// The badge of a view that holds still: a static text in the tooltip colours that tools and
// tests read from outside, and that follows the end again when clicked.
class TLogMemoBadge : public TLabel {
public:
  explicit TLogMemoBadge(TComponent* AOwner) : TLabel(AOwner) {
    SetAutoSize(false);
    SetShowAccelChar(false);
    SetAlignment(taCenter);
  }

protected:
  void CreateParams(TCreateParams& params) override {
    TLabel::CreateParams(params);
    params.Style |= WS_BORDER | SS_CENTERIMAGE;
  }
  HBRUSH CNCtlColor(UINT, HDC dc) override {
    ::SetTextColor(dc, ::GetSysColor(COLOR_INFOTEXT));
    ::SetBkColor(dc, ::GetSysColor(COLOR_INFOBK));
    return ::GetSysColorBrush(COLOR_INFOBK);
  }
};

// ---- TLogMemoLines ----

int TLogMemoLines::Count() const {
  const TLogText& text = FMemo.Content();
  // The empty line behind a final break does not count.
  const TPos lines = text.LineCount() - (text.LineLength(text.LineCount() - 1) == 0 ? 1 : 0);
  return static_cast<int>(std::min<TPos>(lines, INT_MAX));
}

std::wstring TLogMemoLines::Get(int index) const {
  if (index < 0 || index >= Count()) throw std::out_of_range("TLogMemoLines index out of range");
  return FMemo.Content().Line(index);
}

void TLogMemoLines::Insert(int index, const std::wstring& s) {
  const TLogText& text = FMemo.Content();
  if (index < 0 || index > Count()) return;
  if (index < text.LineCount()) {
    const TPos at = text.LineStart(index);
    FMemo.SetSelection(at, at);
    FMemo.ReplaceSelection(s + L"\r\n", false);
  } else {
    // Behind the last line, which has no line break yet.
    FMemo.SetSelection(text.Length(), text.Length());
    FMemo.ReplaceSelection(L"\r\n" + s + L"\r\n", false);
  }
}

void TLogMemoLines::Delete(int index) {
  const TLogText& text = FMemo.Content();
  if (index < 0 || index >= Count()) return;
  const TPos start = text.LineStart(index);
  const TPos end = index + 1 < text.LineCount() ? text.LineStart(index + 1) : text.Length();
  FMemo.SetSelection(start, end);
  FMemo.ReplaceSelection(L"", false);
}

void TLogMemoLines::Clear() { FMemo.Clear(); }

int TLogMemoLines::Add(const std::wstring& s) {
  FMemo.AppendLine(s);
  return Count() - 1;
}

std::wstring TLogMemoLines::Text() const { return FMemo.Content().Substr(0, FMemo.Content().Length()); }

void TLogMemoLines::SetText(const std::wstring& text) {
  FMemo.Clear();
  FMemo.Append(text);
  // Caret and view at the start, also when the appended text took the view sideways.
  FMemo.ShowNewText();
}

// ---- TLogMemo ----

TLogMemo::TLogMemo(TComponent* owner, std::uint32_t blockChars) : TControl(owner), FText(blockChars), FLines(*this) {
  SetTabStop(true);
  SetBounds(0, 0, 185, 89);
  FReserve.reset(new (std::nothrow) std::byte[kFullReserveBytes]);
}

TLogMemo::~TLogMemo() {
  WaitForCopies();  // what the user copied gets onto the clipboard
  DestroyHandle();
  ::ReleaseAccessible(FAccessible);
}

void TLogMemo::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  params.ClassName = L"TavrinoLogView";
  params.OwnClass = true;
  params.ClassStyle = CS_DBLCLKS;
  // The badge keeps its pixels when the rows below it are painted. No scroll bars yet: they
  // come when the text needs them.
  params.Style |= (FReadOnly ? ES_READONLY : 0) | ES_MULTILINE | WS_CLIPCHILDREN;
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TLogMemo::CreateWnd() {
  ::GetClientRect(Handle(), &FClient);
  FHighContrast = HighContrastOn();
  TControl::CreateWnd();
  FShownTop = FTopLine;
  FShownLeft = FLeftCell;
  FScrollBarsStale = true;
  ShowChanges();
}

void TLogMemo::SetScrollBars(TScrollStyle value) {
  FScrollBars = value;
  UpdateScrollBars();
}

void TLogMemo::SetReadOnly(bool value) {
  FReadOnly = value;
  if (!HandleAllocated()) return;
  LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
  style = value ? (style | ES_READONLY) : (style & ~static_cast<LONG_PTR>(ES_READONLY));
  ::SetWindowLongPtrW(Handle(), GWL_STYLE, style);
  Invalidate();
  ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, Handle(), OBJID_CLIENT, CHILDID_SELF);
}

// ---- geometry ----

void TLogMemo::MeasureFont() {
  TWindowDc dc(HandleAllocated() ? Handle() : nullptr);
  TSelectObject font(dc.Get(), FFont ? static_cast<HGDIOBJ>(FFont) : ::GetStockObject(SYSTEM_FIXED_FONT));
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc.Get(), &metrics);
  FRowHeight = std::max<int>(metrics.tmHeight, 1);
  FCellWidth = std::max<int>(metrics.tmAveCharWidth, 1);
  wchar_t pictures[33];
  for (int i = 0; i < 32; ++i) pictures[i] = static_cast<wchar_t>(0x2400 + i);
  pictures[32] = L'\u2421';
  WORD glyphs[33];
  FControlPictures = ::GetGlyphIndicesW(dc.Get(), pictures, 33, glyphs, GGI_MARK_NONEXISTING_GLYPHS) == 33 &&
                     std::none_of(std::begin(glyphs), std::end(glyphs), [](WORD g) { return g == 0xFFFF; });
}

TPos TLogMemo::RowsIn(int height) const noexcept { return std::max<TPos>(height / FRowHeight, 1); }

TPos TLogMemo::CellsIn(int width) const noexcept { return std::max<TPos>((width - Margin()) / FCellWidth, 1); }

TPos TLogMemo::PageRows() const noexcept { return RowsIn(ClientArea().bottom - ClientArea().top); }

TPos TLogMemo::VisibleCells() const { return CellsIn(ClientArea().right - ClientArea().left); }

TPos TLogMemo::MaxTopLine() const { return std::max<TPos>(FText.LineCount() - PageRows(), 0); }

// One cell more than the widest line: the caret's place behind it.
TPos TLogMemo::MaxLeftCell() const { return std::max<TPos>(FText.WidestLine() + 1 - VisibleCells(), 0); }

POINT TLogMemo::PointOf(TPos pos) const {
  const TPos line = FText.LineOf(pos);
  const TPos x = Margin() + (FText.CellOf(pos) - FLeftCell) * FCellWidth;
  const TPos y = (line - FTopLine) * FRowHeight;
  return POINT{static_cast<LONG>(std::clamp<TPos>(x, -0x8000, 0x7FFF)),
               static_cast<LONG>(std::clamp<TPos>(y, -0x8000, 0x7FFF))};
}

TPos TLogMemo::PosAt(POINT point) const {
  const TPos row = point.y >= 0 ? point.y / FRowHeight : -((FRowHeight - 1 - point.y) / FRowHeight);
  const TPos line = std::clamp<TPos>(FTopLine + row, 0, FText.LineCount() - 1);
  // The nearest cell boundary: a click on the right half of a character lands behind it.
  const TPos x = point.x - Margin() + FCellWidth / 2;
  const TPos cell = FLeftCell + (x >= 0 ? x / FCellWidth : 0);
  return FText.PosAtCell(line, cell);
}

// ---- painting ----

void TLogMemo::PaintRows(HDC dc, const RECT& area) {
  TSelectObject font(dc, FFont ? static_cast<HGDIOBJ>(FFont) : ::GetStockObject(SYSTEM_FIXED_FONT));
  const int width = ClientArea().right;
  const int first = std::max<int>(area.top, 0) / FRowHeight;
  const int last = std::max<int>(area.bottom - 1, 0) / FRowHeight;
  for (int row = first; row <= last; ++row) PaintRow(dc, FTopLine + row, row * FRowHeight, width);
}

// One row of the view: the one place that decides how a line looks.
void TLogMemo::PaintRow(HDC dc, TPos line, int y, int width) {
  const bool enabled = ::IsWindowEnabled(Handle()) != FALSE;
  const TColor color = Color();
  const COLORREF back =
      color != clDefault ? ColorToRGB(color) : SystemColor(FReadOnly || !enabled ? COLOR_BTNFACE : COLOR_WINDOW);
  const COLORREF fore = TextColour(line, enabled);
  const RECT row{0, y, width, y + FRowHeight};
  FGlyphs.clear();
  FWidths.clear();
  TPos firstPos = 0, firstCell = 0;
  if (line < FText.LineCount()) {
    // The characters in sight: from the one that covers the left edge to the right edge.
    const TPos start = FText.LineStart(line), end = FText.LineEnd(line);
    const TPos left = FLeftCell, right = FLeftCell + VisibleCells() + 1;
    TPos pos = start, cell = 0;
    bool started = false;
    FText.ForEachSlice(start, end - start, [&](const char* narrow, const wchar_t* wide, std::size_t n) {
      for (std::size_t i = 0; i < n; ++i) {
        const wchar_t c = wide ? wide[i] : static_cast<wchar_t>(static_cast<unsigned char>(narrow[i]));
        const TPos next = c == L'\t' ? (cell / TLogText::kTabCells + 1) * TLogText::kTabCells : cell + 1;
        if (next > left) {
          if (!started) {
            started = true;
            firstPos = pos;
            firstCell = cell;
          }
          FGlyphs.push_back(Shown(c, FControlPictures));
          FWidths.push_back(static_cast<INT>((next - cell) * FCellWidth));
        }
        cell = next;
        ++pos;
        if (cell >= right) return false;
      }
      return true;
    });
  }
  const int x = Margin() + static_cast<int>((firstCell - FLeftCell) * FCellWidth);
  const UINT flags = ETO_OPAQUE | ETO_CLIPPED | ETO_IGNORELANGUAGE;
  ::SetTextColor(dc, fore);
  ::SetBkColor(dc, back);
  ::ExtTextOutW(dc, x, y, flags, &row, FGlyphs.data(), static_cast<UINT>(FGlyphs.size()), FWidths.data());
  const auto count = static_cast<TPos>(FGlyphs.size());
  if (count == 0) return;
  // Glyphs from .. to (indexes) in other colours, over the row.
  auto paintRange = [&](TPos from, TPos to, COLORREF text, COLORREF background) {
    from = std::max<TPos>(from, 0);
    to = std::min<TPos>(to, count);
    if (from >= to) return;
    int left = x;
    for (TPos i = 0; i < from; ++i) left += FWidths[static_cast<std::size_t>(i)];
    int right = left;
    for (TPos i = from; i < to; ++i) right += FWidths[static_cast<std::size_t>(i)];
    const RECT r{std::max(left, 0), y, std::min(right, width), y + FRowHeight};
    ::SetTextColor(dc, text);
    ::SetBkColor(dc, background);
    ::ExtTextOutW(dc, left, y, flags, &r, FGlyphs.data() + from, static_cast<UINT>(to - from),
                  FWidths.data() + from);
  };
  // Every match of the find bar in sight, read with what a match at the edge reaches into.
  if (!FHighlight.Empty()) {
    const TPos m = FHighlight.Length();
    const TPos lineStart = FText.LineStart(line), lineEnd = FText.LineEnd(line);
    const TPos from = std::max(firstPos - (m - 1), lineStart), to = std::min(firstPos + count + m - 1, lineEnd);
    if (to > from) {
      FMatchChars.resize(static_cast<std::size_t>(to - from));
      FText.Read(from, to - from, FMatchChars.data());
      FHighlight.FindAll(FMatchChars.data(), FMatchChars.size(), FMatchChars.size(), [&](std::size_t i) {
        const TPos at = from + static_cast<TPos>(i) - firstPos;
        paintRange(at, at + m, kMatchText, kMatchBackground);
        return true;
      });
    }
  }
  // The selected part of the row, over it: the current match stands out from the others.
  const TPos selStart = SelStart(), selEnd = SelEnd();
  if (selStart != selEnd)
    paintRange(selStart - firstPos, selEnd - firstPos, SystemColor(COLOR_HIGHLIGHTTEXT), SystemColor(COLOR_HIGHLIGHT));
}

COLORREF TLogMemo::TextColour(TPos line, bool enabled) const {
  if (!enabled) return SystemColor(COLOR_GRAYTEXT);
  switch (FLineColoursOn ? FColours.At(line) : lcNormal) {
    case lcError: return FHighContrast ? SystemColor(COLOR_HOTLIGHT) : kErrorText;
    case lcWarning: return FHighContrast ? SystemColor(COLOR_HOTLIGHT) : kWarningText;
    case lcDebug: return FHighContrast ? SystemColor(COLOR_GRAYTEXT) : kDebugText;
    default: return ColorToRGB(Font().Color);
  }
}

void TLogMemo::SetLineColours(bool on) {
  if (on == FLineColoursOn) return;
  FLineColoursOn = on;
  if (HandleAllocated()) ::InvalidateRect(Handle(), nullptr, FALSE);
}

void TLogMemo::SetHighlight(const TLogMatcher& matcher) {
  FHighlight = matcher;
  if (HandleAllocated()) ::InvalidateRect(Handle(), nullptr, FALSE);
}

// ---- the screen following the view ----

void TLogMemo::MarkDirty(TPos first, TPos last) {
  FDirtyFrom = FDirtyFrom < 0 ? first : std::min(FDirtyFrom, first);
  FDirtyTo = std::max(FDirtyTo, last);
}

void TLogMemo::InvalidateLines(TPos first, TPos last) {
  if (!HandleAllocated()) return;
  const RECT client = ClientArea();
  const TPos from = std::max<TPos>(first - FShownTop, 0);
  const TPos to = std::min<TPos>(last - FShownTop, client.bottom / FRowHeight);
  if (from > to) return;
  RECT r{0, static_cast<LONG>(from * FRowHeight), client.right,
         static_cast<LONG>(std::min<TPos>((to + 1) * FRowHeight, client.bottom))};
  ::InvalidateRect(Handle(), &r, FALSE);
}

void TLogMemo::UpdateScrollBars() {
  if (!HandleAllocated() || FShowingScrollBars) return;
  FScrollBarsStale = false;
  const LONG_PTR shownBefore = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
  ShowNeededScrollBars();
  const LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
  const TPos lines = FText.LineCount();
  FVerticalScale = static_cast<int>(lines / kMaxScrollUnits + 1);
  // A bar that shows stays, disabled rather than hidden, should the system judge otherwise. One
  // that has just come is drawn with the frame, after this.
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  if (style & WS_VSCROLL) {
    info.nMax = static_cast<int>((lines - 1) / FVerticalScale);
    info.nPage = static_cast<UINT>(PageRows() / FVerticalScale);
    info.nPos = static_cast<int>(FTopLine / FVerticalScale);
    ::SetScrollInfo(Handle(), SB_VERT, &info, (shownBefore & WS_VSCROLL) != 0);
  }
  if (style & WS_HSCROLL) {
    info.nMax = static_cast<int>(std::min<TPos>(FText.WidestLine(), INT_MAX - 1));
    info.nPage = static_cast<UINT>(VisibleCells());
    info.nPos = static_cast<int>(FLeftCell);
    ::SetScrollInfo(Handle(), SB_HORZ, &info, (shownBefore & WS_HSCROLL) != 0);
  }
}

void TLogMemo::ShowNeededScrollBars() {
  const LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
  const bool vertical = (style & WS_VSCROLL) != 0, horizontal = (style & WS_HSCROLL) != 0;
  const int barWidth = ::GetSystemMetricsForDpi(SM_CXVSCROLL, static_cast<UINT>(Dpi()));
  const int barHeight = ::GetSystemMetricsForDpi(SM_CYHSCROLL, static_cast<UINT>(Dpi()));
  // Judged from the room without bars, whatever shows now, so that the answer settles: a bar
  // takes room from the other direction and may make the other bar needed too, which the
  // second round finds (a bar that comes never makes one go).
  const int width = FClient.right + (vertical ? barWidth : 0), height = FClient.bottom + (horizontal ? barHeight : 0);
  const bool mayVertical = FScrollBars == ssVertical || FScrollBars == ssBoth;
  const bool mayHorizontal = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
  bool needVertical = false, needHorizontal = false;
  for (int round = 0; round < 2; ++round) {
    needVertical = mayVertical && FText.LineCount() > RowsIn(height - (needHorizontal ? barHeight : 0));
    needHorizontal = mayHorizontal && FText.WidestLine() + 1 > CellsIn(width - (needVertical ? barWidth : 0));
  }
  if (needVertical == vertical && needHorizontal == horizontal) return;
  // The new client area comes with WM_SIZE, which lays the view out anew.
  FShowingScrollBars = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FShowingScrollBars};
  if (needVertical != vertical) ::ShowScrollBar(Handle(), SB_VERT, needVertical);
  if (needHorizontal != horizontal) ::ShowScrollBar(Handle(), SB_HORZ, needHorizontal);
}

void TLogMemo::PlaceCaret() {
  if (!Focused()) return;
  const POINT p = PointOf(FCaret);
  ::SetCaretPos(p.x, p.y);
  // An input method shows what is being composed at the caret.
  if (!FComposing) return;
  if (HIMC context = ::ImmGetContext(Handle())) {
    COMPOSITIONFORM form{};
    form.dwStyle = CFS_POINT;
    form.ptCurrentPos = p;
    ::ImmSetCompositionWindow(context, &form);
    ::ImmReleaseContext(Handle(), context);
  }
}

void TLogMemo::ShowChanges() {
  FShowPosted = false;
  if (!HandleAllocated()) return;
  if (FScrollBarsStale) UpdateScrollBars();
  if (FNewLines > 0 && Following()) FNewLines = 0;
  UpdateBadge();
  const TPos down = FTopLine - FShownTop, right = FLeftCell - FShownLeft;
  if (down != 0 || right != 0) {
    const bool caretShown = Focused() && ::HideCaret(Handle());
    const RECT client = ClientArea();
    // Scrolled pixels would take the badge's image along: with the badge up, all rows anew.
    const bool badgeShown = FBadge && FBadge->Visible();
    if (badgeShown) {
      ::InvalidateRect(Handle(), nullptr, FALSE);
    } else if (right == 0 && std::abs(down) < PageRows() + 1) {
      // What is on the screen moves; only the rows scrolled in are painted.
      ::ScrollWindowEx(Handle(), 0, static_cast<int>(-down * FRowHeight), &client, &client, nullptr, nullptr,
                       SW_INVALIDATE);
    } else if (down == 0 && std::abs(right) < VisibleCells()) {
      RECT text = client;
      text.left = Margin();
      ::ScrollWindowEx(Handle(), static_cast<int>(-right * FCellWidth), 0, &text, &text, nullptr, nullptr,
                       SW_INVALIDATE);
    } else {
      ::InvalidateRect(Handle(), nullptr, FALSE);
    }
    FShownTop = FTopLine;
    FShownLeft = FLeftCell;
    if (caretShown) ::ShowCaret(Handle());
  }
  // Rows of lines that changed, where they are now.
  if (FDirtyFrom >= 0) {
    InvalidateLines(FDirtyFrom, FDirtyTo);
    FDirtyFrom = FDirtyTo = -1;
  }
  PlaceCaret();
  AnnounceChanges();
  if (FChangeToNotify) {
    FChangeToNotify = false;
    Notify(EN_CHANGE);
  }
}

void TLogMemo::PostShowChanges() {
  if (FShowPosted || !HandleAllocated()) return;
  FShowPosted = ::PostMessageW(Handle(), kShowChangesMessage, 0, 0) != FALSE;
}

void TLogMemo::PaintChanges() {
  ShowChanges();
  Update();
}

void TLogMemo::FollowCaret() {
  const TPos line = FText.LineOf(FCaret);
  const TPos rows = PageRows();
  if (line < FTopLine) FTopLine = line;
  if (line >= FTopLine + rows) FTopLine = line - rows + 1;
  const TPos cell = FText.CellOf(FCaret), cells = VisibleCells();
  // Sideways a third of the width at a time, as the edit control does, so that typing at the
  // right edge does not scroll with every character.
  if (cell < FLeftCell) FLeftCell = std::max<TPos>(cell - cells / 3, 0);
  if (cell >= FLeftCell + cells) FLeftCell = cell - cells + 1 + cells / 3;
  FLeftCell = std::clamp<TPos>(FLeftCell, 0, MaxLeftCell());
  FScrollBarsStale = true;
}

void TLogMemo::ScrollToCaret() {
  FollowCaret();
  ShowChanges();
}

void TLogMemo::SetTopLine(TPos line) {
  FTopLine = std::clamp<TPos>(line, 0, MaxTopLine());
  FScrollBarsStale = true;
  ShowChanges();
}

void TLogMemo::ScrollBy(TPos lines, TPos cells) {
  FTopLine = std::clamp<TPos>(FTopLine + lines, 0, std::max(MaxTopLine(), FTopLine));
  FLeftCell = std::clamp<TPos>(FLeftCell + cells, 0, std::max(MaxLeftCell(), FLeftCell));
  FScrollBarsStale = true;
  if (lines > 0) FollowIfScrolledToEnd();
  ShowChanges();
}

// ---- following the end ----

bool TLogMemo::Following() const noexcept {
  return !FDragging && FAnchor == FCaret && FCaret == FText.Length() && FTopLine >= MaxTopLine();
}

void TLogMemo::FollowEnd() {
  Select(FText.Length(), FText.Length());
  FollowCaret();
  FTopLine = MaxTopLine();
  ShowChanges();
}

void TLogMemo::FollowIfScrolledToEnd() {
  if (FTopLine >= MaxTopLine() && FAnchor == FCaret && !FDragging) Select(FText.Length(), FText.Length());
}

std::wstring TLogMemo::NewLinesText(TPos lines) {
  return L"\u25BC " + FormatCount(static_cast<double>(lines)) +
         (lines == 1 ? L" neue Zeile" : L" neue Zeilen");
}

void TLogMemo::UpdateBadge() {
  if (FNewLines == 0) {
    if (FBadge && FBadge->Visible()) FBadge->SetVisible(false);
    FBadgeLines = -1;
    return;
  }
  if (!HandleAllocated() || FNewLines == FBadgeLines) return;
  if (!FBadge) {
    FBadge = NewComponent<TLogMemoBadge>(this, L"LblNewLines");
    FBadge->SetVisible(false);
    FBadge->SetParent(this);
    FBadge->OnClick = [this](TObject*) { FollowEnd(); };
  }
  FBadgeLines = FNewLines;
  const std::wstring text = NewLinesText(FNewLines);
  SIZE extent{};
  {
    TWindowDc dc(Handle());
    TSelectObject font(dc.Get(), FFont ? static_cast<HGDIOBJ>(FFont) : ::GetStockObject(SYSTEM_FIXED_FONT));
    ::GetTextExtentPoint32W(dc.Get(), text.data(), static_cast<int>(text.size()), &extent);
  }
  // In the corner, clear of the edge by a few pixels; in design pixels, as controls are placed.
  const int width = extent.cx + Scale(16), height = std::max<int>(extent.cy, FRowHeight) + Scale(6);
  const RECT client = ClientArea();
  FBadge->SetCaption(text);
  FBadge->SetBounds(Unscale(client.right - width - Scale(6)), Unscale(client.bottom - height - Scale(6)),
                    Unscale(width), Unscale(height));
  if (!FBadge->Visible()) FBadge->SetVisible(true);
}

void TLogMemo::OnScroll(int bar, WORD code) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_TRACKPOS;
  const bool vertical = bar == SB_VERT;
  const TPos page = vertical ? PageRows() : VisibleCells();
  const TPos now = vertical ? FTopLine : FLeftCell;
  TPos to = now;
  switch (code) {
    case SB_LINEUP: to = now - 1; break;
    case SB_LINEDOWN: to = now + 1; break;
    case SB_PAGEUP: to = now - page; break;
    case SB_PAGEDOWN: to = now + page; break;
    case SB_TOP: to = 0; break;
    case SB_BOTTOM: to = vertical ? MaxTopLine() : MaxLeftCell(); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      // The 32-bit position of the scroll bar itself: the message carries only 16 bits.
      ::GetScrollInfo(Handle(), bar, &info);
      to = vertical ? TPos{info.nTrackPos} * FVerticalScale : info.nTrackPos;
      break;
    default: return;
  }
  if (vertical) {
    FTopLine = std::clamp<TPos>(to, 0, MaxTopLine());
    if (to > now) FollowIfScrolledToEnd();
  } else {
    FLeftCell = std::clamp<TPos>(to, 0, MaxLeftCell());
  }
  FScrollBarsStale = true;
  ShowChanges();
}

// ---- changes of the text ----

bool TLogMemo::AppendLine(std::wstring_view line, TLineColour colour) {
  const bool onNewLine = FText.LineLength(FText.LineCount() - 1) == 0;
  return Append({onNewLine ? std::wstring_view() : std::wstring_view(L"\r\n"), line, std::wstring_view(L"\r\n")},
                colour, FText.LineCount() - (onNewLine ? 1 : 0), colour != lcNormal ? BreaksIn(line) + 1 : 0);
}

bool TLogMemo::Append(std::initializer_list<std::wstring_view> pieces, TLineColour colour, TPos colouredLine,
                      TPos colouredLines) {
  if (FFull) return false;
  if (std::all_of(pieces.begin(), pieces.end(), [](std::wstring_view piece) { return piece.empty(); })) return true;
  try {
    AppendNow(pieces, colour, colouredLine, colouredLines);
  } catch (const std::bad_alloc&) {
    BecomeFull();
    return false;
  }
  try {
    RemoveOldLines();
  } catch (const std::bad_alloc&) {
    BecomeFull();  // the lines are in; the oldest could not make room for them
  }
  return true;
}

void TLogMemo::AppendNow(std::initializer_list<std::wstring_view> pieces, TLineColour colour, TPos colouredLine,
                         TPos colouredLines) {
  const bool follow = Following();
  const TPos linesBefore = FText.LineCount();
  // The colours first: what fails to allocate there or in the text leaves both as they were.
  const TPos colouredLast = colouredLine + colouredLines - 1;
  if (colour != lcNormal && colouredLines > 0) {
    try {
      for (TPos line = colouredLine; line <= colouredLast; ++line) FColours.Set(line, colour);
      FText.Append(pieces);
    } catch (...) {
      FColours.Remove(colouredLine, colouredLast);
      throw;
    }
  } else {
    FText.Append(pieces);
  }
  // The rows from the last line on change; following, so do those of a selection, which goes.
  MarkDirty(follow ? std::min(linesBefore - 1, FText.LineOf(SelStart())) : linesBefore - 1, kEveryLine);
  if (follow) {
    FAnchor = FCaret = FText.Length();
    FWantedCell = -1;
    FollowCaret();
  } else {
    // What the reader reads stays; the scroll bar shows there is more.
    FNewLines += FText.LineCount() - linesBefore;
    FScrollBarsStale = true;
  }
  FChangeToNotify = true;
  FValueToAnnounce = true;
  PostShowChanges();
}

void TLogMemo::SetLineLimit(TPos lines) {
  FLineLimit = std::max<TPos>(lines, 0);
  if (FFull) return;
  try {
    RemoveOldLines();
  } catch (const std::bad_alloc&) {
    BecomeFull();
  }
  ShowChanges();
}

void TLogMemo::RemoveOldLines() {
  if (FLineLimit <= 0 || FText.LineCount() <= FLineLimit) return;
  const TPos noticeLines = RemovedNotice ? 1 : 0;
  const TPos cut = FText.FrontCut(FText.LineCount() + noticeLines - FLineLimit);
  if (cut == 0) return;
  const TPos cutLines = FText.LineOf(cut);
  const TPos removed = FRemovedLines + cutLines - FNoticeLines;
  // Whatever may fail to allocate before the text changes.
  const std::wstring notice = noticeLines > 0 ? RemovedNotice(removed) + L"\r\n" : std::wstring();
  FText.RemoveFront(cut);
  FRemovedLines = removed;
  FColours.RemovedFront(cutLines, 0);
  FNoticeLines = 0;
  bool noRoom = false;
  if (noticeLines > 0) {
    try {
      FText.Replace(0, 0, notice, false);
      FColours.RemovedFront(0, noticeLines);
      FNoticeLines = noticeLines;
    } catch (const std::bad_alloc&) {
      noRoom = true;  // the view goes on without the notice, and is full
    }
  }
  // Everything that holds a place moves with the text: a line that went leaves its holder at the
  // first line that stayed (a reader whose lines went looks at the start).
  const TPos noticeChars = FNoticeLines > 0 ? static_cast<TPos>(notice.size()) : 0;
  const TPos shiftChars = noticeChars - cut, shiftLines = FNoticeLines - cutLines;
  auto movePos = [&](TPos pos) { return std::max<TPos>(pos + shiftChars, noticeChars); };
  auto moveLine = [&](TPos line) { return line >= cutLines ? line + shiftLines : 0; };
  FAnchor = movePos(FAnchor);
  FCaret = movePos(FCaret);
  const bool shownGone = FShownTop < cutLines;
  FTopLine = std::min(moveLine(FTopLine), MaxTopLine());
  FShownTop = moveLine(FShownTop);
  if (FDirtyFrom >= 0) {
    FDirtyFrom = moveLine(FDirtyFrom);
    FDirtyTo = FDirtyTo >= kEveryLine ? kEveryLine : moveLine(FDirtyTo);
  }
  FNewLines = std::min(FNewLines, FText.LineCount() - 1 - FNoticeLines);
  if (shownGone) {
    // What the screen shows went: all rows anew, no scrolling.
    FShownTop = FTopLine;
    if (HandleAllocated()) ::InvalidateRect(Handle(), nullptr, FALSE);
  } else {
    MarkDirty(0, 0);  // the notice
  }
  FScrollBarsStale = true;
  FValueToAnnounce = true;
  PostShowChanges();
  if (noRoom) throw std::bad_alloc();
}

void TLogMemo::BecomeFull() {
  FFull = true;
  FReserve.reset();
  if (!FullNotice) return;
  // The notice goes in beyond the cap a test set, as into the memory kept for it.
  const std::size_t cap = FText.MemoryCap();
  FText.SetMemoryCap(0);
  try {
    const std::wstring notice = FullNotice();
    const bool onNewLine = FText.LineLength(FText.LineCount() - 1) == 0;
    AppendNow({onNewLine ? std::wstring_view() : std::wstring_view(L"\r\n"), notice, std::wstring_view(L"\r\n")},
              lcNormal, 0, 0);
  } catch (const std::bad_alloc&) {
    // Not even that: the view stays as it is.
  }
  FText.SetMemoryCap(cap);
}

void TLogMemo::ForgetText() {
  FText.Clear();
  FColours.Clear();
  FRemovedLines = FNoticeLines = 0;
  FFull = false;
  if (!FReserve) FReserve.reset(new (std::nothrow) std::byte[kFullReserveBytes]);
}

void TLogMemo::Clear() {
  ForgetText();
  ShowNewText();
  Notify(EN_CHANGE);
}

void TLogMemo::ShowNewText() {
  FNewLines = 0;
  FAnchor = FCaret = 0;
  FWantedCell = -1;
  FTopLine = FLeftCell = FShownTop = FShownLeft = 0;
  FDirtyFrom = FDirtyTo = -1;
  FModified = false;
  FScrollBarsStale = true;
  Invalidate();
  ShowChanges();
}

void TLogMemo::Select(TPos anchor, TPos caret, bool keepWantedCell) {
  anchor = std::clamp<TPos>(anchor, 0, FText.Length());
  caret = std::clamp<TPos>(caret, 0, FText.Length());
  if (!keepWantedCell) FWantedCell = -1;
  if (anchor == FAnchor && caret == FCaret) return;
  if (SelStart() != SelEnd() || anchor != caret) FSelectionToAnnounce = true;
  if (FText.LineOf(caret) != FText.LineOf(FCaret)) FValueToAnnounce = true;
  // The rows whose highlight changes: between the old and the new selection.
  if (FAnchor != FCaret || anchor != caret) {
    const TPos from = std::min({FAnchor, FCaret, anchor, caret}), to = std::max({FAnchor, FCaret, anchor, caret});
    MarkDirty(FText.LineOf(from), FText.LineOf(to));
  }
  FAnchor = anchor;
  FCaret = caret;
}

void TLogMemo::SetSelection(TPos anchor, TPos caret) {
  Select(anchor, caret);
  ShowChanges();
}

void TLogMemo::MoveCaret(TPos pos, bool extend, bool keepWantedCell) {
  Select(extend ? FAnchor : pos, pos, keepWantedCell);
  FollowCaret();
  ShowChanges();
}

void TLogMemo::ReplaceSelection(std::wstring_view text, bool undoable) {
  const TPos pos = SelStart(), count = SelEnd() - pos;
  if (count == 0 && text.empty()) return;
  const TPos linesBefore = FText.LineCount();
  const TEditedLines lines = LinesOf(pos, count);
  MarkDirty(lines.First, lines.Last);
  FText.Replace(pos, count, text, undoable);
  FAnchor = FCaret = pos + static_cast<TPos>(text.size());
  Edited(pos, static_cast<TPos>(text.size()), linesBefore, lines);
}

TLogMemo::TEditedLines TLogMemo::LinesOf(TPos pos, TPos count) const {
  const TPos first = FText.LineOf(pos);
  return {first, FText.LineOf(pos + count), FText.LineStart(first) == pos};
}

// After an edit at pos: the colours move with their lines, the rows it changed (all below it
// when the lines moved), the scroll bars, the caret in sight, and the parent told.
void TLogMemo::Edited(TPos pos, TPos inserted, TPos linesBefore, const TEditedLines& lines) {
  FColours.Replaced(lines.First, lines.Last, lines.FromLineStart, FText.LineOf(pos + inserted) - lines.First);
  if (lines.First < FNoticeLines) FNoticeLines = 0;  // the notice was edited: a line as others
  FWantedCell = -1;
  FModified = true;
  FValueToAnnounce = true;
  MarkDirty(FText.LineOf(pos), FText.LineCount() != linesBefore ? kEveryLine : FText.LineOf(pos + inserted));
  FTopLine = std::min(FTopLine, MaxTopLine());
  FollowCaret();
  ShowChanges();
  Notify(EN_CHANGE);
}

void TLogMemo::Undo() {
  if (FReadOnly || !FText.CanUndo()) return;
  const TPos linesBefore = FText.LineCount();
  const TLogText::TRange replaced = FText.UndoRange();
  const TEditedLines lines = LinesOf(replaced.Pos, replaced.Length);
  MarkDirty(FText.LineOf(SelStart()), FText.LineOf(SelEnd()));
  MarkDirty(lines.First, lines.Last);
  const TLogText::TRange range = FText.Undo();
  Select(range.Pos, range.Pos + range.Length);
  Edited(range.Pos, range.Length, linesBefore, lines);
}

void TLogMemo::CopyToClipboard(TPos pos, TPos count, std::function<void()> done) {
  pos = std::clamp<TPos>(pos, 0, FText.Length());
  count = std::clamp<TPos>(count, 0, FText.Length() - pos);
  // Once a copy went to the thread, the later ones follow it there: the last one asked for wins.
  if (count < kCopyAtOnceChars && !(FCopyWork && FCopyWork->Busy())) {
    CopyLogText(Clipboard(), FText, pos, count);
    if (done) done();
    return;
  }
  if (!FCopyWork)
    FCopyWork = std::make_unique<TBackgroundWork>(
        [this] { ::PostMessageW(FCopyDoneWindow.load(), kCopyDoneMessage, 0, 0); });
  FCopyDoneWindow = Handle();
  // Clipboard() is first asked for here, on the window's thread: its owner window lives there.
  FCopyWork->Add([&clipboard = Clipboard(), text = FText.Snapshot(), pos,
                  count] { CopyLogText(clipboard, text, pos, count); },
                 [done = std::move(done)](std::exception_ptr error) {
                   if (error) std::rethrow_exception(error);
                   if (done) done();
                 });
}

void TLogMemo::WaitForCopies() {
  if (!FCopyWork) return;
  // Emptying the clipboard sends its owner window, which lives on this thread, a message: it is
  // answered meanwhile, or the copy would wait for this thread and this thread for the copy.
  while (!FCopyWork->Wait(std::chrono::milliseconds(10))) {
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void TLogMemo::Copy() {
  if (SelEnd() > SelStart()) CopyToClipboard(SelStart(), SelEnd() - SelStart());
}

void TLogMemo::Cut() {
  if (FReadOnly || SelEnd() == SelStart()) return;
  Copy();
  ReplaceSelection(L"", true);
}

void TLogMemo::Paste() {
  if (FReadOnly) return;
  WaitForCopies();  // what was copied last is what comes in
  const std::wstring text = Clipboard().AsText();
  if (!text.empty()) ReplaceSelection(text, true);
}

void TLogMemo::DeleteSelection() {
  if (!FReadOnly) ReplaceSelection(L"", true);
}

TPos TLogMemo::CharLeft(TPos pos) const {
  if (pos <= 0) return 0;
  // A line break and a surrogate pair are passed as one.
  const wchar_t c = FText.At(pos - 1), before = pos >= 2 ? FText.At(pos - 2) : L'\0';
  if ((c == L'\n' && before == L'\r') || (IS_LOW_SURROGATE(c) && IS_HIGH_SURROGATE(before))) return pos - 2;
  return pos - 1;
}

TPos TLogMemo::CharRight(TPos pos) const {
  if (pos >= FText.Length()) return FText.Length();
  const wchar_t c = FText.At(pos), after = FText.At(pos + 1);
  if ((c == L'\r' && after == L'\n') || (IS_HIGH_SURROGATE(c) && IS_LOW_SURROGATE(after))) return pos + 2;
  return pos + 1;
}

// Words are what lies between blanks; at the edge of a line the caret goes to the next line.
TPos TLogMemo::WordRight(TPos pos) const {
  const TPos line = FText.LineOf(pos), end = FText.LineEnd(line);
  if (pos >= end) return line + 1 < FText.LineCount() ? FText.LineStart(line + 1) : pos;
  while (pos < end && !IsBlank(FText.At(pos))) ++pos;
  while (pos < end && IsBlank(FText.At(pos))) ++pos;
  return pos;
}

TPos TLogMemo::WordLeft(TPos pos) const {
  const TPos line = FText.LineOf(pos), start = FText.LineStart(line);
  if (pos <= start) return line > 0 ? FText.LineEnd(line - 1) : 0;
  while (pos > start && IsBlank(FText.At(pos - 1))) --pos;
  while (pos > start && !IsBlank(FText.At(pos - 1))) --pos;
  return pos;
}

void TLogMemo::SelectWordAt(TPos pos) {
  const TPos line = FText.LineOf(pos), start = FText.LineStart(line), end = FText.LineEnd(line);
  if (pos >= end && pos > start) --pos;  // behind the line's end: its last word
  if (pos >= end) {
    MoveCaret(pos, false);
    return;
  }
  const bool blank = IsBlank(FText.At(pos));
  TPos from = pos, to = pos;
  while (from > start && IsBlank(FText.At(from - 1)) == blank) --from;
  while (to < end && IsBlank(FText.At(to)) == blank) ++to;
  Select(from, to);
  FollowCaret();
  ShowChanges();
}

// ---- assistive tools ----

void TLogMemo::AnnounceChanges() {
  if (FValueToAnnounce) ::NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, Handle(), OBJID_CLIENT, CHILDID_SELF);
  if (FSelectionToAnnounce) ::NotifyWinEvent(EVENT_OBJECT_TEXTSELECTIONCHANGED, Handle(), OBJID_CLIENT, CHILDID_SELF);
  FValueToAnnounce = FSelectionToAnnounce = false;
}

void TLogMemo::Notify(WORD code) {
  if (!HandleAllocated()) return;
  if (HWND parent = ::GetParent(Handle()))
    ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(ControlId(), code), reinterpret_cast<LPARAM>(Handle()));
}

void TLogMemo::CNCommand(WORD code) {
  if (code == EN_CHANGE && OnChange) OnChange(this);
}

// ---- keys ----

void TLogMemo::DoKeyDown(unsigned short& key, TShiftState shift) {
  TControl::DoKeyDown(key, shift);
  if (key != 0 && HandleKey(key, shift)) key = 0;
}

bool TLogMemo::HandleKey(WORD key, TShiftState shift) {
  if (shift.Contains(ssAlt)) return false;
  const bool ctrl = shift.Contains(ssCtrl), extend = shift.Contains(ssShift);
  const TPos line = FText.LineOf(FCaret);
  switch (key) {
    case VK_LEFT:
      if (!extend && !ctrl && FAnchor != FCaret) MoveCaret(SelStart(), false);
      else MoveCaret(ctrl ? WordLeft(FCaret) : CharLeft(FCaret), extend);
      return true;
    case VK_RIGHT:
      if (!extend && !ctrl && FAnchor != FCaret) MoveCaret(SelEnd(), false);
      else MoveCaret(ctrl ? WordRight(FCaret) : CharRight(FCaret), extend);
      return true;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
      if (ctrl && (key == VK_UP || key == VK_DOWN)) {
        ScrollBy(key == VK_UP ? -1 : 1, 0);  // the view moves, the caret stays
        return true;
      }
      const TPos rows = key == VK_UP || key == VK_DOWN ? 1 : PageRows();
      const TPos target = std::clamp<TPos>(line + (key == VK_UP || key == VK_PRIOR ? -rows : rows), 0,
                                           FText.LineCount() - 1);
      if (FWantedCell < 0) FWantedCell = FText.CellOf(FCaret);
      if (key == VK_PRIOR || key == VK_NEXT) {
        FTopLine = std::clamp<TPos>(FTopLine + (target - line), 0, MaxTopLine());
        FScrollBarsStale = true;
      }
      MoveCaret(FText.PosAtCell(target, FWantedCell), extend, true);
      return true;
    }
    case VK_HOME:
      MoveCaret(ctrl ? 0 : FText.LineStart(line), extend);
      return true;
    case VK_END:
      MoveCaret(ctrl ? FText.Length() : FText.LineEnd(line), extend);
      return true;
    case VK_DELETE:
      if (extend) {
        Cut();
      } else if (!FReadOnly) {
        if (FAnchor == FCaret) Select(FCaret, CharRight(FCaret));
        DeleteSelection();
      }
      return true;
    case VK_INSERT:
      if (extend) Paste();
      if (ctrl) Copy();
      return extend || ctrl;
    default:
      return false;
  }
}

void TLogMemo::DoKeyPress(wchar_t& key) {
  TControl::DoKeyPress(key);
  if (key == 0) return;
  HandleChar(key);
  key = 0;
}

void TLogMemo::HandleChar(wchar_t c) {
  switch (c) {
    case 0x01: SelectAll(); ShowChanges(); return;  // Ctrl+A
    case 0x03: Copy(); return;                       // Ctrl+C
    case 0x16: Paste(); return;                      // Ctrl+V
    case 0x18: Cut(); return;                        // Ctrl+X
    case 0x1A: Undo(); return;                       // Ctrl+Z
    case L'\b':
      if (FReadOnly) return;
      if (FAnchor == FCaret) Select(CharLeft(FCaret), FCaret);
      DeleteSelection();
      return;
    case L'\r':
      if (!FReadOnly) ReplaceSelection(L"\r\n", true);
      return;
    case L'\t':
      if (!FReadOnly) ReplaceSelection(L"\t", true);
      return;
    default:
      // Other control characters come from keys with Ctrl and are no text.
      if (!FReadOnly && c >= 0x20 && c != 0x7F) ReplaceSelection(std::wstring_view(&c, 1), true);
      return;
  }
}

// ---- mouse ----

bool TLogMemo::DoMouseWheel(TShiftState shift, int delta, POINT screenPoint) {
  if (TControl::DoMouseWheel(shift, delta, screenPoint)) return true;
  UINT perNotch = 3;
  ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
  FWheelRest += delta;
  const int notches = FWheelRest / WHEEL_DELTA;
  FWheelRest %= WHEEL_DELTA;
  if (notches == 0) return true;
  if (perNotch == WHEEL_PAGESCROLL)
    ScrollBy(-notches * PageRows(), 0);
  else
    ScrollBy(-static_cast<TPos>(notches) * perNotch, 0);
  return true;
}

void TLogMemo::MouseDown(POINT point, bool extend) {
  if (!Focused()) SetFocus();
  const TPos pos = PosAt(point);
  Select(extend ? FAnchor : pos, pos);
  FDragging = true;
  ::SetCapture(Handle());
  FollowCaret();
  ShowChanges();
}

void TLogMemo::MouseDrag(POINT point) {
  const RECT client = ClientArea();
  const bool outside = point.y < 0 || point.y >= client.bottom || point.x < 0 || point.x >= client.right;
  if (outside)
    ::SetTimer(Handle(), kAutoScrollTimer, kAutoScrollMsec, nullptr);
  else
    ::KillTimer(Handle(), kAutoScrollTimer);
  Select(FAnchor, PosAt(point));
  ShowChanges();
}

// While the mouse is held beyond an edge, the view moves that way and the selection with it.
void TLogMemo::AutoScroll() {
  if (!FDragging) {
    ::KillTimer(Handle(), kAutoScrollTimer);
    return;
  }
  POINT point;
  ::GetCursorPos(&point);
  ::ScreenToClient(Handle(), &point);
  const RECT client = ClientArea();
  const TPos lines = point.y < 0 ? -1 : point.y >= client.bottom ? 1 : 0;
  const TPos cells = point.x < 0 ? -1 : point.x >= client.right ? 1 : 0;
  FTopLine = std::clamp<TPos>(FTopLine + lines, 0, MaxTopLine());
  FLeftCell = std::clamp<TPos>(FLeftCell + cells, 0, MaxLeftCell());
  FScrollBarsStale = true;
  Select(FAnchor, PosAt(point));
  ShowChanges();
}

void TLogMemo::EndDrag() {
  FDragging = false;
  ::KillTimer(Handle(), kAutoScrollTimer);
}

// ---- context menu ----

bool TLogMemo::DoContextPopup(POINT screenPoint) {
  if (screenPoint.x == -1 && screenPoint.y == -1) {
    // From the keyboard: at the caret.
    screenPoint = PointOf(FCaret);
    screenPoint.y += FRowHeight;
    ::ClientToScreen(Handle(), &screenPoint);
  }
  if (TControl::DoContextPopup(screenPoint)) return true;
  ShowEditMenu(screenPoint);
  return true;
}

// The edit control's own menu, in German as the rest of the program.
void TLogMemo::ShowEditMenu(POINT screenPoint) {
  const bool selected = SelEnd() > SelStart();
  TPopupMenu menu(nullptr);
  menu.AddItem(L"MnuUndo", L"&Rückgängig", [this](TObject*) { Undo(); })->SetEnabled(!FReadOnly && FText.CanUndo());
  menu.AddItem(L"MnuLine1", L"-");
  menu.AddItem(L"MnuCut", L"&Ausschneiden", [this](TObject*) { Cut(); })->SetEnabled(!FReadOnly && selected);
  menu.AddItem(L"MnuCopy", L"&Kopieren", [this](TObject*) { Copy(); })->SetEnabled(selected);
  menu.AddItem(L"MnuPaste", L"&Einfügen", [this](TObject*) { Paste(); })->SetEnabled(!FReadOnly && Clipboard().HasText());
  menu.AddItem(L"MnuDelete", L"&Löschen", [this](TObject*) { DeleteSelection(); })->SetEnabled(!FReadOnly && selected);
  menu.AddItem(L"MnuLine2", L"-");
  menu.AddItem(L"MnuSelectAll", L"Alles &markieren", [this](TObject*) {
        SelectAll();
        ShowChanges();
      })->SetEnabled(FText.Length() > 0);
  if (OnEditMenu) OnEditMenu(menu);
  menu.SetPopupComponent(this);
  menu.Popup(screenPoint.x, screenPoint.y);
}

// ---- messages ----

LRESULT TLogMemo::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (EditMessage(msg, wParam, lParam, result)) return result;
  if (AccessibleMessage(Handle(), msg, wParam, lParam, FAccessible,
                        [this](IAccessible* standard) { return new TLogMemoAccessible(*this, standard); }, result))
    return result;
  switch (msg) {
    case WM_NCCREATE: {
      // The window text given at creation is the first text of the view.
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      if (create->lpszName && *create->lpszName) FText.Append(create->lpszName);
      return ::DefWindowProcW(Handle(), msg, wParam, lParam);
    }
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    case kCopyDoneMessage:
      if (FCopyWork) FCopyWork->FinishDone();
      return 0;
    case WM_SETFONT: {
      const bool follow = Following();
      FFont = reinterpret_cast<HFONT>(wParam);
      MeasureFont();
      // The top line stays (the last one, while following); the scroll bars follow the new
      // cells at once.
      FTopLine = follow ? MaxTopLine() : std::min(FTopLine, MaxTopLine());
      FBadgeLines = -1;
      FLeftCell = std::min(FLeftCell, MaxLeftCell());
      FShownTop = FTopLine;
      FShownLeft = FLeftCell;
      UpdateScrollBars();
      if (Focused()) {
        ::DestroyCaret();
        ::CreateCaret(Handle(), nullptr, 1, FRowHeight);
        ::ShowCaret(Handle());
        PlaceCaret();
      }
      ::InvalidateRect(Handle(), nullptr, FALSE);
      UpdateBadge();
      return 0;
    }
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(FFont);
    case WM_SIZE: {
      // Another number of rows and cells: all of them are painted anew. A view that follows
      // goes on showing the last line.
      const bool follow = Following();
      ::GetClientRect(Handle(), &FClient);
      FTopLine = FShownTop = follow ? MaxTopLine() : std::min(FTopLine, MaxTopLine());
      FLeftCell = FShownLeft = std::min(FLeftCell, MaxLeftCell());
      UpdateScrollBars();
      PlaceCaret();
      ::InvalidateRect(Handle(), nullptr, FALSE);
      FBadgeLines = -1;
      UpdateBadge();
      break;
    }
    case WM_ERASEBKGND:
      return 1;  // the rows paint every pixel
    case WM_PAINT: {
      ShowChanges();  // scrolling waits no longer than the paint
      TPaintDc dc(Handle());
      PaintRows(dc.Get(), dc.Area());
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintRows(reinterpret_cast<HDC>(wParam), ClientArea());
      return 0;
    case kShowChangesMessage:
      if (FShowPosted) ShowChanges();
      return 0;
    case WM_SETFOCUS: {
      const LRESULT r = TControl::WndProc(msg, wParam, lParam);
      ::CreateCaret(Handle(), nullptr, 1, FRowHeight);
      PlaceCaret();
      ::ShowCaret(Handle());
      Notify(EN_SETFOCUS);
      return r;
    }
    case WM_KILLFOCUS: {
      EndDrag();
      ::DestroyCaret();
      const LRESULT r = TControl::WndProc(msg, wParam, lParam);
      Notify(EN_KILLFOCUS);
      return r;
    }
    case WM_ENABLE:
      Invalidate();
      break;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
      FHighContrast = HighContrastOn();
      ::InvalidateRect(Handle(), nullptr, FALSE);
      break;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && !Screen().CursorHandle()) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
        return TRUE;
      }
      break;
    case WM_VSCROLL:
    case WM_HSCROLL:
      if (lParam == 0) {  // our own scroll bars
        OnScroll(msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
        return 0;
      }
      break;
    case WM_LBUTTONDOWN:
      MouseDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, (wParam & MK_SHIFT) != 0);
      return 0;
    case WM_LBUTTONDBLCLK:
      SelectWordAt(PosAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
      return 0;
    case WM_MOUSEMOVE:
      if (FDragging && (wParam & MK_LBUTTON)) MouseDrag(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      break;
    case WM_LBUTTONUP:
      if (FDragging) ::ReleaseCapture();
      EndDrag();
      return 0;
    case WM_CAPTURECHANGED:
      EndDrag();
      return 0;
    case WM_TIMER:
      if (wParam == kAutoScrollTimer) {
        AutoScroll();
        return 0;
      }
      break;
    case WM_IME_STARTCOMPOSITION:
      FComposing = true;
      if (HIMC context = ::ImmGetContext(Handle())) {
        LOGFONTW font{};
        if (FFont && ::GetObjectW(FFont, sizeof(font), &font)) ::ImmSetCompositionFontW(context, &font);
        ::ImmReleaseContext(Handle(), context);
      }
      PlaceCaret();
      break;
    case WM_IME_ENDCOMPOSITION:
      FComposing = false;
      break;
    default:
      break;
  }
  return TControl::WndProc(msg, wParam, lParam);
}

// The messages of a multi-line edit control, with its 32-bit answers.
bool TLogMemo::EditMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const TPos length = FText.Length();
  switch (msg) {
    case WM_GETTEXT: {
      if (wParam == 0 || !lParam) return result = 0, true;
      auto* to = reinterpret_cast<wchar_t*>(lParam);
      const TPos copied = FText.Read(0, std::min<TPos>(length, static_cast<TPos>(wParam) - 1), to);
      to[copied] = L'\0';
      result = Clamp32(copied);
      return true;
    }
    case WM_GETTEXTLENGTH:
      result = Clamp32(length);
      return true;
    case WM_SETTEXT:
      // A multi-line edit control sends no EN_CHANGE for it.
      ForgetText();
      if (lParam) Append({reinterpret_cast<const wchar_t*>(lParam)}, lcNormal);
      ShowNewText();
      result = TRUE;
      return true;
    case EM_GETSEL: {
      const TPos start = SelStart(), end = SelEnd();
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(std::min<TPos>(start, UINT_MAX));
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(std::min<TPos>(end, UINT_MAX));
      result = start > 0xFFFF || end > 0xFFFF ? -1 : MAKELRESULT(start, end);
      return true;
    }
    case EM_SETSEL: {
      const int start = static_cast<int>(wParam), end = static_cast<int>(lParam);
      if (start == -1) {
        Select(FCaret, FCaret);  // no selection any more; the caret stays
      } else {
        Select(start, end < 0 ? length : end);
      }
      ShowChanges();
      result = TRUE;
      return true;
    }
    case EM_REPLACESEL: {
      const auto* text = reinterpret_cast<const wchar_t*>(lParam);
      ReplaceSelection(text ? std::wstring_view(text) : std::wstring_view(), wParam != FALSE);
      return result = 0, true;
    }
    case EM_GETLINECOUNT:
      result = Clamp32(FText.LineCount());
      return true;
    case EM_LINEINDEX: {
      const TPos line = static_cast<int>(wParam) < 0 ? FText.LineOf(FCaret) : static_cast<TPos>(static_cast<int>(wParam));
      result = line < FText.LineCount() ? Clamp32(FText.LineStart(line)) : -1;
      return true;
    }
    case EM_LINELENGTH: {
      const int index = static_cast<int>(wParam);
      if (index < 0) {
        // The characters of the selected lines that are not selected.
        const TPos first = FText.LineStart(FText.LineOf(SelStart())), last = FText.LineEnd(FText.LineOf(SelEnd()));
        result = Clamp32((SelStart() - first) + std::max<TPos>(last - SelEnd(), 0));
      } else {
        result = Clamp32(FText.LineLength(FText.LineOf(index)));
      }
      return true;
    }
    case EM_LINEFROMCHAR: {
      const int index = static_cast<int>(wParam);
      result = Clamp32(FText.LineOf(index < 0 ? SelStart() : index));
      return true;
    }
    case EM_GETLINE: {
      const TPos line = static_cast<TPos>(wParam);
      auto* to = reinterpret_cast<wchar_t*>(lParam);
      if (!to || line >= FText.LineCount()) return result = 0, true;
      // The buffer's size stands in its first character; no terminating zero is written.
      const TPos room = *reinterpret_cast<const WORD*>(to);
      result = Clamp32(FText.Read(FText.LineStart(line), std::min(room, FText.LineLength(line)), to));
      return true;
    }
    case EM_POSFROMCHAR: {
      const auto index = static_cast<TPos>(static_cast<int>(wParam));
      if (index < 0 || index >= length) return result = -1, true;
      const POINT p = PointOf(index);
      result = MAKELRESULT(static_cast<WORD>(p.x), static_cast<WORD>(p.y));
      return true;
    }
    case EM_CHARFROMPOS: {
      const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      const RECT client = ClientArea();
      if (!::PtInRect(&client, p)) return result = -1, true;
      const TPos pos = PosAt(p);
      result = MAKELRESULT(static_cast<WORD>(pos), static_cast<WORD>(FText.LineOf(pos)));
      return true;
    }
    case EM_SCROLLCARET:
      ScrollToCaret();
      return result = TRUE, true;
    case EM_LINESCROLL:
      ScrollBy(static_cast<int>(lParam), static_cast<int>(wParam));
      return result = TRUE, true;
    case EM_GETFIRSTVISIBLELINE:
      result = Clamp32(FTopLine);
      return true;
    case EM_SETREADONLY:
      SetReadOnly(wParam != FALSE);
      return result = TRUE, true;
    case EM_CANUNDO:
      result = FText.CanUndo() ? TRUE : FALSE;
      return true;
    case EM_UNDO:
    case WM_UNDO:
      result = !FReadOnly && FText.CanUndo() ? TRUE : FALSE;
      Undo();
      return true;
    case EM_EMPTYUNDOBUFFER:
      FText.EmptyUndo();
      return result = 0, true;
    case EM_GETMODIFY:
      result = FModified ? TRUE : FALSE;
      return true;
    case EM_SETMODIFY:
      FModified = wParam != FALSE;
      return result = 0, true;
    case EM_GETLIMITTEXT:
      result = 0x7FFFFFFE;  // no limit: lines accumulate until the view is cleared
      return true;
    case EM_GETRECT: {
      RECT* r = reinterpret_cast<RECT*>(lParam);
      if (r) {
        *r = ClientArea();
        r->left += Margin();
      }
      return result = 0, true;
    }
    case WM_COPY:
      Copy();
      return result = 0, true;
    case WM_CUT:
      Cut();
      return result = 0, true;
    case WM_PASTE:
      Paste();
      return result = 0, true;
    case WM_CLEAR:
      DeleteSelection();
      return result = 0, true;
    default:
      return false;
  }
}
