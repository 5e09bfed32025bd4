#include "toolkit/BitBtn.h"

namespace {

constexpr int kGlyphSize = 16;    // design pixels
constexpr int kGlyphSpacing = 4;  // design pixels between the glyph and the caption

}  // namespace

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {}

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
  if (!HandleAllocated()) return;
  // The common controls (version 6) draw the icon and the caption side by side, touching; the
  // icon the button gets carries the spacing as transparent room on its right. The button keeps
  // its BS_PUSHBUTTON style, so the caption stays its accessible name.
  TIconHandle image = FGlyph.Empty() ? TIconHandle() : IconWithRightMargin(FGlyph.Handle(), Scale(kGlyphSpacing));
  ::SendMessageW(Handle(), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(image.Get()));
  FButtonImage = std::move(image);  // the one before is freed once the button has let it go
}
