#pragma once
// One move-only owner for every kind of Win32 handle: the template takes the function that
// releases the handle and, where "no handle" is not the null value, the function that gives it.
#include "base/Win.h"

#include <utility>

template <class H>
constexpr H NullHandle() noexcept {
  return H{};
}
// CreateFile and friends report failure as INVALID_HANDLE_VALUE.
inline HANDLE InvalidHandleValue() noexcept { return INVALID_HANDLE_VALUE; }
inline SOCKET InvalidSocket() noexcept { return INVALID_SOCKET; }

template <class H, auto CloseFn, H (*InvalidFn)() noexcept = &NullHandle<H>>
class TUniqueHandle {
public:
  using THandle = H;

  TUniqueHandle() noexcept = default;
  explicit TUniqueHandle(THandle handle) noexcept : FHandle(handle) {}
  TUniqueHandle(const TUniqueHandle&) = delete;
  TUniqueHandle& operator=(const TUniqueHandle&) = delete;
  TUniqueHandle(TUniqueHandle&& other) noexcept : FHandle(other.Release()) {}
  TUniqueHandle& operator=(TUniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~TUniqueHandle() { Reset(); }

  THandle Get() const noexcept { return FHandle; }
  bool Valid() const noexcept { return FHandle != InvalidFn(); }
  explicit operator bool() const noexcept { return Valid(); }

  // Gives the handle up without releasing it.
  THandle Release() noexcept { return std::exchange(FHandle, InvalidFn()); }

  void Reset(THandle handle = InvalidFn()) noexcept {
    THandle old = std::exchange(FHandle, handle);
    if (old != InvalidFn()) CloseFn(old);
  }

  // For out-parameters of API calls: releases the current handle first.
  THandle* Put() noexcept {
    Reset();
    return &FHandle;
  }

private:
  THandle FHandle = InvalidFn();
};

using THandleOwner = TUniqueHandle<HANDLE, ::CloseHandle>;
using TFileHandle = TUniqueHandle<HANDLE, ::CloseHandle, &InvalidHandleValue>;
using TFindHandle = TUniqueHandle<HANDLE, ::FindClose, &InvalidHandleValue>;
using TRegKey = TUniqueHandle<HKEY, ::RegCloseKey>;
using TSocketHandle = TUniqueHandle<SOCKET, ::closesocket, &InvalidSocket>;
using TLocalMemory = TUniqueHandle<HLOCAL, ::LocalFree>;
// GDI objects: fonts, brushes, pens and bitmaps are all released by DeleteObject.
template <class H>
using TGdiHandle = TUniqueHandle<H, ::DeleteObject>;
using TFontHandle = TGdiHandle<HFONT>;
using TBrushHandle = TGdiHandle<HBRUSH>;
using TPenHandle = TGdiHandle<HPEN>;
using TBitmapHandle = TGdiHandle<HBITMAP>;
using TIconHandle = TUniqueHandle<HICON, ::DestroyIcon>;
using TMenuHandle = TUniqueHandle<HMENU, ::DestroyMenu>;
using TWindowHandle = TUniqueHandle<HWND, ::DestroyWindow>;
// A memory device context (CreateCompatibleDC).
using TMemoryDc = TUniqueHandle<HDC, ::DeleteDC>;

// A window's device context from GetDC, released with ReleaseDC.
class TWindowDc {
public:
  explicit TWindowDc(HWND wnd) noexcept : FWnd(wnd), FDc(::GetDC(wnd)) {}
  TWindowDc(const TWindowDc&) = delete;
  TWindowDc& operator=(const TWindowDc&) = delete;
  ~TWindowDc() {
    if (FDc) ::ReleaseDC(FWnd, FDc);
  }
  HDC Get() const noexcept { return FDc; }

private:
  HWND FWnd;
  HDC FDc;
};

// The device context of one WM_PAINT, from BeginPaint to EndPaint.
class TPaintDc {
public:
  explicit TPaintDc(HWND wnd) noexcept : FWnd(wnd), FDc(::BeginPaint(wnd, &FPaint)) {}
  TPaintDc(const TPaintDc&) = delete;
  TPaintDc& operator=(const TPaintDc&) = delete;
  ~TPaintDc() { ::EndPaint(FWnd, &FPaint); }
  HDC Get() const noexcept { return FDc; }
  const RECT& Area() const noexcept { return FPaint.rcPaint; }

private:
  HWND FWnd;
  PAINTSTRUCT FPaint{};
  HDC FDc;
};

// Selects a GDI object into a device context for one scope.
class TSelectObject {
public:
  TSelectObject(HDC dc, HGDIOBJ obj) noexcept : FDc(dc), FOld(::SelectObject(dc, obj)) {}
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;
  ~TSelectObject() {
    if (FOld) ::SelectObject(FDc, FOld);
  }

private:
  HDC FDc;
  HGDIOBJ FOld;
};
