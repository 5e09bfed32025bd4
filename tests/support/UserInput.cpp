#include "support/UserInput.h"

#include <vector>

void ClickWithMouse(HWND wnd, bool rightButton) {
  RECT r;
  ::GetWindowRect(wnd, &r);
  ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, rightButton);
}

void ClickAt(POINT screenPoint, bool rightButton) {
  const int x = screenPoint.x, y = screenPoint.y;
  ::SetCursorPos(x, y);
  // Absolute coordinates are normalised to 0..65535 over the primary screen.
  int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT input[3] = {};
  for (INPUT& in : input) {
    in.type = INPUT_MOUSE;
    in.mi.dx = ::MulDiv(x, 65535, w - 1);
    in.mi.dy = ::MulDiv(y, 65535, h - 1);
  }
  input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  input[1].mi.dwFlags = (rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN) | MOUSEEVENTF_ABSOLUTE;
  input[2].mi.dwFlags = (rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP) | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(3, input, sizeof(INPUT));
}

namespace {

INPUT KeyInput(WORD key, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = key;
  in.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

}  // namespace

void PressKey(WORD key, std::initializer_list<WORD> modifiers) {
  std::vector<INPUT> input;
  for (WORD m : modifiers) input.push_back(KeyInput(m, false));
  input.push_back(KeyInput(key, false));
  input.push_back(KeyInput(key, true));
  for (auto it = modifiers.end(); it != modifiers.begin();) input.push_back(KeyInput(*--it, true));
  ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

void TypeText(const std::wstring& text) {
  std::vector<INPUT> input;
  for (wchar_t c : text) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wScan = c;
    in.ki.dwFlags = KEYEVENTF_UNICODE;
    input.push_back(in);
    in.ki.dwFlags |= KEYEVENTF_KEYUP;
    input.push_back(in);
  }
  if (!input.empty()) ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

HWND FocusedWindowOf(HWND wnd) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  ::GetGUIThreadInfo(::GetWindowThreadProcessId(wnd, nullptr), &info);
  return info.hwndFocus;
}
