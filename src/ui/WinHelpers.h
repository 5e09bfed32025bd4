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
void SaveFormPlacement(TForm* form, TSettings* settings);
// Restores what SaveFormPlacement wrote; false when nothing was stored. A size stored at another
// DPI is scaled to the window's (a text without DPI counts as stored at the window's own), and the
// window never becomes smaller than its contents need (TForm::MinWindowSize). Hostile values give
// a usable window: on a monitor, at least a minimal size.
bool RestoreFormPlacement(TForm* form, TSettings* settings);
// The text SaveFormPlacement writes for a window rectangle on a monitor: left and top relative to
// the monitor, width, height, state, monitor number (empty for the primary one), and the window's
// DPI, with which a restore at another DPI scales the size. Older readers take the first six
// fields and pass over the seventh.
std::wstring PlacementText(const RECT& window, int state, const TMonitor& monitor, int monitorNumber, int dpi);

// The monitors as the placement helpers see them; tests replace the list (one monitor under Wine).
using TMonitorsProc = std::vector<TMonitor> (*)();
void SetMonitorsProc(TMonitorsProc proc) noexcept;
std::vector<TMonitor> PlacementMonitors();
TMonitor PrimaryMonitor();

// ---- fonts, focus, layout ----
// Gives the component the main window's font; fonts of owned components that used the
// component's old face follow (face and size scaled).
void ApplyMainFormFont(TComponent* component);
// The first child (recursively) that takes the focus with the Tab key, or null.
TControl* FirstFocusableControl(TControl* parent);
// Focuses the first focusable control of a tab sheet and returns it, or null.
TControl* FocusFirstControl(TControl* sheet);
// The control itself or its nearest parent that is a top-level window.
TForm* ParentForm(TControl* control);
// Stacks the visible top-aligned controls in array order, from 0 down.
void ArrangeTopAligned(const std::vector<TControl*>& controls);
// Caret to the end and the last line scrolled into view.
void ScrollMemoToEnd(TMemo* memo);
// The width a list needs to show its widest entry whole: that text, the vertical scroll bar,
// both borders and the width of an "n" to spare, in design pixels.
int ListWidth(const TListBox* list);

// ---- menus ----
void PopupMenuAt(TPopupMenu* menu, TControl* control, int x, TPopupAlignment alignment, int y);
void PopupMenuBelow(TPopupMenu* menu, TControl* control, TPopupAlignment alignment);

// ---- settings paths ----
// "Window.Panel.Control": the names of the control's parents from the outermost, then its own.
std::wstring ControlPath(const TControl* control);
// Settings path (section CR name CR default) of an entry of a control in Settings' form section;
// empty when there is no store.
std::wstring ControlSettingsPath(TSettings* settings, const TControl* control, const std::wstring& entry,
                                 const std::wstring& fallback);

// ---- shell ----
// How the shell is asked; tests record the calls instead.
using TShellExecuteProc = void (*)(HWND parent, const std::wstring& verb, const std::wstring& target,
                                   const std::wstring& parameters);
void SetShellExecuteProc(TShellExecuteProc proc) noexcept;
// Asks the shell to perform a verb ("open", "explore") with the main window as parent.
void ShellExecuteVerb(const std::wstring& verb, const std::wstring& target, const std::wstring& parameters);
// The same with a window of the caller's as parent (null: the main window).
void ShellExecuteVerb(HWND parent, const std::wstring& verb, const std::wstring& target,
                      const std::wstring& parameters);
void ShellOpen(const std::wstring& target);
void OpenUrl(const std::wstring& url);
// Opens the folder in the explorer, or says that it is missing.
void ExploreFolder(const std::wstring& path);
// Opens a web address ("www." or "://"), a folder (with trailing "\") or a file; false otherwise.
bool OpenLink(const std::wstring& link);

// ---- the save dialog ----
// The system's save dialog: asks before overwriting, wants an existing folder. True with the
// chosen name in FileName; false (FileName unchanged) when the user cancels. FilterIndex, when
// given: the 1-based filter pair shown first if it is above 0 (else the one of the default
// extension), and on return the pair the user chose (unchanged when the user cancels).
bool SaveFileDialog(TForm* owner, const std::wstring& title, std::wstring initialDir, std::wstring defaultExt,
                    const std::wstring& filter, std::wstring& fileName, int* filterIndex = nullptr);
// 1-based index of the filter pair whose patterns hold "*.Ext"; else the last "*.*" pair; else 0.
int FilterIndexOf(const std::wstring& filter, const std::wstring& ext);

// Unit start and stop: the popup and busy-cursor hooks.
void WinHelpersStart();
void WinHelpersStop();
