#pragma once
// Input as a user gives it, through the system's input queue (SendInput): it reaches whatever
// window is in front and has the focus, in this process or another one.
#include "base/Win.h"

#include <initializer_list>
#include <string>

// Clicks a point of the screen with the left (or right) mouse button.
void ClickAt(POINT screenPoint, bool rightButton = false);
// Clicks the middle of a window with the left (or right) mouse button.
void ClickWithMouse(HWND wnd, bool rightButton = false);
// Presses a key with the modifier keys held (VK_SHIFT, VK_CONTROL, VK_MENU).
void PressKey(WORD key, std::initializer_list<WORD> modifiers = {});
// Types a text character by character.
void TypeText(const std::wstring& text);
// The window that has the keyboard focus in the thread of a window (of any process).
HWND FocusedWindowOf(HWND wnd);
