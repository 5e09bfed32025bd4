#pragma once
// Top-level windows, the screen and the application object: title, main window, open forms,
// message loop, modal loops with the standard dialog keys, and the display of exceptions that
// leave event handlers.
#include "toolkit/Controls.h"
#include "toolkit/Screen.h"

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

enum TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };
// Results of modal forms: the Windows dialog results.
enum TModalResult : int {
  mrNone = 0,
  mrOk = IDOK,
  mrCancel = IDCANCEL,
  mrAbort = IDABORT,
  mrRetry = IDRETRY,
  mrIgnore = IDIGNORE,
  mrYes = IDYES,
  mrNo = IDNO
};
enum TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : std::uint8_t { biSystemMenu, biMinimize, biMaximize };
using TBorderIcons = TSet<TBorderIcon, 3>;
enum TFormStyle : std::uint8_t { fsNormal, fsStayOnTop };
enum TWindowState : std::uint8_t { wsNormal, wsMinimized, wsMaximized };
// Where a form shows first.
enum TPosition : std::uint8_t { poDesigned, poDefault, poScreenCenter, poOwnerFormCenter, poMainFormCenter };

class TForm : public TControl {
public:
  // owner owns the form (it may be null); a form owned by a control of another form is owned
  // by that form's window as well, so it stays in front of it.
  explicit TForm(TComponent* owner);
  ~TForm() override;

  void SetClientSize(int width, int height);
  void SetClientWidth(int width) { SetClientSize(width, ClientHeight()); }
  void SetClientHeight(int height) { SetClientSize(ClientWidth(), height); }
  int ClientWidth() const override;
  int ClientHeight() const override;
  // The smallest client area the window's contents need, in design pixels (0: no limit of its
  // own). Neither the user nor a restored placement makes the window smaller.
  void SetMinClientSize(int width, int height) noexcept;
  // The outer size, in device pixels, that holds that client area with the frame as it is now.
  SIZE MinWindowSize() const;
  // Outer position in screen pixels (the window rectangle).
  RECT WindowRect() const;
  void SetWindowPosition(int left, int top);
  void SetWindowBounds(const RECT& bounds);
  // Normal, minimised or maximised; set before the first show, it applies when the form shows.
  TWindowState WindowState() const;
  void SetWindowState(TWindowState state);

