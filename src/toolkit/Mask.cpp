#include "toolkit/Mask.h"

#include "base/Locale.h"
#include "toolkit/Clipbrd.h"

#include <algorithm>

namespace {

LRESULT Send(HWND wnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
  return ::SendMessageW(wnd, msg, wParam, lParam);
}

wchar_t Separator(wchar_t localeSeparator, wchar_t fallback) {
  return localeSeparator != 0 ? localeSeparator : fallback;
}

}  // namespace

// ---- TEditMask ----

TEditMask::TEditMask(std::wstring_view mask) {
  // The fields are split at ";" that no "\" escapes.
  std::wstring fields[3];
  int field = 0;
  for (size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] == L'\\' && i + 1 < mask.size()) {
      if (field == 0) fields[0] += mask[i];
      fields[field] += mask[++i];
    } else if (mask[i] == L';' && field < 2) {
      ++field;
    } else {
      fields[field] += mask[i];
    }
  }
  if (field >= 1) FSaveLiterals = fields[1] != L"0";
  if (field >= 2 && !fields[2].empty()) FBlank = fields[2][0];

  const std::wstring& pattern = fields[0];
  TCaseKind caseKind = ckNone;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const wchar_t c = pattern[i];
    TPosition p;
    p.Case = caseKind;
    switch (c) {
      case L'\\':
        if (++i < pattern.size()) p.Literal = pattern[i];
        break;
      case L'>':
      case L'<':
        if (i + 1 < pattern.size() && pattern[i + 1] == (c == L'>' ? L'<' : L'>')) {
          caseKind = ckNone;  // "<>" (or "><") ends the conversion
          ++i;
        } else {
          caseKind = c == L'>' ? ckUpper : ckLower;
        }
        continue;
      case L'!':
        continue;
      case L'0':
      case L'9':
        p.Kind = ikDigit;
        p.Required = c == L'0';
        break;
      case L'#':
        p.Kind = ikDigitOrSign;
        break;
      case L'L':
      case L'l':
        p.Kind = ikLetter;
        p.Required = c == L'L';
        break;
      case L'A':
      case L'a':
        p.Kind = ikLetterOrDigit;
        p.Required = c == L'A';
        break;
      case L'C':
      case L'c':
        p.Kind = ikAny;
        p.Required = c == L'C';
        break;
      case L':':
        p.Literal = Separator(LocaleSnapshot().TimeSeparator, L':');
        break;
      case L'/':
        p.Literal = Separator(LocaleSnapshot().DateSeparator, L'/');
        break;
      case L'_':
        p.Literal = L' ';
        break;
      default:
        p.Literal = c;
        break;
    }
    FPositions.push_back(p);
  }
}

bool TEditMask::IsLiteral(int pos) const {
  return pos >= 0 && pos < Length() && FPositions[static_cast<size_t>(pos)].Kind == ikLiteral;
}

bool TEditMask::IsRequired(int pos) const {
  return pos >= 0 && pos < Length() && FPositions[static_cast<size_t>(pos)].Required;
}

int TEditMask::NextInput(int pos) const {
  pos = std::max(pos, 0);
  while (pos < Length() && IsLiteral(pos)) ++pos;
  return std::min(pos, Length());
}

int TEditMask::PreviousInput(int pos) const {
  for (int p = std::min(pos, Length()) - 1; p >= 0; --p)
    if (!IsLiteral(p)) return p;
  return -1;
}

std::wstring TEditMask::BlankText() const {
  std::wstring text;
  for (const TPosition& p : FPositions) text += p.Kind == ikLiteral ? p.Literal : FBlank;
  return text;
}

bool TEditMask::Accepts(int pos, wchar_t& c) const {
  const TPosition& p = FPositions[static_cast<size_t>(pos)];
  bool ok = false;
  switch (p.Kind) {
    case ikDigit:
      ok = c >= L'0' && c <= L'9';
      break;
    case ikDigitOrSign:
      ok = (c >= L'0' && c <= L'9') || c == L'+' || c == L'-';
      break;
    case ikLetter:
      ok = ::IsCharAlphaW(c) != FALSE;
      break;
    case ikLetterOrDigit:
      ok = ::IsCharAlphaNumericW(c) != FALSE;
      break;
    case ikAny:
      ok = c >= L' ' && c != 0x7F && c != FBlank;
      break;
    case ikLiteral:
      break;
  }
  if (ok && p.Case == ckUpper) ::CharUpperBuffW(&c, 1);
  if (ok && p.Case == ckLower) ::CharLowerBuffW(&c, 1);
  return ok;
}

