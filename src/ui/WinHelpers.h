#pragma once
// Window and shell helpers shared by every window of the program: window placement in a
// settings store, the main window's font for dialogs, focus and layout helpers, popup menus at
// a control, settings paths of controls, the shell ("open", "explore") and the save dialog.
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/Screen.h"

#include <string>
#include <vector>

class TSettings;
class TListBox;
class TMemo;

// ---- placement ----
// Writes the window's placement (position relative to its monitor, size, state, monitor number)
// at Settings' form section, entry = the window's name. No store (none given and no AppSettings):
// nothing happens.
void SaveFormPlacement(TForm* Form, TSettings* Settings);
// Restores what SaveFormPlacement wrote; false when nothing was stored. A size stored at another
// DPI is scaled to the window's (a text without DPI counts as stored at the window's own), and the
// window never becomes smaller than its contents need (TForm::MinWindowSize). Hostile values give
// a usable window: on a monitor, at least a minimal size.
bool RestoreFormPlacement(TForm* Form, TSettings* Settings);
// The text SaveFormPlacement writes for a window rectangle on a monitor: left and top relative to
// the monitor, width, height, state, monitor number (empty for the primary one), and the window's
// DPI, with which a restore at another DPI scales the size. Older readers take the first six
// fields and pass over the seventh.
std::wstring PlacementText(const RECT& Window, int State, const TMonitor& Monitor, int MonitorNumber, int Dpi);

// The monitors as the placement helpers see them; tests replace the list (one monitor under Wine).
using TMonitorsProc = std::vector<TMonitor> (*)();
void SetMonitorsProc(TMonitorsProc Proc) noexcept;
std::vector<TMonitor> PlacementMonitors();
TMonitor PrimaryMonitor();

// ---- fonts, focus, layout ----
// Gives the component the main window's font; fonts of owned components that used the
// component's old face follow (face and size scaled).
void ApplyMainFormFont(TComponent* Component);
// The first child (recursively) that takes the focus with the Tab key, or null.
TControl* FirstFocusableControl(TControl* Parent);
// Focuses the first focusable control of a tab sheet and returns it, or null.
TControl* FocusFirstControl(TControl* Sheet);
// The control itself or its nearest parent that is a top-level window.
TForm* ParentForm(TControl* Control);
// Stacks the visible top-aligned controls in array order, from 0 down.
void ArrangeTopAligned(const std::vector<TControl*>& Controls);
// Caret to the end and the last line scrolled into view.
void ScrollMemoToEnd(TMemo* Memo);
// The width a list needs to show its widest entry whole: that text, the vertical scroll bar,
// both borders and the width of an "n" to spare, in design pixels.
int ListWidth(const TListBox* List);

// ---- menus ----
void PopupMenuAt(TPopupMenu* Menu, TControl* Control, int X, TPopupAlignment Alignment, int Y);
void PopupMenuBelow(TPopupMenu* Menu, TControl* Control, TPopupAlignment Alignment);

// ---- settings paths ----
// "Window.Panel.Control": the names of the control's parents from the outermost, then its own.
std::wstring ControlPath(const TControl* Control);
// Settings path (section CR name CR default) of an entry of a control in Settings' form section;
// empty when there is no store.
std::wstring ControlSettingsPath(TSettings* Settings, const TControl* Control, const std::wstring& Entry,
                                 const std::wstring& Default);

// ---- shell ----
// How the shell is asked; tests record the calls instead.
using TShellExecuteProc = void (*)(HWND Parent, const std::wstring& Verb, const std::wstring& Target,
                                   const std::wstring& Parameters);
void SetShellExecuteProc(TShellExecuteProc Proc) noexcept;
// Asks the shell to perform a verb ("open", "explore") with the main window as parent.
void ShellExecuteVerb(const std::wstring& Verb, const std::wstring& Target, const std::wstring& Parameters);
// The same with a window of the caller's as parent (null: the main window).
void ShellExecuteVerb(HWND Parent, const std::wstring& Verb, const std::wstring& Target,
                      const std::wstring& Parameters);
void ShellOpen(const std::wstring& Target);
void OpenUrl(const std::wstring& Url);
// Opens the folder in the explorer, or says that it is missing.
void ExploreFolder(const std::wstring& Path);
// Opens a web address ("www." or "://"), a folder (with trailing "\") or a file; false otherwise.
bool OpenLink(const std::wstring& Link);

// ---- the save dialog ----
// The system's save dialog: asks before overwriting, wants an existing folder. True with the
// chosen name in FileName; false (FileName unchanged) when the user cancels.
bool SaveFileDialog(TForm* Owner, const std::wstring& Title, std::wstring InitialDir, std::wstring DefaultExt,
                    const std::wstring& Filter, std::wstring& FileName);
// 1-based index of the filter pair whose patterns hold "*.Ext"; else the last "*.*" pair; else 0.
int FilterIndexOf(const std::wstring& Filter, const std::wstring& Ext);

// Unit start and stop: the popup and busy-cursor hooks.
void WinHelpersStart();
void WinHelpersStop();