  // ---- window kind, decided before the window exists and kept up to date after ----
  TFormBorderStyle BorderStyle() const noexcept { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const noexcept { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons icons);
  // The close box is there (and Alt+F4 closes).
  bool HasCloseBox() const noexcept;
  TFormStyle FormStyle() const noexcept { return FFormStyle; }
  void SetFormStyle(TFormStyle style);
  TPosition Position() const noexcept { return FPosition; }
  void SetPosition(TPosition position) noexcept { FPosition = position; }
  // A popup that never takes the activation (and has no taskbar button).
  bool NoActivate() const noexcept { return FNoActivate; }
  void SetNoActivate(bool value) noexcept { FNoActivate = value; }
  // The window this one belongs to (stays in front of it); by default the owner's form.
  void SetPopupParent(HWND wnd) noexcept { FPopupParent = wnd; }
  HWND PopupParent() const;

  // ---- keys ----
  // The form sees keys before its controls (OnKeyDown, OnKeyPress; a key set to 0 is used up).
  bool KeyPreview() const noexcept { return FKeyPreview; }
  void SetKeyPreview(bool value) noexcept { FKeyPreview = value; }
  // Tab, Enter, Esc and access keys work as in a dialog box (on by default).
  bool DialogKeys() const noexcept { return FDialogKeys; }
  void SetDialogKeys(bool value) noexcept { FDialogKeys = value; }
  // The control that gets the focus when the form shows.
  TControl* ActiveControl() const noexcept { return FActiveControl; }
  void SetActiveControl(TControl* control);
  // The buttons that Enter and Esc press (buttons register themselves).
  void SetDefaultControl(TControl* button) noexcept { FDefaultControl = button; }
  TControl* DefaultControl() const noexcept { return FDefaultControl; }
  void SetCancelControl(TControl* button) noexcept { FCancelControl = button; }
  TControl* CancelControl() const noexcept { return FCancelControl; }

  // ---- lifecycle ----
  // Show runs OnShow before the window appears; Hide runs OnHide after it is gone; Close asks
  // OnCloseQuery, then hides (the main form's close ends the message loop).
  void Show();
  void Hide();
  void Close();
  bool IsShowing() const noexcept { return FShowing; }
  void SetVisible(bool visible) override;
  // Asks OnCloseQuery whether the form may close now.
  bool CloseQuery();

  // Modal: disables the other windows of the program and runs a message loop until
  // ModalResult is set (and the form agrees to close) or the window is closed.
  int ShowModal();
  bool InModal() const noexcept { return FInModal; }
  int ModalResult() const noexcept { return FModalResult; }
  void SetModalResult(int result) noexcept { FModalResult = result; }

  void SetShowHint(bool show);
  bool ShowHint() const noexcept { return FShowHint; }
  // Snaps the window to the edges of the monitor's work area while it is moved.
  void SetScreenSnap(bool snap) noexcept { FScreenSnap = snap; }
  void CenterOnScreen();
  void CenterOnWindow(HWND other);
  void BringToFront();

  // The hints of the form's windows. The tooltip that shows them is made when the mouse first
  // comes over a window with a hint: a window shows without it, and sooner.
  void HintChanged(TControl* control) override;
  void AreaHintChanged(HWND wnd, UINT_PTR id, const RECT& area, const std::wstring& hint) override;
  void RelayToHints(const MSG& message) override;
  // Gives the keyboard focus to the control that had it when the window was last active, or
  // else to the active control, or to the first control that takes the Tab key.
  void RestoreFocus() override;
  // Gives the default button's border to the push button that has the focus, or else to the
  // default button, and takes it from every other push button.
  void UpdateDefaultButton();

  TNotifyEvent OnCreate;  // run by DoCreate, at the end of the derived form's constructor
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  std::function<void(TObject*, bool& canClose)> OnCloseQuery;
  std::function<void(TObject*, TCloseAction& action)> OnClose;
  std::function<void(TObject*, TCanvas& canvas)> OnPaint;

protected:
  // Derived forms call this when their controls are built.
  void DoCreate();
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void Paint(TCanvas& canvas) override;
  void UpdateDeviceBounds() override {}
  void ReadDeviceBounds() override;

private:
  DWORD WindowStyle() const;
  DWORD WindowExStyle() const;
  void ApplyWindowStyle();
  void ApplyClientSize();
  // Title, borders and menu: the window's outer size less its client area (device pixels).
  SIZE FrameSize() const;
  void ApplyPosition();
  void SnapToWorkArea(RECT& rect) const;
  void CloseModalWithResult();
  TControl* FindControlById(int id) const;
  TControl* FocusedButton() const;

  int FClientWidth = 0, FClientHeight = 0;  // design pixels, as last set
  int FMinClientWidth = 0, FMinClientHeight = 0;  // design pixels
  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TFormStyle FFormStyle = fsNormal;
  TPosition FPosition = poDefault;
  bool FNoActivate = false;
  bool FKeyPreview = false;
  bool FDialogKeys = true;
  bool FShowing = false;
  bool FShownOnce = false;
  bool FClosing = false;
  bool FShowHint = true;
  bool FScreenSnap = false;
  bool FInModal = false;
  TWindowState FWindowState = wsNormal;
  int FModalResult = mrNone;
  HWND FPopupParent = nullptr;
  // A hint of the form: over a whole window (Area unset) or an area of it.
  struct THint {
    HWND Wnd;
    UINT_PTR Id;  // the window itself for a whole window
    std::optional<RECT> Area;
    std::wstring Text;
  };
  std::vector<THint> FHints;
  TWindowHandle FTooltip;  // made on first use
  // Keeps a hint (an empty one removes it), and the tooltip's tool with it once there is one.
  void KeepHint(THint hint);
  // Adds the tool of a hint to the tooltip, or deletes it.
  void SendTool(const THint& hint, bool add);
  HWND FLastFocus = nullptr;
  TControl* FActiveControl = nullptr;
  TControl* FDefaultControl = nullptr;
  TControl* FCancelControl = nullptr;
};


class TApplication {
public:
  TApplication();
  void Initialize();
  const std::wstring& Title() const noexcept { return FTitle; }
  // The title is also the text of the application's hidden window, where tools find it.
  void SetTitle(const std::wstring& title);
  HWND Handle() const noexcept { return FHandle; }
  // The taskbar shows the main form itself (there is no hidden application window).
  void SetMainFormOnTaskBar(bool value) noexcept { FMainFormOnTaskBar = value; }
  bool MainFormOnTaskBar() const noexcept { return FMainFormOnTaskBar; }

  TForm* MainForm() const noexcept { return FMainForm; }
  // The program's main window, named by the program's entry routine: closing it ends the
  // message loop, and dialogs without an owner belong to it.
  void SetMainForm(TForm* form) noexcept { FMainForm = form; }
  // The forms that exist, in order of creation.
  const std::vector<TForm*>& Forms() const noexcept { return FForms; }

  // Runs the message loop until Terminate (closing the main form) is called.
  void Run();
  void Terminate();
  bool Terminated() const noexcept { return FTerminated; }
  // Handles every waiting message and returns.
  void ProcessMessages();
  // Handles one message, waiting for it when none is there; false after WM_QUIT.
  bool HandleMessage();
  // Handles a message taken from the queue as the loop does (key preview, dialog keys);
  // false for WM_QUIT.
  bool ProcessMessage(MSG& msg);

  // Shows the message of an exception that left an event handler; the program goes on.
  void HandleException(const std::exception& e);
  // Replaces the display (tests record exceptions instead of showing them).
  void SetExceptionHandler(std::function<void(const std::exception&)> handler) {
    FExceptionHandler = std::move(handler);
  }

private:
  friend class TForm;
  void AddForm(TForm* form);
  void RemoveForm(TForm* form) noexcept;
  bool PreviewKey(MSG& msg);

  std::wstring FTitle;
  HWND FHandle = nullptr;
  TForm* FMainForm = nullptr;
  std::vector<TForm*> FForms;
  bool FMainFormOnTaskBar = true;
  bool FTerminated = false;
  std::function<void(const std::exception&)> FExceptionHandler;
};

TApplication& Application();
// The form a control sits in, or null.
TForm* GetParentForm(const TControl* control) noexcept;
