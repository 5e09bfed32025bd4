#include "ui/FrmPopupMsg.h"

#include "base/Misc.h"
#include "ui/TextMeasure.h"

#include <algorithm>

TFrmPopupMsg* FrmPopupMsg = nullptr;

namespace {

constexpr int kPopupMsec = 250;
constexpr COLORREF kWhite = 0xFFFFFF, kLightFace = 0xF0F0F0, kDarkFrame = 0xA0A0A0;

// Design pixels that hold at least the given device pixels.
int DesignCeil(int devicePixels, int dpi) { return dpi > 0 ? (devicePixels * 96 + dpi - 1) / dpi : devicePixels; }

int WrappedTextHeight(HDC dc, const std::wstring& text, int width) {
  RECT r{0, 0, width, 0};
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXTERNALLEADING | DT_NOCLIP);
  return r.bottom - r.top;
}

}  // namespace

TFrmPopupMsg::TFrmPopupMsg(TComponent* owner) : TForm(owner) {
  SetName(L"FrmPopupMsg");
  SetBorderStyle(bsNone);
  SetBorderIcons({});
  SetClientSize(392, 70);
  SetColor(clBtnFace);
  TFontDesc font;
  font.Name = L"Tahoma";
  font.Height = -11;
  SetFont(font);
  SetPosition(poScreenCenter);
  // It confirms what the user just did; the focus stays where the user works.
  SetNoActivate(true);
  OnPaint = [this](TObject* sender, TCanvas& canvas) { FormPaint(sender, canvas); };
  OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
  DoCreate();
}

TFrmPopupMsg::~TFrmPopupMsg() {
  // Its owner may free it before Hide does.
  if (FrmPopupMsg == this) FrmPopupMsg = nullptr;
}

void TFrmPopupMsg::ShowMsg(const std::wstring& text, TComponent* ownerForm, TAlignment align) {
  if (!FrmPopupMsg) {
    TComponent* owner = ownerForm ? ownerForm : Application().MainForm();
    auto* popup = new TFrmPopupMsg(owner);
    FrmPopupMsg = popup;
    try {
      if (TForm* main = Application().MainForm()) {
        TFontDesc font = popup->Font();
        CopyFontAttributes(font, main->Font());
        popup->SetFont(font);
      }
      if (owner) popup->SetPosition(poOwnerFormCenter);
      popup->FBgColor = ColorToRGB(clBtnFace);
      popup->FBorderColor = ColorToRGB(clBtnShadow);
      if (popup->FBgColor == kWhite) popup->FBgColor = kLightFace;
      if (popup->FBorderColor >= kLightFace) popup->FBorderColor = kDarkFrame;
      popup->SetColor(popup->FBgColor);
      popup->Show();
      TWindowCanvas canvas(popup->Handle(), popup->Dpi(), popup->Font());
      popup->FEmQuad = std::max(LineHeightOf(canvas), 1);
    } catch (...) {
      delete popup;
      throw;
    }
  }
  FrmPopupMsg->ApplyText(text, align);
}

void TFrmPopupMsg::Hide() { delete FrmPopupMsg; }

int TFrmPopupMsg::ClientPixelsWidth() const {
  RECT r{};
  ::GetClientRect(Handle(), &r);
  return r.right;
}

int TFrmPopupMsg::ClientPixelsHeight() const {
  RECT r{};
  ::GetClientRect(Handle(), &r);
  return r.bottom;
}

