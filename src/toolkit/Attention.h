#pragma once
// Drawing the user's attention: the system sounds of the message kinds and flashing a window.
#include "base/Win.h"

#include <cstdint>

// Plays the system sound of a message-box icon kind taken from the flags (MB_ICONHAND,
// MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONASTERISK); any other kind plays the default
// sound. The other bits of the flags are ignored, so message-box flags can be passed whole.
void PlaySystemSound(std::uint32_t flags) noexcept;

// Flashes the window's caption and taskbar button once, without activating it. False when
// there is no such window.
bool FlashWindowOnce(HWND wnd) noexcept;
