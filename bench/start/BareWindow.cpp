// The baseline of the start benchmark: the least a Win32 program does to show one window (a
// class, a window of the main window's size, a message loop, a paint of text). Built with the
// program's toolchain and manifest, so that only what the program itself does at start differs.
#include "base/Win.h"

namespace {

LRESULT CALLBACK BareProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(wnd, &ps);
      RECT r;
      ::GetClientRect(wnd, &r);
      ::DrawTextW(dc, L"Zevrik Tavrino", -1, &r, DT_LEFT | DT_TOP | DT_SINGLELINE);
      ::EndPaint(wnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(wnd, msg, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = BareProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"BareWindow";
  ::RegisterClassExW(&wc);
  HWND wnd = ::CreateWindowExW(0, wc.lpszClassName, L"Zevrik Tavrino", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               CW_USEDEFAULT, 525, 410, nullptr, nullptr, instance, nullptr);
  ::ShowWindow(wnd, show);
  ::UpdateWindow(wnd);
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}
