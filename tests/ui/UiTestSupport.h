#pragma once
// Reading the dialogs from outside, as screen readers and UI automation do.
#include "base/Win.h"

#include <string>
#include <vector>

// The window text through WM_GETTEXT.
inline std::wstring WindowTextOf(HWND wnd) {
  const auto length = static_cast<int>(::SendMessageW(wnd, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const auto copied = static_cast<int>(
      ::SendMessageW(wnd, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data())));
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

inline RECT ClientRectOf(HWND wnd) {
  RECT r{};
  ::GetClientRect(wnd, &r);
  return r;
}

inline RECT WindowRectOf(HWND wnd) {
  RECT r{};
  ::GetWindowRect(wnd, &r);
  return r;
}

inline std::wstring ClassNameOf(HWND wnd) {
  wchar_t name[256] = {};
  const int n = ::GetClassNameW(wnd, name, 256);
  return std::wstring(name, static_cast<size_t>(n > 0 ? n : 0));
}

// The visible top-level windows of this process of a class, in Z order.
inline std::vector<HWND> VisibleTopLevelWindows(const std::wstring& className) {
  struct TSearch {
    std::wstring ClassName;
    std::vector<HWND> Found;
  } search{className, {}};
  ::EnumWindows(
      [](HWND wnd, LPARAM param) noexcept -> BOOL {
        auto* s = reinterpret_cast<TSearch*>(param);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(wnd, &pid);
        if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(wnd) && ClassNameOf(wnd) == s->ClassName)
          s->Found.push_back(wnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}
