#pragma once
// The toolkit's graphic classes as far as the registry of graphic types needs them: the root
// TGraphic and one class per file format, told apart by class references.
#include "toolkit/Classes.h"

#include <type_traits>
#include <typeinfo>

class TGraphic : public TObject {
public:
  ~TGraphic() override;
};

class TBitmap : public TGraphic {};
class TJPEGImage : public TGraphic {};
class TPngImage : public TGraphic {};
class TGIFImage : public TGraphic {};
class TIcon : public TGraphic {};

// Windows metafiles in either format: enhanced (.emf) or the older one (.wmf).
class TMetafile : public TGraphic {
public:
  bool Enhanced() const noexcept { return FEnhanced; }
  void SetEnhanced(bool value) noexcept { FEnhanced = value; }

private:
  bool FEnhanced = true;
};

// A class of the graphic hierarchy. References to one class are equal (SameGraphicClass), and a
// reference tells whether an object is of its class or of a class derived from it.
class TGraphicClassInfo {
public:
  TGraphicClassInfo(const std::type_info& type, bool (*holds)(const TGraphic&)) noexcept
      : FType(type), FHolds(holds) {}
  TGraphicClassInfo(const TGraphicClassInfo&) = delete;
  TGraphicClassInfo& operator=(const TGraphicClassInfo&) = delete;

  const std::type_info& Type() const noexcept { return FType; }
  // False for no object.
  bool Holds(const TGraphic* graphic) const { return graphic && FHolds(*graphic); }

private:
  const std::type_info& FType;
  bool (*FHolds)(const TGraphic&);
};

using TGraphicClass = const TGraphicClassInfo*;

// The reference to class T (TBitmap, TMetafile, or any class derived from TGraphic).
template <class T>
TGraphicClass GraphicClass() {
  static_assert(std::is_base_of_v<TGraphic, T>, "graphic classes derive from TGraphic");
  static const TGraphicClassInfo info(
      typeid(T), [](const TGraphic& graphic) { return dynamic_cast<const T*>(&graphic) != nullptr; });
  return &info;
}

// True when both name the same class (exactly; a derived class is another class); false when
// either is none.
bool SameGraphicClass(TGraphicClass a, TGraphicClass b);
