#include "toolkit/Classes.h"

#include "base/Strings.h"

#include <algorithm>

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->Insert(this);
}

TComponent::~TComponent() {
  DestroyComponents();
  if (FOwner) FOwner->Remove(this);
}

void TComponent::DestroyComponents() noexcept {
  FDestroying = true;
  while (!FComponents.empty()) {
    TComponent* last = FComponents.back();
    // The component leaves the list in its own destructor; take it out first all the same, so
    // that a component that throws or refuses cannot make this loop spin.
    FComponents.pop_back();
    last->FOwner = nullptr;
    delete last;
  }
}

TComponent* TComponent::FindComponent(std::wstring_view name) const {
  if (name.empty()) return nullptr;
  const std::wstring wanted(name);
  for (TComponent* c : FComponents)
    if (SameTextOrdinal(c->FName, wanted)) return c;
  return nullptr;
}

void TComponent::Insert(TComponent* component) {
  FComponents.push_back(component);
  component->FOwner = this;
  Notification(component, true);
}

void TComponent::Remove(TComponent* component) noexcept {
  auto it = std::find(FComponents.begin(), FComponents.end(), component);
  if (it == FComponents.end()) return;
  FComponents.erase(it);
  component->FOwner = nullptr;
  Notification(component, false);
}
