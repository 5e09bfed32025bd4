#include "ui/FrmMsgBox.h"

#include "base/Misc.h"
#include "base/Strings.h"
#include "lang/DmLang.h"
#include "lang/SiLang.h"
#include "toolkit/Attention.h"
#include "toolkit/Clipbrd.h"
#include "ui/FrmPopupMsg.h"
#include "ui/TextMeasure.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

std::wstring CBtnText_OK;
std::wstring CBtnText_Cancel;
std::wstring CBtnText_Retry;
std::wstring CBtnText_Ignore;
std::wstring CBtnText_Yes;
std::wstring CBtnText_No;

namespace {

constexpr TColor kColoredBackground = 0x80FFFF;
constexpr TColor kHeadlineColor = 0x805309;
constexpr unsigned kBlinkMsec = 500;

// The window's translation table: German, English.
const TsiRow kTranslations[] = {
    {stCaptions, L"ChkDsa", L"Nicht wieder anzeigen", L"Don't show again"},
    {stCaptions, L"MnuCopy", L"&Kopieren", L"&Copy"},
    {stHints, L"MnuCopy", L"Meldungs-Text in Zwischenablage kopieren", L"Copy Message Text to Clipboard"},
    {stStrings, L"CBtnText_OK", L"&OK", L"&OK"},
    {stStrings, L"CBtnText_Cancel", L"&Abbrechen", L"&Cancel"},
    {stStrings, L"CBtnText_Retry", L"&Wiederholen", L"&Repeat"},
    {stStrings, L"CBtnText_Ignore", L"&Ignorieren", L"&Ignore"},
    {stStrings, L"CBtnText_Yes", L"&Ja", L"&Yes"},
    {stStrings, L"CBtnText_No", L"&Nein", L"&No"},
};

void SetDefaultCaptions() {
  CBtnText_OK = L"&OK";
  CBtnText_Cancel = L"&Abbrechen";
  CBtnText_Retry = L"&Wiederholen";
  CBtnText_Ignore = L"&Ignorieren";
  CBtnText_Yes = L"&Ja";
  CBtnText_No = L"&Nein";
}

// Design pixels that hold at least the given device pixels.
int DesignCeil(int devicePixels, int dpi) { return dpi > 0 ? (devicePixels * 96 + dpi - 1) / dpi : devicePixels; }

LPCWSTR IconOfFlags(std::uint32_t flags) {
  switch (flags & 0xF0) {
    case MB_ICONHAND:
      return IDI_HAND;
    case MB_ICONQUESTION:
      return IDI_QUESTION;
    case MB_ICONEXCLAMATION:
      return IDI_EXCLAMATION;
    case MB_ICONASTERISK:
      return IDI_ASTERISK;
    default:
      return nullptr;
  }
}

// Headline or message as the box keeps it: CR LF line breaks, no blanks at the end, control
// characters visible.
std::wstring PrepareText(const std::wstring& text) { return EscapeControlChars(TrimRight(NormalizeLineBreaks(text))); }

// Draws the lines of an already wrapped text that reach into the clip box: a text of
// thousands of lines costs what is visible, at the first paint and at every scroll step.
// DrawText puts every line one line height (with external leading) below the previous one.
void DrawVisibleLines(TCanvas& canvas, const std::wstring& text, RECT r, UINT format) {
  HDC dc = canvas.Handle();
  RECT clip{};
  TEXTMETRICW tm{};
  const int lineHeight = ::GetTextMetricsW(dc, &tm) ? tm.tmHeight + tm.tmExternalLeading : 0;
  if (lineHeight <= 0 || ::GetClipBox(dc, &clip) == ERROR) {
    canvas.DrawText(text, r, format);
    return;
  }
  const int first = std::max(0, static_cast<int>(clip.top - r.top) / lineHeight);
  const int count = static_cast<int>(clip.bottom - r.top) / lineHeight + 1 - first;
  if (count <= 0) return;
  auto lineStart = [&text](size_t from, int lines) {
    for (; lines > 0 && from < text.size(); --lines) {
      const size_t end = text.find(L"\r\n", from);
      from = end == std::wstring::npos ? text.size() : end + 2;
    }
    return from;
  };
  const size_t start = lineStart(0, first);
  if (start >= text.size()) return;
  size_t end = lineStart(start, count);
  if (end < text.size() || (end >= 2 && text.compare(end - 2, 2, L"\r\n") == 0)) end -= 2;  // without the last break
  r.top += first * lineHeight;
  canvas.DrawText(text.substr(start, end - start), r, format);
}

// The text area: always just the scroll box's visible client area, and the text drawn moved up
// by the scroll position. A window as tall as the text would not do: window coordinates beyond
// 32,767 pixels fail (on Windows as under Wine), and a few thousand lines are taller than that.
class TMsgTextArea : public TPaintBox {
public:
  using TPaintBox::TPaintBox;

