#include "toolkit/Attention.h"

void PlaySystemSound(std::uint32_t flags) noexcept {
  UINT kind = flags & MB_ICONMASK;
  if (kind != MB_ICONHAND && kind != MB_ICONQUESTION && kind != MB_ICONEXCLAMATION && kind != MB_ICONASTERISK)
    kind = MB_OK;
  ::MessageBeep(kind);
}

bool FlashWindowOnce(HWND wnd) noexcept {
  if (!wnd || !::IsWindow(wnd)) return false;
  FLASHWINFO info{};
  info.cbSize = sizeof(info);
  info.hwnd = wnd;
  info.dwFlags = FLASHW_ALL;
  info.uCount = 1;
  ::FlashWindowEx(&info);
  return true;
}
