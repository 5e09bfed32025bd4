#include "toolkit/BitBtn.h"

namespace {

constexpr int kGlyphSize = 16;  // design pixels

}  // namespace

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner) {}

void TBitBtn::SetGlyph(int iconResourceId) {
  FGlyphId = iconResourceId;
  if (FGlyphId)
    FGlyph.LoadResource(FGlyphId, kGlyphSize, Dpi());
  else
    FGlyph.Clear();
  ApplyGlyph();
}

void TBitBtn::CreateWnd() {
  TButton::CreateWnd();
  if (FGlyphId) FGlyph.LoadResource(FGlyphId, kGlyphSize, Dpi());
  ApplyGlyph();
}

void TBitBtn::ApplyDpi(int dpi) {
  TButton::ApplyDpi(dpi);
  FGlyph.ApplyDpi(dpi);
  ApplyGlyph();
}

void TBitBtn::ApplyGlyph() {
  // The common controls (version 6) draw the icon and the caption side by side; the button
  // keeps its BS_PUSHBUTTON style, so the caption stays its accessible name.
  if (HandleAllocated())
    ::SendMessageW(Handle(), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(FGlyph.Handle()));
}