  // Covers the parent's client area again (the scroll box moves its children when it scrolls).
  void FitParent() {
    if (!HandleAllocated() || !Parent() || !Parent()->HandleAllocated()) return;
    RECT client{}, r{};
    ::GetClientRect(Parent()->Handle(), &client);
    ::GetWindowRect(Handle(), &r);
    ::MapWindowPoints(nullptr, Parent()->Handle(), reinterpret_cast<POINT*>(&r), 2);
    if (!::EqualRect(&r, &client))
      ::SetWindowPos(Handle(), nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  }

protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
    const LRESULT result = TPaintBox::WndProc(msg, wParam, lParam);
    if (msg == WM_WINDOWPOSCHANGED) {
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
      if (!(pos->flags & SWP_NOMOVE) && (pos->x != 0 || pos->y != 0)) {
        // Scrolled: back in place, and the text drawn anew at its new position.
        FitParent();
        Invalidate();
      }
    }
    return result;
  }
};

// ---- the hooks ----

int MsgBoxHook(const std::wstring& text, std::uint32_t flags, HWND) {
  bool dsa = false;
  return std::abs(TFrmMsgBox::Execute(text, L"", L"", L"", flags, L"", dsa, nullptr, {}));
}

int MsgBox2Hook(const std::wstring& headline, const std::wstring& message, std::uint32_t flags, HWND) {
  bool dsa = false;
  return TFrmMsgBox::Execute(headline, message, L"", L"", flags, L"", dsa, nullptr, {});
}

int MsgBox3Hook(const std::wstring& headline, const std::wstring& message, const std::wstring& buttons,
                std::uint32_t flags, TForm* owner) {
  bool dsa = false;
  return TFrmMsgBox::Execute(headline, message, L"", buttons, flags, L"", dsa, owner, {});
}

}  // namespace

std::wstring EscapeControlChars(std::wstring_view s) {
  std::wstring result;
  result.reserve(s.size());
  for (wchar_t c : s) {
    if (c < 32 && c != L'\r' && c != L'\n') {
      result += L'^';
      result += static_cast<wchar_t>(c + 64);
    } else {
      result += c;
    }
  }
  return result;
}

// ---- TFrmMsgBox ----

