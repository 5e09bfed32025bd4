#include "toolkit/StdCtrls.h"

#include "toolkit/Forms.h"

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

// ---- TLabel ----

TLabel::TLabel(TComponent* owner) : TControl(owner) { SetParentColor(true); }

void TLabel::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  params.ClassName = L"STATIC";
  params.Style |= SS_NOTIFY | (FWordWrap ? 0 : SS_LEFTNOWORDWRAP);
  if (FWordWrap || FAlignment != taLeftJustify) params.Style &= ~static_cast<DWORD>(SS_LEFTNOWORDWRAP);
  if (FAlignment == taCenter) params.Style |= SS_CENTER;
  if (FAlignment == taRightJustify) params.Style |= SS_RIGHT;
  if (!FShowAccelChar) params.Style |= SS_NOPREFIX;
}

void TLabel::ApplyStyle() {
  if (!HandleAllocated()) return;
  TCreateParams params;
  CreateParams(params);
  const LONG_PTR mask = SS_TYPEMASK | SS_NOPREFIX;
  LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
  ::SetWindowLongPtrW(Handle(), GWL_STYLE, (style & ~mask) | (static_cast<LONG_PTR>(params.Style) & mask));
  ::InvalidateRect(Handle(), nullptr, TRUE);
  AdjustSize();
}

void TLabel::SetWordWrap(bool value) {
  FWordWrap = value;
  ApplyStyle();
}

void TLabel::SetShowAccelChar(bool value) {
  FShowAccelChar = value;
  ApplyStyle();
}

void TLabel::SetAlignment(TAlignment value) {
  FAlignment = value;
  ApplyStyle();
}

void TLabel::SetAutoSize(bool value) {
  FAutoSize = value;
  AdjustSize();
}

void TLabel::TextChanged() { AdjustSize(); }

void TLabel::Resize() {
  TControl::Resize();
  if (FWordWrap) AdjustSize();  // a new width wraps the text anew
}

void TLabel::AdjustSize() {
  if (!FAutoSize || !HandleAllocated() || FAdjusting) return;
  FAdjusting = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FAdjusting};
  const std::wstring text = Text();
  TWindowCanvas canvas = MeasureCanvas();
  // An empty label keeps the height of one line.
  RECT r{0, 0, FWordWrap ? Scale(Width()) : 0, 0};
  UINT format = DT_CALCRECT | DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : DT_SINGLELINE) |
                (FShowAccelChar ? 0 : DT_NOPREFIX);
  if (FWordWrap && r.right <= 0) r.right = 1;
  canvas.DrawText(text.empty() ? std::wstring(L" ") : text, r, format);
  if (!FWordWrap && !text.empty() && text.find(L'\n') != std::wstring::npos) {
    r = {0, 0, 0, 0};
    canvas.DrawText(text, r, DT_CALCRECT | DT_EXPANDTABS | (FShowAccelChar ? 0 : DT_NOPREFIX));
  }
  const int width = FWordWrap ? Width() : Unscale(r.right - r.left);
  SetBounds(Left(), Top(), text.empty() && !FWordWrap ? Width() : width, Unscale(r.bottom - r.top));
}

void TLabel::CNCommand(WORD code) {
  if (code == STN_CLICKED) Click();
  if (code == STN_DBLCLK && OnDblClick) OnDblClick(this);
}

// ---- TEdit ----

TEdit::TEdit(TComponent* owner) : TControl(owner) {
  SetTabStop(true);
  SetBounds(0, 0, 121, 23);
}

void TEdit::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  params.ClassName = L"EDIT";
  params.Style |= ES_AUTOHSCROLL | (FReadOnly ? ES_READONLY : 0) | (FPasswordChar ? ES_PASSWORD : 0);
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TEdit::CreateWnd() {
  TControl::CreateWnd();
  if (FMaxLength > 0) Send(Handle(), EM_SETLIMITTEXT, static_cast<WPARAM>(FMaxLength));
  if (FPasswordChar) Send(Handle(), EM_SETPASSWORDCHAR, FPasswordChar);
}

void TEdit::SetMaxLength(int length) {
  FMaxLength = std::max(length, 0);
  if (HandleAllocated()) Send(Handle(), EM_SETLIMITTEXT, static_cast<WPARAM>(FMaxLength));
}

