#pragma once
// The screen: monitors with their work areas and pixels per inch, the installed fonts and the
// program-wide mouse cursor.
#include "toolkit/Graphics.h"

#include <string>
#include <vector>

// The program-wide mouse cursor: crDefault lets every window show its own.
enum TCursor : std::int8_t { crDefault = 0, crArrow = -2, crHourGlass = -11 };

struct TMonitor {
  HMONITOR Handle = nullptr;
  RECT Bounds{};
  RECT WorkArea{};
  int PixelsPerInch = 96;
  bool Primary = false;
  int Width() const noexcept { return Bounds.right - Bounds.left; }
  int Height() const noexcept { return Bounds.bottom - Bounds.top; }
};

class TScreen {
public:
  // The monitors as the system lists them now.
  std::vector<TMonitor> Monitors() const;
  TMonitor PrimaryMonitor() const;
  TMonitor MonitorFromWindow(HWND wnd) const;
  TMonitor MonitorFromPoint(POINT pt) const;
  // The system's pixels per inch (the main monitor's at log-in).
  int PixelsPerInch() const noexcept;
  const std::vector<std::wstring>& Fonts() const { return ScreenFonts(); }

  TCursor Cursor() const noexcept { return FCursor; }
  void SetCursor(TCursor cursor);
  // The cursor a window of ours shows now (the program-wide one, or null for its own).
  HCURSOR CursorHandle() const noexcept;

private:
  TCursor FCursor = crDefault;
};

TScreen& Screen();