void TFrmPopupMsg::ApplyText(const std::wstring& text, TAlignment align) {
  InvalidateText();
  FMarkFont.Reset();
  FText = Trim(NormalizeLineBreaks(text));
  FAlign = align;
  // What the popup says is its window text, for screen readers and UI automation.
  SetCaption(FText);
  const TMonitor monitor = Screen().MonitorFromWindow(Handle());
  const int monitorWidth = monitor.Width(), monitorHeight = monitor.Height();
  {
    TWindowCanvas canvas(Handle(), Dpi(), Font());
    FTextWidth = TextWidthOf(canvas.Handle(), FText);
    FTextHeight = TextHeightOf(canvas.Handle(), FText);
    // A text wider than the window can become is wrapped by the drawing: measure it so, or
    // it would run past the window's edges.
    const int widest = std::max(ClientPixelsWidth(), std::min(monitorWidth, FTextWidth + 4 * FEmQuad));
    const int room = std::max(widest - 4 * FEmQuad, 1);
    if (FTextWidth > room) {
      FTextWidth = room;
      FTextHeight = WrappedTextHeight(canvas.Handle(), FText, room);
    }
  }
  InvalidateText();
  const int maxHeight = monitorHeight * 3 / 4;
  FTextHeight = std::min(FTextHeight, maxHeight);
  const int width = std::min(std::max(monitorWidth / 4, FTextWidth + 4 * FEmQuad), monitorWidth);
  const int height = std::min(FTextHeight + 4 * FEmQuad, maxHeight);

  // Growing keeps the window centred on its owner form (or on the screen), and on the monitor.
  auto* ownerForm = dynamic_cast<TForm*>(Owner());
  const bool byOwner = ownerForm && ownerForm->HandleAllocated();
  const RECT ownerRect = byOwner ? ownerForm->WindowRect() : monitor.Bounds;
  if (ClientPixelsWidth() < width) {
    int left = ownerRect.left + (ownerRect.right - ownerRect.left) / 2 - width / 2;
    left = std::max(std::min(left, static_cast<int>(monitor.Bounds.right) - width), static_cast<int>(monitor.Bounds.left));
    SetWindowPosition(left, WindowRect().top);
    SetClientWidth(DesignCeil(width, Dpi()));
    Invalidate();
  }
  if (ClientPixelsHeight() < height) {
    int top = ownerRect.top + (ownerRect.bottom - ownerRect.top) / 2 - height / 2;
    top = std::max(std::min(top, static_cast<int>(monitor.Bounds.bottom) - height), static_cast<int>(monitor.Bounds.top));
    SetWindowPosition(WindowRect().left, top);
    SetClientHeight(DesignCeil(height, Dpi()));
    Invalidate();
  }
  if (FText == kTickMark && FitMark()) {
    // The mark is what shows: its ink box is the text's area.
    FTextWidth = static_cast<int>(FMarkGlyph.gmBlackBoxX);
    FTextHeight = static_cast<int>(FMarkGlyph.gmBlackBoxY);
    InvalidateText();
  }
  // The caller may block the thread right after (PopupTick does): paint now.
  BringToFront();
  Update();
}

RECT TFrmPopupMsg::TextArea() const {
  const int width = ClientPixelsWidth(), cy = ClientPixelsHeight() / 2;
  int x = width / 2 - FTextWidth / 2;
  if (FAlign == taLeftJustify) x = 2 * FEmQuad;
  if (FAlign == taRightJustify) x = width - 2 * FEmQuad - FTextWidth;
  return RECT{x, cy - FTextHeight / 2 - 1, x + FTextWidth + 1, cy + FTextHeight / 2 + 2};
}

void TFrmPopupMsg::InvalidateText() {
  if (!HandleAllocated()) return;
  RECT r = TextArea();
  --r.left;
  ++r.right;
  // The smoothed edges of a large mark may reach a little past its ink box.
  if (FMarkFont) ::InflateRect(&r, 2, 2);
  ::InvalidateRect(Handle(), &r, FALSE);
}

