#pragma once
// The non-visual container: a module that owns timers, translation tables and other parts
// without a window of its own.
#include "toolkit/Controls.h"  // GuardCallback

class TDataModule : public TComponent {
public:
  explicit TDataModule(TComponent* owner) : TComponent(owner) {}

  TNotifyEvent OnCreate;   // run by DoCreate, at the end of the derived module's constructor
  TNotifyEvent OnDestroy;  // run by DoDestroy, at the start of its destructor

protected:
  // Derived modules call these when their parts are built and before they are freed.
  void DoCreate() {
    if (OnCreate) OnCreate(this);
  }
  // An exception from OnDestroy goes to the exception display: the module goes all the same.
  void DoDestroy() noexcept {
    if (OnDestroy) GuardCallback([this] { OnDestroy(this); });
  }
};
