#include "toolkit/StdCtrls.h"

#include <algorithm>
#include <stdexcept>

namespace {

// The edit control takes text up to the first zero character.
std::wstring UpToZero(const std::wstring& s) {
  size_t zero = s.find(L'\0');
  return zero == std::wstring::npos ? s : s.substr(0, zero);
}

LRESULT Send(HWND wnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) {
  return ::SendMessageW(wnd, msg, wParam, lParam);
}

}  // namespace

// ---- TMemoLines ----

HWND TMemoLines::Wnd() const { return FMemo.Handle(); }

int TMemoLines::Count() const {
  Flush();
  HWND wnd = Wnd();
  if (!wnd) return 0;
  int count = static_cast<int>(Send(wnd, EM_GETLINECOUNT));
  // The empty line after a final line break does not count.
  int lastStart = static_cast<int>(Send(wnd, EM_LINEINDEX, static_cast<WPARAM>(count - 1)));
  if (count > 0 && Send(wnd, EM_LINELENGTH, static_cast<WPARAM>(lastStart)) == 0) --count;
  return count;
}

std::wstring TMemoLines::Get(int index) const {
  Flush();
  HWND wnd = Wnd();
  // The control's own count includes the empty line after a final break; only that last line
  // needs the exact count.
  int lineCount = wnd ? static_cast<int>(Send(wnd, EM_GETLINECOUNT)) : 0;
  if (index < 0 || index >= lineCount || (index == lineCount - 1 && index >= Count()))
    throw std::out_of_range("TMemoLines index out of range");
  int start = static_cast<int>(Send(wnd, EM_LINEINDEX, static_cast<WPARAM>(index)));
  int length = static_cast<int>(Send(wnd, EM_LINELENGTH, static_cast<WPARAM>(start)));
  // EM_GETLINE takes the buffer size in its first character and writes no terminator.
  std::wstring line(static_cast<size_t>(std::max(length, 1)), L'\0');
  line[0] = static_cast<wchar_t>(std::min(length, 0xFFFF));
  int copied = static_cast<int>(
      Send(wnd, EM_GETLINE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(line.data())));
  line.resize(static_cast<size_t>(std::max(copied, 0)));
  if (length > 0xFFFF) {  // longer than EM_GETLINE can say: take it from the whole text
    line = Text().substr(static_cast<size_t>(start), static_cast<size_t>(length));
  }
  return line;
}

void TMemoLines::Insert(int index, const std::wstring& s) {
  Flush();
  HWND wnd = Wnd();
  if (!wnd || index < 0) return;
  std::wstring line;
  int selStart = static_cast<int>(Send(wnd, EM_LINEINDEX, static_cast<WPARAM>(index)));
  if (index < static_cast<int>(Send(wnd, EM_GETLINECOUNT)) && selStart >= 0) {
    line = UpToZero(s) + L"\r\n";
  } else {
    // Behind the last line, which has no line break yet.
    if (index == 0) return;
    selStart = static_cast<int>(Send(wnd, EM_LINEINDEX, static_cast<WPARAM>(index - 1)));
    if (selStart < 0) return;
    selStart += static_cast<int>(Send(wnd, EM_LINELENGTH, static_cast<WPARAM>(selStart)));
    line = L"\r\n" + UpToZero(s) + L"\r\n";
  }
  Send(wnd, EM_SETSEL, static_cast<WPARAM>(selStart), selStart);
  Send(wnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line.c_str()));
}

int TMemoLines::Add(const std::wstring& s) {
  if (UpdateCount() == 0 || !Wnd()) {
    int index = Count();
    Insert(index, s);
    return index;
  }
  if (FPendingCount == 0) FPendingBase = Count();
  const std::wstring text = UpToZero(s);
  FPending += text;
  FPending += L"\r\n";
  ++FPendingCount;
  // A line with breaks inside becomes several lines; the index is that of the last one.
  for (size_t at = text.find(L"\r\n"); at != std::wstring::npos; at = text.find(L"\r\n", at + 2)) ++FPendingLines;
  return FPendingBase + FPendingLines++;
}

void TMemoLines::Flush() const {
  if (FPending.empty()) return;
  HWND wnd = Wnd();
  std::wstring text;
  text.swap(FPending);
  FPendingCount = 0;
  FPendingLines = 0;
  if (!wnd) return;
  int length = ::GetWindowTextLengthW(wnd);
  // Lines start on a line of their own, also when the user typed behind the last break.
  int lastLine = static_cast<int>(Send(wnd, EM_GETLINECOUNT)) - 1;
  int lastStart = static_cast<int>(Send(wnd, EM_LINEINDEX, static_cast<WPARAM>(lastLine)));
  if (Send(wnd, EM_LINELENGTH, static_cast<WPARAM>(lastStart)) > 0) text.insert(0, L"\r\n");
  Send(wnd, EM_SETSEL, static_cast<WPARAM>(length), length);
  Send(wnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TMemoLines::SetUpdateState(bool updating) {
  if (!updating) Flush();
}

void TMemoLines::Delete(int index) {
  Flush();
  HWND wnd = Wnd();
  if (!wnd || index < 0 || index >= Count()) return;
  int start = static_cast<int>(Send(wnd, EM_LINEINDEX, static_cast<WPARAM>(index)));
  int next = static_cast<int>(Send(wnd, EM_LINEINDEX, static_cast<WPARAM>(index + 1)));
  int end = next >= 0 ? next : start + static_cast<int>(Send(wnd, EM_LINELENGTH, static_cast<WPARAM>(start)));
  Send(wnd, EM_SETSEL, static_cast<WPARAM>(start), end);
  Send(wnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}

void TMemoLines::Clear() {
  FPending.clear();
  FPendingCount = 0;
  FPendingLines = 0;
  if (Wnd()) ::SetWindowTextW(Wnd(), L"");
}

std::wstring TMemoLines::Text() const {
  Flush();
  return FMemo.Text();
}

void TMemoLines::SetText(const std::wstring& text) {
  FPending.clear();
  FPendingCount = 0;
  FPendingLines = 0;
  FMemo.SetText(UpToZero(text));
}

// ---- TMemo ----

TMemo::TMemo(TControl* parent, TScrollStyle scrollBars, bool wordWrap) : TControl(parent), FLines(*this) {
  DWORD style = WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_WANTRETURN;
  if (!wordWrap) style |= ES_AUTOHSCROLL;
  if (scrollBars == ssHorizontal || scrollBars == ssBoth) style |= WS_HSCROLL;
  if (scrollBars == ssVertical || scrollBars == ssBoth) style |= WS_VSCROLL;
  CreateHandle(L"EDIT", style, WS_EX_CLIENTEDGE, L"");
  // No length limit: lines accumulate until the user clears the view.
  ::SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);
}

void TMemo::SelectAll() { SetSelection(0, -1); }

void TMemo::SetSelection(int start, int length) {
  ::SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(start), length < 0 ? -1 : start + length);
}

void TMemo::ScrollToCaret() { ::SendMessageW(Handle(), EM_SCROLLCARET, 0, 0); }

bool TMemo::ReadOnly() const { return (::GetWindowLongPtrW(Handle(), GWL_STYLE) & ES_READONLY) != 0; }

void TMemo::SetReadOnly(bool readOnly) { ::SendMessageW(Handle(), EM_SETREADONLY, readOnly, 0); }
