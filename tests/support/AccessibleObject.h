#pragma once
// Accessible objects read as screen readers read them. Header only: the benchmark probes use it
// too and link no test library.
#include "base/Win.h"

#include <oleacc.h>
#include <string>

// The client object of a window, as a screen reader asks for it (through COM; the window may be
// of another process).
class TAccessibleObject {
public:
  explicit TAccessibleObject(HWND wnd) {
    thread_local const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    (void)com;
    if (FAILED(::AccessibleObjectFromWindow(wnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&FObject))))
      FObject = nullptr;
  }
  ~TAccessibleObject() {
    if (FObject) FObject->Release();
  }
  TAccessibleObject(const TAccessibleObject&) = delete;
  TAccessibleObject& operator=(const TAccessibleObject&) = delete;
  explicit operator bool() const noexcept { return FObject != nullptr; }
  IAccessible* operator->() const noexcept { return FObject; }

  // What Text gives where there is no text.
  static constexpr const wchar_t* kNone = L"(none)";
  // The object's name, description or default action (what read gives) for a child, or kNone.
  std::wstring Text(HRESULT (STDMETHODCALLTYPE IAccessible::*read)(VARIANT, BSTR*), LONG childId = CHILDID_SELF) const {
    BSTR text = nullptr;
    if (!FObject || FAILED((FObject->*read)(Child(childId), &text)) || !text) return kNone;
    std::wstring result(text);
    ::SysFreeString(text);
    return result;
  }
  // The role or state (what read gives) of a child, or -1.
  LONG Number(HRESULT (STDMETHODCALLTYPE IAccessible::*read)(VARIANT, VARIANT*), LONG childId = CHILDID_SELF) const {
    VARIANT value{};
    if (!FObject || (FObject->*read)(Child(childId), &value) != S_OK || value.vt != VT_I4) return -1;
    return value.lVal;
  }

  static VARIANT Child(LONG childId) noexcept {
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = childId;
    return child;
  }

private:
  IAccessible* FObject = nullptr;
};
