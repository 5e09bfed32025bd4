#include "toolkit/GraphicClasses.h"

TGraphic::~TGraphic() = default;

bool SameGraphicClass(TGraphicClass A, TGraphicClass B) {
  // The same class may come with more than one reference object; its type is one.
  return A && B && (A == B || A->Type() == B->Type());
}