int TEditMask::Place(std::wstring& editText, int pos, std::wstring_view text, bool typing, int* rejected) const {
  const int n = Length();
  if (static_cast<int>(editText.size()) != n) editText = BlankText();
  int dropped = 0;
  for (wchar_t c : text) {
    // A literal typed where it stands steps over it; typed again right behind it (the caret
    // moved past it by itself) it is taken as said already.
    if (pos < n && IsLiteral(pos) && FPositions[static_cast<size_t>(pos)].Literal == c) {
      ++pos;
      continue;
    }
    bool saidAlready = false;
    for (int back = pos - 1; back >= 0 && IsLiteral(back) && !saidAlready; --back)
      saidAlready = FPositions[static_cast<size_t>(back)].Literal == c;
    if (saidAlready) continue;
    const int q = NextInput(pos);
    if (q >= n) {
      ++dropped;
      continue;
    }
    wchar_t ch = c;
    if (Accepts(q, ch)) {
      editText[static_cast<size_t>(q)] = ch;
      pos = q + 1;
      continue;
    }
    if ((c == L' ' || c == FBlank) && !(typing && IsRequired(q))) {
      editText[static_cast<size_t>(q)] = FBlank;
      pos = q + 1;
      continue;
    }
    // A literal typed ahead of its place: the positions before it keep what they hold.
    int literal = q;
    while (literal < n && !IsLiteral(literal)) ++literal;
    if (literal < n && FPositions[static_cast<size_t>(literal)].Literal == c) {
      pos = literal + 1;
      continue;
    }
    ++dropped;
  }
  if (rejected) *rejected = dropped;
  return pos;
}

std::wstring TEditMask::Format(std::wstring_view text) const {
  std::wstring editText = BlankText();
  Place(editText, 0, text, false);
  return editText;
}

std::wstring TEditMask::Unformat(const std::wstring& editText) const {
  std::wstring text;
  for (int p = 0; p < Length(); ++p) {
    const wchar_t c = p < static_cast<int>(editText.size()) ? editText[static_cast<size_t>(p)] : FBlank;
    if (IsLiteral(p)) {
      if (FSaveLiterals) text += FPositions[static_cast<size_t>(p)].Literal;
    } else {
      text += c == FBlank ? L' ' : c;
    }
  }
  return text;
}

bool TEditMask::Complete(const std::wstring& editText) const {
  for (int p = 0; p < Length(); ++p)
    if (IsRequired(p) && (p >= static_cast<int>(editText.size()) || editText[static_cast<size_t>(p)] == FBlank))
      return false;
  return true;
}

// ---- TMaskEdit ----

TMaskEdit::TMaskEdit(TComponent* owner) : TEdit(owner) {}

void TMaskEdit::SetEditMask(const std::wstring& mask) {
  const std::wstring saved = Text();
  FMaskText = mask;
  FMask = TEditMask(mask);
  ApplyMaskLimit();
  // Through WM_SETTEXT, which fits it into the new mask.
  TControl::SetText(saved);
}

void TMaskEdit::CreateWnd() {
  TEdit::CreateWnd();
  ApplyMaskLimit();
  if (IsMasked()) ApplyEditText(FMask.Format(TControl::Text()), 0);
}

void TMaskEdit::ApplyMaskLimit() {
  if (!HandleAllocated()) return;
  Send(Handle(), EM_SETLIMITTEXT, static_cast<WPARAM>(IsMasked() ? FMask.Length() : MaxLength()));
}

std::wstring TMaskEdit::EditText() const {
  const std::wstring shown = TControl::Text();
  if (!IsMasked() || HandleAllocated()) return shown;
  return FMask.Format(shown);  // set before the window exists: as it will be shown
}

std::wstring TMaskEdit::Text() const { return IsMasked() ? FMask.Unformat(EditText()) : TControl::Text(); }

bool TMaskEdit::EditComplete() const { return !IsMasked() || FMask.Complete(EditText()); }

void TMaskEdit::ApplyEditText(const std::wstring& text, int caret) {
  if (!HandleAllocated()) return;
  HWND wnd = Handle();
  if (text != TControl::Text()) {
    FApplying = true;
    struct TReset {
      bool& Flag;
      ~TReset() { Flag = false; }
    } reset{FApplying};
    ::SetWindowTextW(wnd, text.c_str());
  }
  Send(wnd, EM_SETSEL, static_cast<WPARAM>(caret), caret);
}

