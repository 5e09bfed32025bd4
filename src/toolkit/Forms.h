#pragma once
// Top-level windows and the application object: title, main window, message loop, modal
// loops and the display of exceptions that leave event handlers.
#include "toolkit/Controls.h"

#include <exception>
#include <functional>
#include <string>

enum TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };
enum TModalResult : int { mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL };

class TForm : public TControl {
public:
  // Creates the window (hidden) with a client area of the given design size.
  TForm(int clientWidth, int clientHeight, HWND owner = nullptr);
  ~TForm() override;

  std::wstring Caption() const { return Text(); }
  void SetCaption(const std::wstring& caption) { SetText(caption); }
  void SetClientSize(int width, int height);
  int ClientWidth() const noexcept { return FClientWidth; }
  int ClientHeight() const noexcept { return FClientHeight; }

  // Lifecycle: Show runs OnShow before the window appears; Hide runs OnHide after it is gone;
  // Close asks OnCloseQuery, then hides (the main form's close ends the message loop).
  void Show();
  void Hide();
  void Close();
  bool Showing() const noexcept { return FShowing; }
  void SetVisible(bool visible) override;

  // Modal: disables the other windows of the program and runs a message loop until
  // ModalResult is set or the window is closed (closing sets mrCancel).
  int ShowModal();
  int ModalResult() const noexcept { return FModalResult; }
  void SetModalResult(int result) noexcept { FModalResult = result; }

  void SetShowHint(bool show);
  bool ShowHint() const noexcept { return FShowHint; }
  // Snaps the window to the edges of the monitor's work area while it is moved.
  void SetScreenSnap(bool snap) noexcept { FScreenSnap = snap; }
  // Where the form shows first: the system's choice, or centred.
  void CenterOnScreen();
  void CenterOnWindow(HWND other);

  // The tooltip text of a control changed.
  void UpdateHint(TControl* control);

  // Gives the keyboard focus to the control that had it when the window was last active, or
  // else to the first control that takes the Tab key.
  void RestoreFocus();

  TNotifyEvent OnCreate;  // run by DoCreate, at the end of the derived form's constructor
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  std::function<void(TObject*, bool& canClose)> OnCloseQuery;
  std::function<void(TObject*, TCloseAction& action)> OnClose;

protected:
  // Derived forms call this when their controls are built.
  void DoCreate();
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void UpdateDeviceBounds() override {}

private:
  void ApplyClientSize();
  void SnapToWorkArea(RECT& rect) const;

  int FClientWidth, FClientHeight;
  bool FShowing = false;
  bool FClosing = false;
  bool FShowHint = true;
  bool FScreenSnap = false;
  bool FInModal = false;
  int FModalResult = mrNone;
  HWND FTooltip = nullptr;
  HWND FLastFocus = nullptr;
};

class TApplication {
public:
  void Initialize();
  const std::wstring& Title() const noexcept { return FTitle; }
  // The title is also the text of the application's hidden window, where tools find it.
  void SetTitle(const std::wstring& title);
  HWND Handle() const noexcept { return FHandle; }
  // The taskbar shows the main form itself (there is no hidden application window).
  void SetMainFormOnTaskBar(bool value) noexcept { FMainFormOnTaskBar = value; }
  bool MainFormOnTaskBar() const noexcept { return FMainFormOnTaskBar; }

  TForm* MainForm() const noexcept { return FMainForm; }
  // The first form created becomes the main form unless one is set.
  void SetMainForm(TForm* form) noexcept { FMainForm = form; }

  // Runs the message loop until Terminate (closing the main form) is called.
  void Run();
  void Terminate();
  bool Terminated() const noexcept { return FTerminated; }
  // Handles every waiting message and returns.
  void ProcessMessages();
  // Handles one message, waiting for it when none is there; false after WM_QUIT.
  bool HandleMessage();

  // Shows the message of an exception that left an event handler; the program goes on.
  void HandleException(const std::exception& e);
  // Replaces the display (tests record exceptions instead of showing them).
  void SetExceptionHandler(std::function<void(const std::exception&)> handler) {
    FExceptionHandler = std::move(handler);
  }

private:
  bool ProcessMessage(MSG& msg);

  std::wstring FTitle;
  HWND FHandle = nullptr;
  TForm* FMainForm = nullptr;
  bool FMainFormOnTaskBar = true;
  bool FTerminated = false;
  std::function<void(const std::exception&)> FExceptionHandler;
};

TApplication& Application();
