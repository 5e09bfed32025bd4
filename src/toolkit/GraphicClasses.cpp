#include "toolkit/GraphicClasses.h"

TGraphic::~TGraphic() = default;

bool SameGraphicClass(TGraphicClass a, TGraphicClass b) {
  // The same class may come with more than one reference object; its type is one.
  return a && b && (a == b || a->Type() == b->Type());
}
