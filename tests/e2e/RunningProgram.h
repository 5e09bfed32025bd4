#pragma once
// The real Tavrino.exe, started as a user would, and read from outside through its windows.
#include "base/Handle.h"
#include "support/ToolButtonSeen.h"
#include "support/UserInput.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

// Clicks the middle of a tool button with the left mouse button.
void ClickWithMouse(const TToolButtonSeen& button);

class TRunningProgram {
public:
  // Starts Tavrino.exe from the build folder with the given command-line arguments.
  explicit TRunningProgram(const std::wstring& arguments = L"");
  ~TRunningProgram();  // ends the program if it still runs
  TRunningProgram(const TRunningProgram&) = delete;
  TRunningProgram& operator=(const TRunningProgram&) = delete;

  DWORD ProcessId() const noexcept { return FInfo.dwProcessId; }
  // Waits (generous limit) for a visible top-level window of the program of the class.
  HWND WaitForWindow(const std::wstring& className, unsigned limitMsec = 20000) const;
  HWND MainWindow() const { return WaitForWindow(L"TavrinoForm"); }
  // The view: the main window's log view control.
  HWND LogView() const;
  // The view, with the program in front and the keyboard in the view.
  HWND FocusedView() const;
  // The tool buttons, top to bottom.
  std::vector<TToolButtonSeen> ToolButtons() const;
  // A tool button by its name (caption, or hint for picture buttons); empty when none has it.
  TToolButtonSeen Button(const std::wstring& name) const;
  // The port button: the tool button whose caption is a number.
  TToolButtonSeen PortButton() const;
  // The hidden application window that carries the title.
  HWND ApplicationWindow() const;
  // True when the program ended within the limit.
  bool WaitForExit(unsigned limitMsec = 20000) const;
  DWORD ExitCode() const;

  std::vector<HWND> TopLevelWindows(const std::wstring& className, bool visibleOnly) const;

private:
  PROCESS_INFORMATION FInfo{};
  THandleOwner FProcess, FThread;
};

// Window text read from outside (WM_GETTEXT).
std::wstring WindowText(HWND wnd);
// Children of a window of a class, in Z order.
std::vector<HWND> ChildWindows(HWND parent, const std::wstring& className);
// Sends a UDP datagram to 127.0.0.1:port from this process.
void SendDatagram(int port, const std::string& bytes);

// A UDP socket of its own on 127.0.0.1 (its port is the sender the program sees) that sends
// datagrams to the program's port.
class TDatagramSender {
public:
  explicit TDatagramSender(int port = 6702);
  int Port() const noexcept { return FPort; }
  // Raises std::runtime_error when the datagram does not go out whole.
  void Send(const std::string& bytes) const;

private:
  TSocketHandle FSocket;
  sockaddr_in FTo{};
  int FPort = 0;
};

// ---- what the user sees, read from outside ----

// A message sent to a window of the program and its answer (0 when it does not answer in 10 s).
LRESULT Ask(HWND wnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
LRESULT LineCount(HWND view);
// A line of the view (its first 255 characters).
std::wstring LineOf(HWND view, LRESULT line);
// A number in German format ("1.234"), or -1 when the text is not one.
long long GermanNumber(const std::wstring& number);
// The program's settings in the registry (below HKEY_CURRENT_USER): a number ("Font Size"; 0xFFFF
// when missing) and a text ("(none)" when missing).
inline constexpr wchar_t kSettingsKey[] = L"Software\\Zevrik\\Tavrino\\Settings";
DWORD StoredSettingNumber(const wchar_t* name);
std::wstring StoredSettingText(const wchar_t* name);
void StoreSettingNumber(const wchar_t* name, DWORD value);
// Opens the view's context menu with the mouse and gives the keys of an item, and of its
// submenu's item (Wine gives no other process the menu's items: they are chosen by access key,
// as a user does); returns when the menu is gone.
void ChooseInViewMenu(HWND main, HWND view, std::initializer_list<WORD> keys);
// The main window's status line, when it shows.
HWND StatusLine(HWND main);
// The field of the status line that begins with head ("Wartend: 0 Bytes"), when it shows: its
// window text is the fields joined by tabs.
std::optional<std::wstring> StatusField(HWND main, const std::wstring& head);
// The count of a status field ("Empfangen: 1.234"), or -1 when it does not show.
long long StatusCount(HWND main, const std::wstring& head);

// ---- what a test changes around the program, put back when it goes ----

// A registry value as it was when the object was made (or its absence), written back at the end.
class TRegistryValueBackup {
public:
  TRegistryValueBackup(HKEY root, const std::wstring& path, const std::wstring& name);
  ~TRegistryValueBackup();
  TRegistryValueBackup(const TRegistryValueBackup&) = delete;
  TRegistryValueBackup& operator=(const TRegistryValueBackup&) = delete;

private:
  HKEY FRoot;
  std::wstring FPath, FName;
  bool FExisted = false;
  DWORD FType = 0;
  std::vector<BYTE> FData;
};

// A setting of the program as it was, written back at the end; meanwhile missing, so that the
// program starts with its default.
class TSettingAtDefault {
public:
  explicit TSettingAtDefault(const wchar_t* name);

private:
  TRegistryValueBackup FBackup;
};

// The display scale of the programs started while it lives. Wine takes the DPI from the user's
// "LogPixels" whenever a program starts (Windows wants a new sign-in for that).
class TDisplayScale {
public:
  explicit TDisplayScale(int dpi);

private:
  TRegistryValueBackup FEarlier;
};

// ---- reading the screen ----

// The pixels of a rectangle of the screen (RGB), as the user sees them.
struct TScreenPixels {
  int Width = 0, Height = 0;
  std::vector<COLORREF> Pixels;
  COLORREF At(int x, int y) const { return Pixels[static_cast<size_t>(y) * static_cast<size_t>(Width) + x]; }
};
TScreenPixels ScreenPixels(const RECT& screenRect);
// The client area of a window in screen coordinates.
RECT ScreenClientRect(HWND wnd);
