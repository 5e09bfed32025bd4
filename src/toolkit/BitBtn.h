#pragma once
// A push button with a picture beside its caption.
#include "toolkit/StdCtrls.h"

class TBitBtn : public TButton {
public:
  explicit TBitBtn(TComponent* owner);

  // An icon resource of the program drawn at 16 design pixels, left of the caption and one
  // spacing unit (4 design pixels) apart from it.
  void SetGlyph(int iconResourceId);
  const TIconImage& Glyph() const noexcept { return FGlyph; }
  int GlyphId() const noexcept { return FGlyphId; }

protected:
  void CreateWnd() override;
  void ApplyDpi(int dpi) override;

private:
  void ApplyGlyph();

  int FGlyphId = 0;
  TIconImage FGlyph;
  TIconHandle FButtonImage;  // the glyph with the spacing, as the button shows it
};
