#pragma once
// Building test windows from the toolkit's pieces.
#include "toolkit/Forms.h"

#include <commctrl.h>
#include <memory>
#include <string>

// A form of the given client size (design pixels), owned by the test.
inline std::unique_ptr<TForm> NewForm(int clientWidth, int clientHeight) {
  auto form = std::make_unique<TForm>(nullptr);
  form->SetClientSize(clientWidth, clientHeight);
  return form;
}

// A control owned by owner, sitting in parent at the given design bounds.
template <class T>
T* Place(TComponent* owner, TControl* parent, int left, int top, int width, int height) {
  auto* control = new T(owner);
  control->SetBounds(left, top, width, height);
  control->SetParent(parent);
  return control;
}

inline RECT WindowRectIn(HWND wnd, HWND parent) {
  RECT r;
  ::GetWindowRect(wnd, &r);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The tooltip window of this thread's forms, or null while there is none.
inline HWND ThreadTooltip() {
  HWND found = nullptr;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND wnd, LPARAM param) -> BOOL {
        wchar_t name[64] = {};
        ::GetClassNameW(wnd, name, 64);
        if (std::wstring(name) != TOOLTIPS_CLASSW) return TRUE;
        *reinterpret_cast<HWND*>(param) = wnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}
