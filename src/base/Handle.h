#pragma once
// One move-only owner for every kind of Win32 handle; a traits type per kind says
// what "no handle" is and how the handle is released.
#include "base/Win.h"

#include <utility>

template <class Traits>
class TUniqueHandle {
public:
  using THandle = typename Traits::THandle;

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
  bool Valid() const noexcept { return FHandle != Traits::Invalid(); }
  explicit operator bool() const noexcept { return Valid(); }

  // Gives the handle up without releasing it.
  THandle Release() noexcept { return std::exchange(FHandle, Traits::Invalid()); }

  void Reset(THandle handle = Traits::Invalid()) noexcept {
    THandle old = std::exchange(FHandle, handle);
    if (old != Traits::Invalid()) Traits::Close(old);
  }

  // For out-parameters of API calls: releases the current handle first.
  THandle* Put() noexcept {
    Reset();
    return &FHandle;
  }

private:
  THandle FHandle = Traits::Invalid();
};

struct TKernelHandleTraits {
  using THandle = HANDLE;
  static THandle Invalid() noexcept { return nullptr; }
  static void Close(THandle h) noexcept { ::CloseHandle(h); }
};
// CreateFile and friends report failure as INVALID_HANDLE_VALUE.
struct TFileHandleTraits {
  using THandle = HANDLE;
  static THandle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(THandle h) noexcept { ::CloseHandle(h); }
};
struct TRegKeyTraits {
  using THandle = HKEY;
  static THandle Invalid() noexcept { return nullptr; }
  static void Close(THandle h) noexcept { ::RegCloseKey(h); }
};
struct TSocketTraits {
  using THandle = SOCKET;
  static THandle Invalid() noexcept { return INVALID_SOCKET; }
  static void Close(THandle h) noexcept { ::closesocket(h); }
};
struct TGdiObjectTraits {
  using THandle = HGDIOBJ;
  static THandle Invalid() noexcept { return nullptr; }
  static void Close(THandle h) noexcept { ::DeleteObject(h); }
};
struct TFontTraits {
  using THandle = HFONT;
  static THandle Invalid() noexcept { return nullptr; }
  static void Close(THandle h) noexcept { ::DeleteObject(h); }
};
struct TBrushTraits {
  using THandle = HBRUSH;
  static THandle Invalid() noexcept { return nullptr; }
  static void Close(THandle h) noexcept { ::DeleteObject(h); }
};
struct TBitmapTraits {
  using THandle = HBITMAP;
  static THandle Invalid() noexcept { return nullptr; }
  static void Close(THandle h) noexcept { ::DeleteObject(h); }
};
struct TIconTraits {
  using THandle = HICON;
  static THandle Invalid() noexcept { return nullptr; }
  static void Close(THandle h) noexcept { ::DestroyIcon(h); }
};
struct TModuleTraits {
  using THandle = HMODULE;
  static THandle Invalid() noexcept { return nullptr; }
  static void Close(THandle h) noexcept { ::FreeLibrary(h); }
};
struct TFindTraits {
  using THandle = HANDLE;
  static THandle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(THandle h) noexcept { ::FindClose(h); }
};
struct TMemDcTraits {
  using THandle = HDC;
  static THandle Invalid() noexcept { return nullptr; }
  static void Close(THandle h) noexcept { ::DeleteDC(h); }
};

using THandleOwner = TUniqueHandle<TKernelHandleTraits>;
using TFileHandle = TUniqueHandle<TFileHandleTraits>;
using TRegKey = TUniqueHandle<TRegKeyTraits>;
using TSocketHandle = TUniqueHandle<TSocketTraits>;
using TFontHandle = TUniqueHandle<TFontTraits>;
using TBrushHandle = TUniqueHandle<TBrushTraits>;
using TBitmapHandle = TUniqueHandle<TBitmapTraits>;
using TIconHandle = TUniqueHandle<TIconTraits>;
using TModuleHandle = TUniqueHandle<TModuleTraits>;
using TFindHandle = TUniqueHandle<TFindTraits>;
using TMemDc = TUniqueHandle<TMemDcTraits>;

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