bool TFrmPopupMsg::FitMark() {
  const int inkHeight = ClientPixelsHeight() * 3 / 4;
  if (inkHeight <= 0) return false;
  TWindowDc dc(Handle());
  const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  // A font of the face with the em given, when its glyph of the mark has ink; the ink box in Glyph.
  auto markFont = [&](const std::wstring& face, int em, GLYPHMETRICS& glyph) {
    LOGFONTW lf{};
    lf.lfHeight = -em;
    lf.lfCharSet = DEFAULT_CHARSET;
    face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    TFontHandle font(::CreateFontIndirectW(&lf));
    TSelectObject selected(dc.Get(), font.Get());
    WORD index = 0xFFFF;
    const DWORD found = font ? ::GetGlyphIndicesW(dc.Get(), FText.c_str(), 1, &index, GGI_MARK_NONEXISTING_GLYPHS)
                             : GDI_ERROR;
    const bool hasGlyph = found != GDI_ERROR && index != 0xFFFF;
    if (!hasGlyph || ::GetGlyphOutlineW(dc.Get(), FText[0], GGO_METRICS, &glyph, 0, nullptr, &identity) == GDI_ERROR ||
        glyph.gmBlackBoxY < 2)
      font.Reset();
    return font;
  };
  // The window's face when it has the mark, else faces known to: Segoe UI Symbol on Windows,
  // DejaVu Sans where Wine runs without Windows fonts.
  for (const std::wstring& face : {Font().Name, std::wstring(L"Segoe UI Symbol"), std::wstring(L"DejaVu Sans"),
                                   std::wstring(L"Arial Unicode MS")}) {
    GLYPHMETRICS glyph{};
    if (!markFont(face, inkHeight, glyph)) continue;
    // The ink is a share of the em: the em whose ink has the height wanted.
    TFontHandle font = markFont(face, ::MulDiv(inkHeight, inkHeight, static_cast<int>(glyph.gmBlackBoxY)), glyph);
    if (!font) continue;
    FMarkFont = std::move(font);
    FMarkGlyph = glyph;
    return true;
  }
  return false;
}

void TFrmPopupMsg::FormPaint(TObject*, TCanvas& canvas) {
  RECT client{};
  ::GetClientRect(Handle(), &client);
  canvas.SetBrushColor(FBgColor);
  canvas.SetPen(FBorderColor, std::max(FEmQuad / 8, 1), psInsideFrame);
  canvas.Rectangle(client);
  PaintText(canvas);
}

void TFrmPopupMsg::PaintMark(TCanvas& canvas) {
  HDC dc = canvas.Handle();
  TSelectObject font(dc, FMarkFont.Get());
  ::SetTextColor(dc, ColorToRGB(Font().Color));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextAlign(dc, TA_LEFT | TA_BASELINE);
  // The glyph's ink box in the middle of the window.
  const int x = ClientPixelsWidth() / 2 - static_cast<int>(FMarkGlyph.gmBlackBoxX) / 2 - FMarkGlyph.gmptGlyphOrigin.x;
  const int y = ClientPixelsHeight() / 2 - static_cast<int>(FMarkGlyph.gmBlackBoxY) / 2 + FMarkGlyph.gmptGlyphOrigin.y;
  ::TextOutW(dc, x, y, FText.c_str(), static_cast<int>(FText.size()));
}

void TFrmPopupMsg::PaintText(TCanvas& canvas) {
  if (FMarkFont) return PaintMark(canvas);
  canvas.SetFont(Font());
  canvas.SetBrushStyle(bsClear);
  ::SetTextAlign(canvas.Handle(), TA_LEFT | TA_TOP);
  RECT r = TextArea();
  const UINT align = FAlign == taLeftJustify ? DT_LEFT : FAlign == taRightJustify ? DT_RIGHT : DT_CENTER;
  canvas.DrawText(FText, r, align | DT_WORDBREAK | DT_NOPREFIX | DT_EXTERNALLEADING | DT_NOCLIP);
}

void TFrmPopupMsg::FormCloseQuery(TObject*, bool& canClose) {
  // Only Hide removes the popup; the user cannot close it.
  canClose = false;
}

void PopupMsgShow(const std::wstring& text, TAlignment align, TForm* owner) {
  TFrmPopupMsg::ShowMsg(text, owner, align);
}

void PopupMsgHide() { TFrmPopupMsg::Hide(); }

void PopupTick(TForm* owner) {
  ::MessageBeep(MB_ICONASTERISK);
  TStack* stack = PopupStack();
  const int before = stack ? stack->Count() : 0;
  try {
    PushPopupMsg(kTickMark, owner, taCenter);
    ::Sleep(kPopupMsec);
  } catch (...) {
    if (stack && stack->Count() > before) PopPopupMsg();
    throw;
  }
  PopPopupMsg();
}