TFrmMsgBox::TFrmMsgBox(TComponent* owner) : TForm(owner) {
  SetName(L"FrmMsgBox");
  SetCaption(L"Message Box");
  SetClientSize(479, 137);
  SetBorderStyle(bsSingle);
  SetBorderIcons({biSystemMenu});
  SetColor(clWindow);
  SetFont(TFontDesc::FromPoints(L"Segoe UI", 9));
  SetKeyPreview(true);
  SetPosition(poScreenCenter);

  ImgIcon = NewComponent<TImage>(this, L"ImgIcon");
  ImgIcon->SetBounds(12, 16, 32, 32);
  ImgIcon->SetAutoSize(true);
  ImgIcon->SetParent(this);

  ScrollBox = NewComponent<TScrollBox>(this, L"ScrollBox");
  ScrollBox->SetBounds(60, 16, 405, 33);
  ScrollBox->OnMouseWheel = [this](TObject* sender, TShiftState shift, int delta, int x, int y, bool& handled) {
    ScrollBoxMouseWheel(sender, shift, delta, x, y, handled);
  };
  ScrollBox->SetParent(this);

  auto* textArea = NewComponent<TMsgTextArea>(this, L"PaintBox");
  textArea->SetBounds(0, 0, 405, 33);
  textArea->OnPaint = [this](TObject* sender, TCanvas& canvas) { PaintBoxPaint(sender, canvas); };
  textArea->SetParent(ScrollBox);
  ScrollBox->OnResize = [textArea](TObject*) { textArea->FitParent(); };
  PaintBox = textArea;

  // Bottom-aligned controls go from the bottom edge up in the order they join: the check box
  // panel first, so that it sits below the buttons.
  PnlDsa = NewComponent<TPanel>(this, L"PnlDsa");
  PnlDsa->SetBounds(0, 0, 479, 25);
  PnlDsa->SetAlign(alBottom);
  PnlDsa->SetParent(this);

  ChkDsa = NewComponent<TCheckBox>(this, L"ChkDsa");
  ChkDsa->SetBounds(60, 1, 405, 17);
  ChkDsa->SetCaption(L"Nicht wieder anzeigen");
  ChkDsa->SetColor(clBtnFace);
  ChkDsa->SetParent(PnlDsa);

  PnlButtons = NewComponent<TPanel>(this, L"PnlButtons");
  PnlButtons->SetBounds(0, 0, 479, 47);
  PnlButtons->SetAlign(alBottom);
  PnlButtons->SetParent(this);

  TButton** buttons[] = {&Button1, &Button2, &Button3};
  for (int i = 0; i < 3; ++i) {
    TButton* button = NewComponent<TButton>(this, L"Button" + std::to_wstring(i + 1));
    button->SetBounds(60 + 100 * i, 11, 85, 25);
    button->SetCaption(L"Button" + std::to_wstring(i + 1));
    button->SetParent(PnlButtons);
    button->SetTabOrder(i);
    *buttons[i] = button;
  }

  TimBlink = NewComponent<TTimer>(this, L"TimBlink");
  TimBlink->SetInterval(kBlinkMsec);
  TimBlink->OnTimer = [this](TObject* sender) { TimBlinkTimer(sender); };

  MnuText = NewComponent<TPopupMenu>(this, L"MnuText");
  MnuCopy = NewComponent<TMenuItem>(this, L"MnuCopy");
  MnuCopy->SetCaption(L"&Kopieren");
  MnuCopy->SetHint(L"Meldungs-Text in Zwischenablage kopieren");
  MnuCopy->OnClick = [this](TObject* sender) { MnuCopyClick(sender); };
  MnuText->Add(MnuCopy);
  SetPopupMenu(MnuText);
  PaintBox->SetPopupMenu(MnuText);

  OnCreate = [this](TObject* sender) { FormCreate(sender); };
  OnShow = [this](TObject* sender) { FormShow(sender); };
  OnKeyPress = [this](TObject* sender, wchar_t& key) { FormKeyPress(sender, key); };
  OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };

  siLang = NewComponent<TsiLang>(this, L"siLang");
  siLang->SetTable(std::span<const TsiRow>(kTranslations));
  siLang->OnChangeLanguage = [this](TObject* sender) { siLangChangeLanguage(sender); };
  if (DmLangQel) siLang->SetLangDispatcher(DmLangQel->LangDisp);
  DoCreate();
}

TFrmMsgBox::~TFrmMsgBox() {
  // The handlers use the members: the components go while the box is still whole.
  DestroyComponents();
}