std::wstring TMaskEdit::WithoutSelection(int& start) const {
  std::wstring text = EditText();
  if (static_cast<int>(text.size()) != FMask.Length()) text = FMask.Format(text);
  DWORD selStart = 0, selEnd = 0;
  Send(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
  start = std::min(static_cast<int>(selStart), FMask.Length());
  const int end = std::min(static_cast<int>(selEnd), FMask.Length());
  for (int p = start; p < end; ++p)
    if (!FMask.IsLiteral(p)) text[static_cast<size_t>(p)] = FMask.Blank();
  return text;
}

void TMaskEdit::TypeChar(wchar_t c) {
  int start = 0;
  std::wstring text = WithoutSelection(start);
  int rejected = 0;
  const int pos = FMask.Place(text, start, AdjustInput(std::wstring(1, c)), true, &rejected);
  if (rejected) {
    ::MessageBeep(MB_OK);
    return;
  }
  // The caret goes behind the literals that follow, to the next place to type.
  ApplyEditText(text, FMask.NextInput(pos));
}

void TMaskEdit::DeleteChars(bool backspace) {
  DWORD selStart = 0, selEnd = 0;
  Send(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
  int start = 0;
  std::wstring text = WithoutSelection(start);
  int caret = start;
  if (selStart == selEnd) {
    const int p = backspace ? FMask.PreviousInput(start) : FMask.NextInput(start);
    if (p >= 0 && p < FMask.Length()) text[static_cast<size_t>(p)] = FMask.Blank();
    if (backspace) caret = std::max(p, 0);
  }
  ApplyEditText(text, caret);
}

void TMaskEdit::PasteText(const std::wstring& pasted) {
  int start = 0;
  std::wstring text = WithoutSelection(start);
  int rejected = 0;
  const int pos = FMask.Place(text, start, AdjustInput(pasted), false, &rejected);
  if (rejected) ::MessageBeep(MB_OK);
  ApplyEditText(text, FMask.NextInput(pos));
}

void TMaskEdit::CutSelection() {
  DWORD selStart = 0, selEnd = 0;
  Send(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
  if (selStart == selEnd) return;
  const std::wstring shown = EditText();
  Clipboard().SetAsText(shown.substr(selStart, selEnd - selStart));
  int start = 0;
  std::wstring text = WithoutSelection(start);
  ApplyEditText(text, start);
}

void TMaskEdit::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TMaskEdit::DoExit() {
  ValidateEdit();
  if (OnExit) OnExit(this);
}

LRESULT TMaskEdit::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SETFOCUS: {
      const LRESULT result = DefaultHandler(msg, wParam, lParam);
      DoEnter();
      return result;
    }
    case WM_KILLFOCUS: {
      const LRESULT result = DefaultHandler(msg, wParam, lParam);
      DoExit();
      return result;
    }
    default:
      break;
  }
  if (!IsMasked()) return TEdit::WndProc(msg, wParam, lParam);
  switch (msg) {
    case WM_SETTEXT:
      // Text from code or from outside is fitted into the mask.
      if (!FApplying) {
        const std::wstring text = FMask.Format(lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"");
        return DefaultHandler(msg, wParam, reinterpret_cast<LPARAM>(text.c_str()));
      }
      break;
    case WM_CHAR:
      return MaskedChar(static_cast<wchar_t>(wParam), lParam);
    case WM_KEYDOWN:
      if (MaskedKeyDown(wParam)) return 0;
      break;
    case WM_PASTE:
      if (!ReadOnly()) PasteText(Clipboard().AsText());
      return 0;
    case WM_CUT:
      if (!ReadOnly()) CutSelection();
      return 0;
    case WM_CLEAR:
      if (!ReadOnly()) {
        int start = 0;
        std::wstring text = WithoutSelection(start);
        ApplyEditText(text, start);
      }
      return 0;
    case WM_UNDO:
    case EM_UNDO:
    case EM_CANUNDO:
      return 0;
    case EM_REPLACESEL:  // from code: also into a read-only edit, as the edit itself does
      if (lParam) PasteText(reinterpret_cast<const wchar_t*>(lParam));
      return 0;
    default:
      break;
  }
  return TEdit::WndProc(msg, wParam, lParam);
}

LRESULT TMaskEdit::MaskedChar(wchar_t key, LPARAM lParam) {
  DoKeyPress(key);  // the events first; a key set to 0 is used up
  if (key == 0) return 0;
  if (key >= L' ' && key != 0x7F) {
    if (!ReadOnly()) TypeChar(key);
    return 0;
  }
  switch (key) {
    case L'\b':
    case 0x7F:  // Ctrl+Backspace: the edit would put the character itself into the text
      if (!ReadOnly()) DeleteChars(true);
      return 0;
    case 0x16:  // Ctrl+V
      if (!ReadOnly()) PasteText(Clipboard().AsText());
      return 0;
    case 0x18:  // Ctrl+X
      if (!ReadOnly()) CutSelection();
      return 0;
    case 0x1A:  // Ctrl+Z: the mask has no undo of the edit's kind
      return 0;
    default:
      return DefaultHandler(WM_CHAR, key, lParam);  // Ctrl+C, Ctrl+A and the like
  }
}

bool TMaskEdit::MaskedKeyDown(WPARAM wParam) {
  if (wParam != VK_DELETE && !(wParam == VK_INSERT && ::GetKeyState(VK_SHIFT) < 0)) return false;
  auto key = static_cast<unsigned short>(wParam);
  const TShiftState shift = KeyShiftState();
  DoKeyDown(key, shift);
  if (key == 0 || ReadOnly()) return true;
  if (key == VK_DELETE && shift.Contains(ssShift))
    CutSelection();
  else if (key == VK_DELETE)
    DeleteChars(false);
  else if (key == VK_INSERT)
    PasteText(Clipboard().AsText());
  return true;
}
