#pragma once
// Root types of the window toolkit: the object root, components with owner and name, event
// handler types, alignment, margins and shift states.
#include "base/Sets.h"
#include "base/Strings.h"  // TAlignment

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct TFontDesc;

class TObject {
public:
  virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

// A part of a window or of a module, visual or not. Its owner frees it: owned components are
// freed in reverse order of creation when the owner goes, so a form's named members can be
// plain pointers and controls may be created at run time. A component freed on its own leaves
// its owner's list. The owner is independent of the window a control sits in (its parent).
class TComponent : public TObject {
public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const noexcept { return FOwner; }
  const std::wstring& Name() const noexcept { return FName; }
  void SetName(const std::wstring& name) { FName = name; }

  const std::vector<TComponent*>& Components() const noexcept { return FComponents; }
  int ComponentCount() const noexcept { return static_cast<int>(FComponents.size()); }
  // The owned component of that name (compared without regard to case), or null.
  TComponent* FindComponent(std::wstring_view name) const;

  // True while the owner is freeing its components; a component may then skip work that only
  // matters for a living window.
  bool Destroying() const noexcept { return FDestroying; }

  // Font properties by name ("Font"), for code that treats every component with a font alike
  // (translation, the main window's font given to dialogs). False: no such font property.
  virtual bool GetFontProperty(std::wstring_view /*name*/, TFontDesc& /*font*/) const { return false; }
  virtual bool SetFontProperty(std::wstring_view /*name*/, const TFontDesc& /*font*/) { return false; }

protected:
  // Called on the owner when a component joins or leaves it.
  virtual void Notification(TComponent* /*component*/, bool /*inserted*/) {}
  // Frees the owned components now (in reverse order of creation). Derived classes whose
  // components refer to their members call it first in their destructor.
  void DestroyComponents() noexcept;

private:
  void Insert(TComponent* component);
  void Remove(TComponent* component) noexcept;

  TComponent* FOwner = nullptr;
  std::wstring FName;
  std::vector<TComponent*> FComponents;
  bool FDestroying = false;
};

// Creates a component owned by owner and gives it a name; the owner frees it.
template <class T, class... TArgs>
T* NewComponent(TComponent* owner, const std::wstring& name, TArgs&&... args) {
  T* component = new T(owner, std::forward<TArgs>(args)...);
  component->SetName(name);
  return component;
}

// How a control sits in its parent: docked to an edge, filling the rest, or placed freely.
enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Keys held with a key or mouse event.
enum TShiftStateFlag : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle };
using TShiftState = TSet<TShiftStateFlag, 6>;
enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

using TKeyEvent = std::function<void(TObject* sender, unsigned short& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, wchar_t& key)>;
using TMouseWheelEvent =
    std::function<void(TObject* sender, TShiftState shift, int wheelDelta, int x, int y, bool& handled)>;
using TContextPopupEvent = std::function<void(TObject* sender, int x, int y, bool& handled)>;

// A rectangle in design pixels (96 dots per inch).
struct TDesignRect {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  int Right() const noexcept { return Left + Width; }
  int Bottom() const noexcept { return Top + Height; }
  bool operator==(const TDesignRect&) const = default;
};

// Space kept around an aligned control, in design pixels.
struct TMargins {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TMargins&) const = default;
};