int TFrmMsgBox::Execute(const std::wstring& headline, const std::wstring& message, const std::wstring& caption,
                        const std::wstring& buttons, std::uint32_t flags, const std::wstring& dsaText, bool& dsaFlag,
                        TForm* ownerForm, TMsgBoxOptions options) {
  TForm* owner = ownerForm ? ownerForm : Application().MainForm();
  // The box belongs to the owner's window but not to the owner object: a box open while its
  // owner goes is not freed under its own modal loop.
  auto box = std::make_unique<TFrmMsgBox>(nullptr);
  if (owner && owner->HandleAllocated()) {
    box->SetPopupParent(owner->Handle());
    // Centred on the owner while it is on screen; a hidden owner (a main window that is not
    // shown yet) has no place to centre on.
    if (::IsWindowVisible(owner->Handle())) box->SetPosition(poOwnerFormCenter);
  }
  box->SetCaption(caption.empty() ? Application().Title() : caption);
  const bool onlyMessage = headline.empty() && !message.empty();
  box->FHeadlineUnwrapped = PrepareText(onlyMessage ? message : headline);
  box->FMessageUnwrapped = PrepareText(onlyMessage ? std::wstring() : message);
  box->FFlags = flags;
  box->FOptions = options;
  box->FButtons = buttons;
  box->FDsaText = dsaText;
  box->FDsaFlag = dsaFlag;
  box->FGeblunken = true;
  box->FFlashed = false;

  const TCursor savedCursor = Screen().Cursor();
  Screen().SetCursor(crArrow);
  int result = 0;
  try {
    result = box->ShowModal();
  } catch (...) {
    Screen().SetCursor(savedCursor);
    throw;
  }
  Screen().SetCursor(savedCursor);
  dsaFlag = box->ChkDsa->Checked();
  return result;
}

int TFrmMsgBox::Execute(const std::wstring& headline, const std::wstring& message, std::uint32_t flags) {
  return Execute(headline, message, flags, TMsgBoxOptions{});
}

int TFrmMsgBox::Execute(const std::wstring& headline, const std::wstring& message, std::uint32_t flags,
                        TMsgBoxOptions options) {
  bool dsa = false;
  return std::abs(Execute(headline, message, L"", L"", flags, L"", dsa, nullptr, options));
}

int TFrmMsgBox::Execute(const std::wstring& headline, const std::wstring& message, std::uint32_t flags,
                        const std::wstring& dsaText, bool& dsaFlag, TMsgBoxOptions options) {
  return std::abs(Execute(headline, message, L"", L"", flags, dsaText, dsaFlag, nullptr, options));
}

void TFrmMsgBox::FormCreate(TObject*) { UpdateStrings(); }

void TFrmMsgBox::UpdateStrings() {
  auto update = [this](std::wstring& caption, const wchar_t* id) {
    std::wstring text = siLang->GetTextOrDefault(id);
    if (!text.empty()) caption = std::move(text);
  };
  update(CBtnText_OK, L"CBtnText_OK");
  update(CBtnText_Cancel, L"CBtnText_Cancel");
  update(CBtnText_Retry, L"CBtnText_Retry");
  update(CBtnText_Ignore, L"CBtnText_Ignore");
  update(CBtnText_Yes, L"CBtnText_Yes");
  update(CBtnText_No, L"CBtnText_No");
}

void TFrmMsgBox::siLangChangeLanguage(TObject*) {
  UpdateStrings();
  if (!FLaidOut) return;
  // An open box follows the language: its standard buttons and, over the table's own text,
  // the caller's check-box text.
  ApplyButtons(false);
  if (!FDsaText.empty()) ChkDsa->SetCaption(FDsaText);
}

void TFrmMsgBox::SetButtonCaptions(const std::wstring& caption1, const std::wstring& caption2,
                                   const std::wstring& caption3) {
  Button1->SetCaption(caption1);
  Button2->SetCaption(caption2);
  Button3->SetCaption(caption3);
  Button1->SetVisible(true);
  Button2->SetVisible(!caption2.empty());
  Button3->SetVisible(!caption3.empty());
  // All three as wide as the widest caption needs, measured as written ("&" included).
  const int u = SpacingUnit(this);
  int widest = 0;
  {
    TWindowCanvas canvas(Handle(), Dpi(), Font());
    for (const std::wstring* caption : {&caption1, &caption2, &caption3})
      widest = std::max(widest, canvas.TextWidth(*caption));
  }
  const int m = DesignCeil(widest + 4 * u, Dpi());
  if (Button1->Width() < m) {
    const int gap = DesignCeil(4 * u, Dpi());
    Button1->SetWidth(m);
    Button2->SetBounds(Button1->Left() + m + gap, Button2->Top(), m, Button2->Height());
    Button3->SetBounds(Button2->Left() + m + gap, Button3->Top(), m, Button3->Height());
  }
  FButtonsRight = Button1->Bounds().Right();
  if (Button2->Visible()) FButtonsRight = Button2->Bounds().Right();
  if (Button3->Visible()) FButtonsRight = Button3->Bounds().Right();
}

