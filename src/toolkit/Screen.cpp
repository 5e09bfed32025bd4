#include "toolkit/Screen.h"

#include <shellscalingapi.h>

namespace {

TMonitor Describe(HMONITOR handle) {
  TMonitor monitor;
  monitor.Handle = handle;
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (handle && ::GetMonitorInfoW(handle, &mi)) {
    monitor.Bounds = mi.rcMonitor;
    monitor.WorkArea = mi.rcWork;
    monitor.Primary = (mi.dwFlags & MONITORINFOF_PRIMARY) != 0;
  }
  UINT dpiX = 0, dpiY = 0;
  if (handle && SUCCEEDED(::GetDpiForMonitor(handle, MDT_EFFECTIVE_DPI, &dpiX, &dpiY)) && dpiX > 0)
    monitor.PixelsPerInch = static_cast<int>(dpiX);
  else
    monitor.PixelsPerInch = static_cast<int>(::GetDpiForSystem());
  return monitor;
}

BOOL CALLBACK CollectMonitor(HMONITOR handle, HDC, LPRECT, LPARAM param) noexcept {
  try {
    reinterpret_cast<std::vector<TMonitor>*>(param)->push_back(Describe(handle));
  } catch (...) {
    return FALSE;  // out of memory: the monitors found so far
  }
  return TRUE;
}

}  // namespace

TScreen& Screen() {
  static TScreen screen;
  return screen;
}

std::vector<TMonitor> TScreen::Monitors() const {
  std::vector<TMonitor> monitors;
  ::EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

TMonitor TScreen::PrimaryMonitor() const { return Describe(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY)); }

TMonitor TScreen::MonitorFromWindow(HWND wnd) const {
  return Describe(::MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST));
}

TMonitor TScreen::MonitorFromPoint(POINT pt) const { return Describe(::MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST)); }

int TScreen::PixelsPerInch() const noexcept { return static_cast<int>(::GetDpiForSystem()); }

HCURSOR TScreen::CursorHandle() const noexcept {
  switch (FCursor) {
    case crHourGlass:
      return ::LoadCursorW(nullptr, IDC_WAIT);
    case crArrow:
      return ::LoadCursorW(nullptr, IDC_ARROW);
    default:
      return nullptr;
  }
}

void TScreen::SetCursor(TCursor cursor) {
  FCursor = cursor;
  HCURSOR handle = CursorHandle();
  ::SetCursor(handle ? handle : ::LoadCursorW(nullptr, IDC_ARROW));
}
