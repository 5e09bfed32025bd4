#pragma once
// Reading the dialogs from outside, as screen readers and UI automation do.
#include "base/Win.h"

#include <cstdint>
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

// The descendants of a window of a class, in the order the system lists them.
inline std::vector<HWND> DescendantsOf(HWND parent, const std::wstring& className) {
  struct TSearch {
    std::wstring ClassName;
    std::vector<HWND> Found;
  } search{className, {}};
  ::EnumChildWindows(
      parent,
      [](HWND wnd, LPARAM param) noexcept -> BOOL {
        auto* s = reinterpret_cast<TSearch*>(param);
        if (ClassNameOf(wnd) == s->ClassName) s->Found.push_back(wnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

// Turns the mouse wheel over a window by delta (120 a notch, negative towards the user), as
// many times as asked.
inline void TurnWheelOver(HWND wnd, int delta, int times = 1) {
  RECT r = WindowRectOf(wnd);
  ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_WHEEL;
  in.mi.mouseData = static_cast<DWORD>(delta);
  std::vector<INPUT> inputs(static_cast<size_t>(times > 0 ? times : 0), in);
  if (!inputs.empty()) ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// The pixels of a window's client area as they are on screen, row by row, as COLORREF values.
inline std::vector<COLORREF> ClientPixels(HWND wnd, int& width, int& height) {
  const RECT client = ClientRectOf(wnd);
  width = client.right;
  height = client.bottom;
  std::vector<COLORREF> pixels;
  if (width <= 0 || height <= 0) return pixels;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC windowDc = ::GetDC(wnd);
  HDC memoryDc = ::CreateCompatibleDC(windowDc);
  HBITMAP bitmap = ::CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(memoryDc, bitmap);
  ::BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
  ::GdiFlush();
  const auto* source = static_cast<const std::uint32_t*>(bits);
  pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (size_t i = 0; i < static_cast<size_t>(width) * static_cast<size_t>(height); ++i) {
    const std::uint32_t p = source[i];  // 0x00RRGGBB
    pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
  }
  ::SelectObject(memoryDc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memoryDc);
  ::ReleaseDC(wnd, windowDc);
  return pixels;
}