void TEdit::SetReadOnly(bool value) {
  FReadOnly = value;
  if (HandleAllocated()) Send(Handle(), EM_SETREADONLY, value);
}

void TEdit::SetPasswordChar(wchar_t c) {
  FPasswordChar = c;
  if (HandleAllocated()) {
    Send(Handle(), EM_SETPASSWORDCHAR, c);
    ::InvalidateRect(Handle(), nullptr, TRUE);
  }
}

int TEdit::SelStart() const {
  DWORD start = 0, end = 0;
  if (HandleAllocated()) Send(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

int TEdit::SelLength() const {
  DWORD start = 0, end = 0;
  if (HandleAllocated()) Send(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TEdit::SetSelection(int start, int length) {
  if (HandleAllocated())
    Send(Handle(), EM_SETSEL, static_cast<WPARAM>(start), length < 0 ? -1 : start + length);
}

void TEdit::CNCommand(WORD code) {
  if (code == EN_CHANGE) Change();
}

void TEdit::Change() {
  if (OnChange) OnChange(this);
}

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

TMemo::TMemo(TComponent* owner) : TControl(owner), FLines(*this) { SetTabStop(true); }

void TMemo::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  params.ClassName = L"EDIT";
  params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_WANTRETURN | (FReadOnly ? ES_READONLY : 0);
  if (!FWordWrap) params.Style |= ES_AUTOHSCROLL;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) params.Style |= WS_HSCROLL;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) params.Style |= WS_VSCROLL;
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TMemo::CreateWnd() {
  TControl::CreateWnd();
  // No length limit: lines accumulate until the user clears the view.
  Send(Handle(), EM_SETLIMITTEXT, 0, 0);
}

void TMemo::CNCommand(WORD code) {
  if (code == EN_CHANGE && OnChange) OnChange(this);
}

void TMemo::SelectAll() { SetSelection(0, -1); }

void TMemo::SetSelection(int start, int length) {
  if (HandleAllocated())
    Send(Handle(), EM_SETSEL, static_cast<WPARAM>(start), length < 0 ? -1 : start + length);
}

void TMemo::ScrollToCaret() {
  if (HandleAllocated()) Send(Handle(), EM_SCROLLCARET);
}

void TMemo::SetReadOnly(bool readOnly) {
  FReadOnly = readOnly;
  if (HandleAllocated()) Send(Handle(), EM_SETREADONLY, readOnly);
}

// ---- TButton ----

TButton::TButton(TComponent* owner) : TControl(owner) {
  SetTabStop(true);
  SetBounds(0, 0, 75, 25);
}

void TButton::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  params.ClassName = L"BUTTON";
  params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateWnd() {
  TControl::CreateWnd();
  Register();
}

void TButton::Register() {
  TForm* form = GetParentForm(this);
  if (!form) return;
  if (FDefault)
    form->SetDefaultControl(this);
  else if (form->DefaultControl() == this)
    form->SetDefaultControl(nullptr);
  if (FCancel)
    form->SetCancelControl(this);
  else if (form->CancelControl() == this)
    form->SetCancelControl(nullptr);
}

void TButton::SetDefault(bool value) {
  FDefault = value;
  if (HandleAllocated()) {
    Send(Handle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    Register();
  }
}

void TButton::SetCancel(bool value) {
  FCancel = value;
  if (HandleAllocated()) Register();
}

void TButton::Click() {
  if (FModalResult != 0)
    if (TForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  TControl::Click();
}

void TButton::CNCommand(WORD code) {
  if (code == BN_CLICKED) Click();
}

// ---- TCheckBox ----

TCheckBox::TCheckBox(TComponent* owner) : TControl(owner) {
  SetTabStop(true);
  SetParentColor(true);
  SetBounds(0, 0, 97, 17);
}

void TCheckBox::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  params.ClassName = L"BUTTON";
  params.Style |= BS_AUTOCHECKBOX;
}

void TCheckBox::CreateWnd() {
  TControl::CreateWnd();
  Send(Handle(), BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED);
}

void TCheckBox::DestroyWnd() { FChecked = Checked(); }

bool TCheckBox::Checked() const {
  return HandleAllocated() ? Send(Handle(), BM_GETCHECK) == BST_CHECKED : FChecked;
}

void TCheckBox::SetChecked(bool checked) {
  FChecked = checked;
  if (HandleAllocated()) Send(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
}

void TCheckBox::CNCommand(WORD code) {
  if (code == BN_CLICKED) Click();
}

// ---- TListBoxStrings ----

int TListBoxStrings::Count() const { return FList.Count(); }
std::wstring TListBoxStrings::Get(int index) const { return FList.Item(index).Text; }
void TListBoxStrings::Put(int index, const std::wstring& s) { FList.PutText(index, s); }
void TListBoxStrings::Insert(int index, const std::wstring& s) { FList.InsertItem(index, s); }
void TListBoxStrings::Delete(int index) { FList.DeleteItem(index); }
void TListBoxStrings::Clear() { FList.ClearItems(); }

void TListBoxStrings::SetUpdateState(bool updating) {
  if (!FList.HandleAllocated()) return;
  Send(FList.Handle(), WM_SETREDRAW, !updating);
  if (!updating) FList.Invalidate();
}

// ---- TListBox ----

TListBox::TListBox(TComponent* owner) : TControl(owner), FStrings(*this) {
  SetTabStop(true);
  SetBounds(0, 0, 121, 97);
}

void TListBox::CreateParams(TCreateParams& params) {
  TControl::CreateParams(params);
  params.ClassName = L"LISTBOX";
  params.Style |= WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS;
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListBox::CreateWnd() {
  TControl::CreateWnd();
  HWND wnd = Handle();
  ApplyItemHeight();
  Send(wnd, WM_SETREDRAW, FALSE);
  size_t chars = 0;
  for (const TListItem& item : FItems) chars += item.Text.size() + 1;
  Send(wnd, LB_INITSTORAGE, FItems.size(), static_cast<LPARAM>(chars * sizeof(wchar_t)));
  for (const TListItem& item : FItems)
    Send(wnd, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item.Text.c_str()));
  Send(wnd, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(Scale(FScrollWidth)));
  Send(wnd, LB_SETCURSEL, static_cast<WPARAM>(FItemIndex));
  Send(wnd, LB_SETTOPINDEX, static_cast<WPARAM>(FTopIndex));
  Send(wnd, WM_SETREDRAW, TRUE);
}

void TListBox::DestroyWnd() {
  FItemIndex = ItemIndex();
  FTopIndex = TopIndex();
}

void TListBox::CNCommand(WORD code) {
  if (code == LBN_SELCHANGE) Click();
  if (code == LBN_DBLCLK && OnDblClick) OnDblClick(this);
}

void TListBox::FontChanged() { ApplyItemHeight(); }  // a new font resets the height of plain lists

TListItem& TListBox::Item(int index) {
  if (index < 0 || index >= Count()) throw std::out_of_range("TListBox index out of range");
  return FItems[static_cast<size_t>(index)];
}

const TListItem& TListBox::Item(int index) const { return const_cast<TListBox*>(this)->Item(index); }

void TListBox::InsertItem(int index, const std::wstring& text) {
  if (index < 0 || index > Count()) throw std::out_of_range("TListBox index out of range");
  TListItem item;
  item.Text = UpToZero(text);
  if (HandleAllocated()) {
    const LRESULT at = Send(Handle(), LB_INSERTSTRING, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(item.Text.c_str()));
    if (at == LB_ERR || at == LB_ERRSPACE) throw std::bad_alloc();
  } else if (FItemIndex >= index) {
    ++FItemIndex;
  }
  FItems.insert(FItems.begin() + index, std::move(item));
}

void TListBox::DeleteItem(int index) {
  Item(index);  // checks the index
  if (HandleAllocated()) {
    Send(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index));
  } else if (FItemIndex == index) {
    FItemIndex = -1;
  } else if (FItemIndex > index) {
    --FItemIndex;
  }
  FItems.erase(FItems.begin() + index);
}

void TListBox::ClearItems() {
  FItems.clear();
  FItemIndex = -1;
  FTopIndex = 0;
  if (HandleAllocated()) Send(Handle(), LB_RESETCONTENT);
}

void TListBox::PutText(int index, const std::wstring& text) {
  Item(index).Text = UpToZero(text);
  if (!HandleAllocated()) return;
  HWND wnd = Handle();
  const bool selected = ItemIndex() == index;
  const int top = TopIndex();
  Send(wnd, WM_SETREDRAW, FALSE);
  Send(wnd, LB_DELETESTRING, static_cast<WPARAM>(index));
  Send(wnd, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(Item(index).Text.c_str()));
  if (selected) Send(wnd, LB_SETCURSEL, static_cast<WPARAM>(index));
  Send(wnd, LB_SETTOPINDEX, static_cast<WPARAM>(top));
  Send(wnd, WM_SETREDRAW, TRUE);
  Invalidate();
}

void TListBox::SetItems(const std::vector<std::wstring>& items) {
  TStringsUpdate update(FStrings);
  ClearItems();
  for (const std::wstring& text : items) InsertItem(Count(), text);
}

int TListBox::ItemIndex() const {
  if (!HandleAllocated()) return FItemIndex;
  const LRESULT index = Send(Handle(), LB_GETCURSEL);
  return index == LB_ERR ? -1 : static_cast<int>(index);
}

void TListBox::SetItemIndex(int index) {
  if (index < -1 || index >= Count()) index = -1;
  FItemIndex = index;
  if (HandleAllocated()) Send(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index));
}

int TListBox::TopIndex() const {
  return HandleAllocated() ? static_cast<int>(Send(Handle(), LB_GETTOPINDEX)) : FTopIndex;
}

void TListBox::SetTopIndex(int index) {
  FTopIndex = std::clamp(index, 0, std::max(Count() - 1, 0));
  if (HandleAllocated()) Send(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(FTopIndex));
}

int TListBox::ItemAt(int x, int y) const {
  if (!HandleAllocated()) return -1;
  const LRESULT hit = Send(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(Scale(x), Scale(y)));
  if (HIWORD(hit) != 0 || static_cast<int>(LOWORD(hit)) >= Count()) return -1;  // outside the entries
  return LOWORD(hit);
}

int TListBox::DeviceItemHeight() const {
  if (HandleAllocated()) return static_cast<int>(Send(Handle(), LB_GETITEMHEIGHT));
  if (FItemHeight > 0) return Scale(FItemHeight);
  TWindowCanvas canvas(nullptr, Dpi(), Font());
  TEXTMETRICW tm{};
  ::GetTextMetricsW(canvas.Handle(), &tm);
  return tm.tmHeight;
}

int TListBox::ItemHeight() const {
  const int device = DeviceItemHeight();
  // The height asked for, as long as the window shows it so.
  if (FItemHeight > 0 && Scale(FItemHeight) == device) return FItemHeight;
  return Unscale(device);
}

void TListBox::SetItemHeight(int height) {
  FItemHeight = std::max(height, 0);
  ApplyItemHeight();
}

void TListBox::ApplyItemHeight() {
  if (!HandleAllocated() || FItemHeight <= 0) return;
  Send(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(std::min(Scale(FItemHeight), 255), 0));
  Invalidate();
}

void TListBox::SetScrollWidth(int width) {
  FScrollWidth = std::max(width, 0);
  if (HandleAllocated()) Send(Handle(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(Scale(FScrollWidth)));
}

int TListBox::MaxItemWidth() const {
  TWindowCanvas canvas = MeasureCanvas();
  int widest = 0;
  for (const TListItem& item : FItems) widest = std::max(widest, canvas.TextWidth(item.Text));
  return (widest * 96 + Dpi() - 1) / Dpi();  // rounded up
}

int TListBox::HeightForRows(int rows) const {
  int frame = 2 * ::GetSystemMetricsForDpi(SM_CYEDGE, static_cast<UINT>(Dpi()));
  if (HandleAllocated()) {
    RECT window, client;
    ::GetWindowRect(Handle(), &window);
    ::GetClientRect(Handle(), &client);
    frame = (window.bottom - window.top) - client.bottom;
  }
  const int device = std::max(rows, 0) * DeviceItemHeight() + frame;
  return (device * 96 + Dpi() - 1) / Dpi();  // rounded up: the last row is never cut
}

RECT TListBox::ItemRect(int index) const {
  RECT r{};
  if (HandleAllocated() && Send(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) ==
                               LB_ERR)
    r = RECT{};
  return r;
}
