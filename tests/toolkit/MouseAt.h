#pragma once
// Mouse input at a given place of a window, through the system's input queue as a user gives it.
#include "base/Win.h"

// Moves the mouse to a point of the window's client area (device pixels) and clicks there
// once or twice (a double click).
inline void ClickAt(HWND wnd, POINT client, int clicks = 1) {
  ::ClientToScreen(wnd, &client);
  ::SetCursorPos(client.x, client.y);
  INPUT input[4] = {};
  for (int i = 0; i < 2 * clicks; ++i) {
    input[i].type = INPUT_MOUSE;
    input[i].mi.dwFlags = i % 2 == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  }
  ::SendInput(static_cast<UINT>(2 * clicks), input, sizeof(INPUT));
}

// Turns the mouse wheel over the middle of a window; negative notches scroll down.
inline void TurnWheel(HWND over, int notches) {
  RECT r;
  ::GetWindowRect(over, &r);
  ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_WHEEL;
  in.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
  ::SendInput(1, &in, sizeof(in));
}