void TFrmMsgBox::SetButtons(const std::wstring& caption1, int result1, const std::wstring& caption2, int result2,
                            const std::wstring& caption3, int result3, int escIndex) {
  Button1->SetModalResult(result1);
  Button2->SetModalResult(result2);
  Button3->SetModalResult(result3);
  SetButtonCaptions(caption1, caption2, caption3);
  switch (FFlags & 0xF00) {
    case MB_DEFBUTTON2:
      if (Button2->Visible()) SetActiveControl(Button2);
      break;
    case MB_DEFBUTTON3:
      if (Button3->Visible()) SetActiveControl(Button3);
      break;
    default:
      SetActiveControl(Button1);
      break;
  }
  TButton* buttons[] = {Button1, Button2, Button3};
  for (TButton* button : buttons) button->SetCancel(false);
  if (escIndex == 0)
    SetBorderIcons({});
  else if (escIndex >= 1 && escIndex <= 3)
    buttons[escIndex - 1]->SetCancel(true);
}

void TFrmMsgBox::ApplyButtons(bool initial) {
  std::wstring captions[3];
  int results[3] = {0, 0, 0};
  int escIndex = 1;
  auto set = [&](int index, const std::wstring& caption, int result) {
    captions[index] = caption;
    results[index] = result;
  };
  if (!FButtons.empty()) {
    if (!initial) return;  // the caller's captions are the caller's language
    for (int i = 0; i < 3; ++i) set(i, GetToken(FButtons, L"|", i + 1), -(i + 1));
    // Esc answers with the last caption; with more than three, no button answers Esc.
    escIndex = TokenCount(FButtons, L"|");
  } else {
    switch (FFlags & 0xF) {
      case MB_OKCANCEL:
        set(0, CBtnText_OK, IDOK);
        set(1, CBtnText_Cancel, IDCANCEL);
        escIndex = 2;
        break;
      case MB_ABORTRETRYIGNORE:
        set(0, CBtnText_Cancel, IDABORT);
        set(1, CBtnText_Retry, IDRETRY);
        set(2, CBtnText_Ignore, IDIGNORE);
        escIndex = 0;
        break;
      case MB_YESNOCANCEL:
        set(0, CBtnText_Yes, IDYES);
        set(1, CBtnText_No, IDNO);
        set(2, CBtnText_Cancel, IDCANCEL);
        escIndex = 3;
        break;
      case MB_YESNO:
        set(0, CBtnText_Yes, IDYES);
        set(1, CBtnText_No, IDNO);
        escIndex = 2;
        break;
      case MB_RETRYCANCEL:
        set(0, CBtnText_Retry, IDRETRY);
        set(1, CBtnText_Cancel, IDCANCEL);
        escIndex = 2;
        break;
      default:
        set(0, CBtnText_OK, IDOK);
        escIndex = 1;
        break;
    }
  }
  if (initial)
    SetButtons(captions[0], results[0], captions[1], results[1], captions[2], results[2], escIndex);
  else
    SetButtonCaptions(captions[0], captions[1], captions[2]);
}

void TFrmMsgBox::WrapAndMeasure(TCanvas& canvas, int width, int& w, int& h) {
  HDC dc = canvas.Handle();
  canvas.SetFont(FHeadlineFont);
  FHeadline = WrapText(dc, FHeadlineUnwrapped, width);
  FHeadlineH = TextHeightOf(dc, FHeadline);
  w = TextWidthOf(dc, FHeadline);
  if (FMessageUnwrapped.empty()) {
    FMessage.clear();
    FGap = 0;
    FMessageH = 0;
    h = FHeadlineH;
    return;
  }
  canvas.SetFont(Font());
  FMessage = WrapText(dc, FMessageUnwrapped, width);
  FMessageH = TextHeightOf(dc, FMessage);
  w = std::max(w, TextWidthOf(dc, FMessage));
  FGap = 2 * SpacingUnit(this);
  h = FHeadlineH + FGap + FMessageH;
}

