#pragma once
// Library-wide hooks and entry routines that the user-interface units implement: the library
// itself never shows a window; without the hooks the routines fall back to the system.
#include "base/Win.h"

#include <cstdint>
#include <string>

class TForm;  // the window toolkit's top-level window; only passed through here

// Message boxes. Flags are the Windows MessageBox flags; results are the Windows dialog
// results, or -1, -2, -3 for caller-given buttons.
using TMsgBoxProc = int (*)(const std::wstring& AText, std::uint32_t Flags, HWND Wnd);
using TMsgBox2Proc = int (*)(const std::wstring& AHeadline, const std::wstring& AMessage, std::uint32_t Flags,
                             HWND Wnd);
using TMsgBox3Proc = int (*)(const std::wstring& AHeadline, const std::wstring& AMessage,
                             const std::wstring& AButtons, std::uint32_t Flags, TForm* AOwner);

void SetMsgBoxProcs(TMsgBoxProc P1, TMsgBox2Proc P2, TMsgBox3Proc P3);
bool MsgBox3Available();

int MsgBox(const std::wstring& AText, std::uint32_t Flags, HWND Wnd = nullptr);
int MsgBox(const std::wstring& AHeadline, const std::wstring& AMessage, std::uint32_t Flags, HWND Wnd = nullptr);
int MsgBox3(const std::wstring& AText, std::uint32_t Flags, TForm* AOwner = nullptr);
int MsgBox3(const std::wstring& AHeadline, const std::wstring& AMessage, std::uint32_t Flags,
            TForm* AOwner = nullptr);
int MsgBox3(const std::wstring& AHeadline, const std::wstring& AMessage, const std::wstring& AButtons,
            std::uint32_t Flags, TForm* AOwner = nullptr);

// The operating system's message box; a headline goes above the message, underlined with
// dashes. The caption is the program file's name without extension.
int SystemMsgBox(const std::wstring& AHeadline, const std::wstring& AMessage, std::uint32_t Flags, HWND Wnd);

// Text of a headline over a message as the plain system box shows it.
std::wstring HeadlineAboveMessage(const std::wstring& AHeadline, const std::wstring& AMessage);

// Clears the hooks (library start and stop).
void ClearMsgBoxProcs();
