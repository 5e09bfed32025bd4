#pragma once
// Library-wide hooks and entry routines that the user-interface units implement: the library
// itself never shows a window; without the hooks the routines fall back to the system.
#include "base/LinkList.h"
#include "base/Win.h"

#include <cstdint>
#include <string>

class TForm;  // the window toolkit's top-level window; only passed through here

// Message boxes. Flags are the Windows MessageBox flags; results are the Windows dialog
// results, or -1, -2, -3 for caller-given buttons.
using TMsgBoxProc = int (*)(const std::wstring& text, std::uint32_t flags, HWND wnd);
using TMsgBox2Proc = int (*)(const std::wstring& headline, const std::wstring& message, std::uint32_t flags,
                             HWND wnd);
using TMsgBox3Proc = int (*)(const std::wstring& headline, const std::wstring& message,
                             const std::wstring& buttons, std::uint32_t flags, TForm* owner);

void SetMsgBoxProcs(TMsgBoxProc p1, TMsgBox2Proc p2, TMsgBox3Proc p3);
bool MsgBox3Available();
// The hooks installed now: who replaces them for a while puts these back.
struct TMsgBoxProcs {
  TMsgBoxProc P1;
  TMsgBox2Proc P2;
  TMsgBox3Proc P3;
};
TMsgBoxProcs CurrentMsgBoxProcs();

int MsgBox(const std::wstring& text, std::uint32_t flags, HWND wnd = nullptr);
int MsgBox(const std::wstring& headline, const std::wstring& message, std::uint32_t flags, HWND wnd = nullptr);
int MsgBox3(const std::wstring& text, std::uint32_t flags, TForm* owner = nullptr);
int MsgBox3(const std::wstring& headline, const std::wstring& message, std::uint32_t flags,
            TForm* owner = nullptr);
int MsgBox3(const std::wstring& headline, const std::wstring& message, const std::wstring& buttons,
            std::uint32_t flags, TForm* owner = nullptr);

// The operating system's message box; a headline goes above the message, underlined with
// dashes. The caption is the program file's name without extension.
int SystemMsgBox(const std::wstring& headline, const std::wstring& message, std::uint32_t flags, HWND wnd);

// Text of a headline over a message as the plain system box shows it.
std::wstring HeadlineAboveMessage(const std::wstring& headline, const std::wstring& message);

// Clears the hooks (library start and stop).
void ClearMsgBoxProcs();

// Program identity: the names and version a program gives itself. At start both names are the
// program file's base name and the other texts empty.
const std::wstring& ProgramFullName();
const std::wstring& ProgramShortName();
const std::wstring& ProgramVersion();
const std::wstring& ProgramExtraInfo();
std::uint32_t ProgramBuildNumber();
// Sets the four texts; the build number becomes FileVersionBuild of the running program.
void SetProgramInfo(const std::wstring& fullName, const std::wstring& shortName, const std::wstring& version,
                    const std::wstring& extraInfo);

// Busy cursor: nestable sections of long work. The hooks (installed by the window helpers) set
// the application's cursor; without them the system's wait and arrow cursors are set.
using TBusyProc = void (*)();
void SetBusyCursorProcs(TBusyProc beginProc, TBusyProc endProc);
int BusyCount();
void BeginBusy();
// Ends one section; the last one (or one too many) ends the busy state.
void EndBusy();
// Ends the busy state whatever the nesting depth.
void ResetBusy();

// Opens a busy section for one scope, so that it is closed on every path.
class TBusySection {
public:
  TBusySection() { BeginBusy(); }
  TBusySection(const TBusySection&) = delete;
  TBusySection& operator=(const TBusySection&) = delete;
  ~TBusySection() { EndBusy(); }
};

// Popup texts: a stack of TTextNode, so that a routine may show its own text over another one
// and, when it removes it, the earlier one shows again. The popup window is reached only through
// the hooks; without them the stack is still kept, and nothing is shown.
using TPopupMsgShowProc = void (*)(const std::wstring& text, TAlignment align, TForm* owner);
using TPopupMsgHideProc = void (*)();
void SetPopupMsgProcs(TPopupMsgShowProc showProc, TPopupMsgHideProc hideProc);
// The library-wide stack; none before the unit starts and after it stops.
TStack* PopupStack();
void PushPopupMsg(const std::wstring& text, TForm* owner, TAlignment align);
// Removes the top text: the one below is shown again, or the popup hidden when none is left.
void PopPopupMsg();

// Unit start and stop (library start-up list): clears every hook, creates the popup stack, sets the program identity,
// switches window ghosting off and reads the user's locale settings again.
void MiscStart();
void MiscStop();