void TFrmMsgBox::FormShow(TObject*) {
  ApplyLook();
  FitWindow(LayOutText());
  ApplyWindowFlags();
  // What the box says, for screen readers, UI automation and tests: the text area's window text.
  PaintBox->SetText(MessageText());
  FLaidOut = true;
}

void TFrmMsgBox::ApplyLook() {
  if (FOptions.Contains(moColored)) {
    SetColor(kColoredBackground);
    PnlButtons->SetColor(kColoredBackground);
    PnlDsa->SetColor(kColoredBackground);
  }

  if (LPCWSTR icon = IconOfFlags(FFlags))
    ImgIcon->LoadSystemIcon(icon);
  else
    ImgIcon->ClearPicture();
  ImgIcon->SetAutoSize(false);
  ImgIcon->SetAutoSize(true);

  ApplyButtons(true);

  FHeadlineFont = Font();
  if (!FMessageUnwrapped.empty()) {
    FHeadlineFont.SetPoints(FHeadlineFont.Points() * 15 / 10);
    FHeadlineFont.Style = 0;
  }
}

int TFrmMsgBox::LayOutText() {
  const int dpi = Dpi();
  // The text area is at least as wide as the buttons; the text is wrapped to it, and again
  // narrower when it needs the scroll bar.
  ScrollBox->SetWidth(std::max(ScrollBox->Width(), FButtonsRight - ScrollBox->Left()));
  const int boxTop = Scale(ScrollBox->Top()), boxHeight = Scale(ScrollBox->Height());
  int w = 0, h = 0;
  {
    TWindowCanvas canvas(Handle(), dpi);
    ::SetTextAlign(canvas.Handle(), TA_LEFT | TA_TOP);
    const int width = Scale(ScrollBox->ClientWidth());
    WrapAndMeasure(canvas, width, w, h);
    if (h > boxHeight) {
      const int scrollBar = ::GetSystemMetricsForDpi(SM_CXVSCROLL, static_cast<UINT>(dpi));
      WrapAndMeasure(canvas, width - scrollBar, w, h);
      w += scrollBar;
    }
  }
  ScrollBox->SetVertRange(DesignCeil(h, dpi));

  // As tall as the text, up to about ten top margins short of the screen's height.
  const TMonitor monitor = Screen().MonitorFromWindow(Handle());
  const RECT window = WindowRect();
  int textAreaHeight = boxHeight;
  if (h > boxHeight)
    textAreaHeight = std::max(boxHeight, std::min(h, monitor.Height() - static_cast<int>(window.bottom - window.top) +
                                                         boxHeight - 10 * boxTop));
  ScrollBox->SetHeight(DesignCeil(textAreaHeight, dpi));
  return w;
}

void TFrmMsgBox::FitWindow(int textWidth) {
  const bool dsa = !FDsaText.empty();
  PnlDsa->SetVisible(dsa);
  if (dsa) {
    ChkDsa->SetCaption(FDsaText);
    ChkDsa->SetChecked(FDsaFlag);
  }
  SetClientHeight((dsa ? PnlDsa->Height() : 0) + 2 * ScrollBox->Top() + ScrollBox->Height() + PnlButtons->Height());
  if (dsa) return;

  // As wide as the text and the buttons, up to about ten margins short of the screen's width.
  const TMonitor monitor = Screen().MonitorFromWindow(Handle());
  const RECT window = WindowRect();
  int x = std::max(DesignCeil(textWidth, Dpi()), FButtonsRight - ScrollBox->Left());
  x = std::min(x, Unscale(monitor.Width() - static_cast<int>(window.right - window.left)) + ScrollBox->Width() -
                      10 * ScrollBox->Top());
  SetClientWidth(ScrollBox->Left() + x + ScrollBox->Top());
  ScrollBox->SetWidth(x);
}

void TFrmMsgBox::ApplyWindowFlags() {
  const std::uint32_t modality = FFlags & 0xF000;
  if (modality == MB_SYSTEMMODAL || modality == MB_TASKMODAL || (FFlags & MB_TOPMOST)) SetFormStyle(fsStayOnTop);
  if ((FFlags & 0xF0000) == MB_SETFOREGROUND) BringToFront();
  if (FOptions.Contains(moBeep)) PlaySystemSound(FFlags & 0xF0);
}

void TFrmMsgBox::PaintBoxPaint(TObject*, TCanvas& canvas) {
  RECT box{};
  ::GetClientRect(PaintBox->Handle(), &box);
  // The area shows the part of the text the scroll box is scrolled to.
  const int top = -::GetScrollPos(ScrollBox->Handle(), SB_VERT);
  canvas.SetBrushStyle(bsClear);
  ::SetTextAlign(canvas.Handle(), TA_LEFT | TA_TOP);
  constexpr UINT kFormat = DT_LEFT | DT_TOP | DT_NOPREFIX | DT_EXTERNALLEADING | DT_NOCLIP;
  const bool colored = FOptions.Contains(moColored);

  TFontDesc headlineFont = FHeadlineFont;
  headlineFont.Color = colored ? clBlack : !FMessage.empty() ? kHeadlineColor : Font().Color;
  canvas.SetFont(headlineFont);
  DrawVisibleLines(canvas, FHeadline, RECT{0, top, box.right, top + FHeadlineH + 1}, kFormat);

  if (FMessage.empty()) return;
  TFontDesc messageFont = Font();
  if (colored) messageFont.Color = clBlack;
  canvas.SetFont(messageFont);
  DrawVisibleLines(canvas, FMessage, RECT{0, top + FHeadlineH + FGap, box.right, top + FHeadlineH + FGap + FMessageH},
                   kFormat);
}

void TFrmMsgBox::TimBlinkTimer(TObject*) {
  if (FOptions.Contains(moBlink)) {
    FGeblunken = !FGeblunken;
    ImgIcon->SetPictureVisible(FGeblunken);
    ImgIcon->Update();
  }
  if (FOptions.Contains(moFlash) && !FFlashed && HandleAllocated()) {
    FlashWindowOnce(Handle());
    FFlashed = true;
  }
}

void TFrmMsgBox::FormKeyPress(TObject*, wchar_t& key) {
  if (key == 3) {  // Ctrl+C, wherever the focus is
    CopyMessageText();
    key = 0;
  }
}

void TFrmMsgBox::MnuCopyClick(TObject*) { CopyMessageText(); }

std::wstring TFrmMsgBox::MessageText() const {
  if (!FHeadlineUnwrapped.empty() && !FMessageUnwrapped.empty())
    return FHeadlineUnwrapped + L"\r\n\r\n" + FMessageUnwrapped;
  return FHeadlineUnwrapped + FMessageUnwrapped;
}

void TFrmMsgBox::CopyMessageText() {
  SetClipboardAsText(MessageText() + L"\r\n");
  PopupTick(this);
}

void TFrmMsgBox::ScrollBoxMouseWheel(TObject*, TShiftState, int wheelDelta, int, int, bool& handled) {
  ScrollBox->SetVertPosition(ScrollBox->VertPosition() - wheelDelta);
  handled = true;
}

void TFrmMsgBox::FormCloseQuery(TObject*, bool& canClose) {
  // Without a close box only a button answers; a close request of the system is refused.
  canClose = ModalResult() != mrNone || HasCloseBox();
}

// ---- unit ----

void FrmMsgBoxStart() {
  SetDefaultCaptions();
  SetMsgBoxProcs(MsgBoxHook, MsgBox2Hook, MsgBox3Hook);
}

void FrmMsgBoxStop() {
  ClearMsgBoxProcs();
  for (std::wstring* caption :
       {&CBtnText_OK, &CBtnText_Cancel, &CBtnText_Retry, &CBtnText_Ignore, &CBtnText_Yes, &CBtnText_No}) {
    caption->clear();
    caption->shrink_to_fit();
  }
}
