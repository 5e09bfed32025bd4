#pragma once
// The base of every control: one window of its own, created after construction from the
// creation parameters that the derived class decides; bounds kept in design pixels (96 dpi)
// and scaled to the window's DPI; children laid out by their alignment; child notifications
// reflected to the child that sent them and turned into named events.
#include "base/Handle.h"
#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"

#include <exception>
#include <optional>
#include <string>
#include <vector>

class TPopupMenu;

// What a window is made of, decided before it exists (CreateParams).
struct TCreateParams {
  std::wstring ClassName;  // a system class (EDIT, BUTTON ...) or one of ours (OwnClass)
  bool OwnClass = false;   // ours: registered with the toolkit's window procedure
  UINT ClassStyle = 0;
  HBRUSH Background = nullptr;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  HWND WndParent = nullptr;  // the parent window, or the owner of a top-level window
  int X = CW_USEDEFAULT, Y = CW_USEDEFAULT, Width = CW_USEDEFAULT, Height = CW_USEDEFAULT;  // device pixels
};

// Exceptions that leave an event handler or a window procedure go here; the application
// installs its display (TApplication::HandleException). Unset, they are dropped.
using TExceptionProc = void (*)(const std::exception& e);
void SetControlExceptionProc(TExceptionProc proc) noexcept;
// Hands an exception caught at a callback boundary to the installed display.
void HandleCallbackException(const std::exception& e) noexcept;
// Runs a callback from the system; no exception crosses back into it.
template <class F>
void GuardCallback(F&& f) noexcept {
  try {
    f();
  } catch (const std::exception& e) {
    HandleCallbackException(e);
  } catch (...) {
    HandleCallbackException(std::runtime_error("Unknown exception"));
  }
}

class TControl : public TComponent {
public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  // ---- window ----
  // The window; created on first use, together with the windows of the parents. Null for a
  // child control that has no parent yet.
  HWND Handle() const;
  bool HandleAllocated() const noexcept { return FHandle != nullptr; }
  void HandleNeeded();
  // The control object of a window of ours, or null.
  static TControl* FromHandle(HWND wnd) noexcept;

  TControl* Parent() const noexcept { return FParent; }
  void SetParent(TControl* parent);
  const std::vector<TControl*>& Children() const noexcept { return FChildren; }
  // The top-level control (a form) this control sits in; itself for a form.
  TControl* TopLevel() const noexcept;

  // ---- position and size, in design pixels; what they report is what is on screen ----
  const TDesignRect& Bounds() const noexcept { return FBounds; }
  void SetBounds(int left, int top, int width, int height);
  int Left() const noexcept { return FBounds.Left; }
  int Top() const noexcept { return FBounds.Top; }
  int Width() const noexcept { return FBounds.Width; }
  int Height() const noexcept { return FBounds.Height; }
  void SetLeft(int left) { SetBounds(left, FBounds.Top, FBounds.Width, FBounds.Height); }
  void SetTop(int top) { SetBounds(FBounds.Left, top, FBounds.Width, FBounds.Height); }
  void SetWidth(int width) { SetBounds(FBounds.Left, FBounds.Top, width, FBounds.Height); }
  void SetHeight(int height) { SetBounds(FBounds.Left, FBounds.Top, FBounds.Width, height); }
  // The client area (without border and scroll bars), in design pixels.
  virtual int ClientWidth() const;
  virtual int ClientHeight() const;

  TAlign Align() const noexcept { return FAlign; }
  void SetAlign(TAlign align);
  // Margins kept around the control when it is aligned and AlignWithMargins is on.
  const TMargins& Margins() const noexcept { return FMargins; }
  void SetMargins(const TMargins& margins);
  bool AlignWithMargins() const noexcept { return FAlignWithMargins; }
  void SetAlignWithMargins(bool value);
  // Lays the children out by their alignment (forms and panels do it on every size change).
  void Realign();

  bool Visible() const noexcept { return FVisible; }
  virtual void SetVisible(bool visible);
  // Visible, and every parent as well.
  bool Showing() const noexcept;
  bool Enabled() const noexcept { return FEnabled; }
  virtual void SetEnabled(bool enabled);

  // Window text: the caption of buttons, labels and forms; the contents of edits.
  std::wstring Text() const;
  void SetText(const std::wstring& text);
  virtual std::wstring Caption() const { return Text(); }
  virtual void SetCaption(const std::wstring& caption) { SetText(caption); }

  // The tooltip; shown when the form shows hints.
  const std::wstring& Hint() const noexcept { return FHint; }
  virtual void SetHint(const std::wstring& hint);

  // Font: the control's own, or its parent's while it has none (ParentFont).
  TFontDesc Font() const;
  void SetFont(const TFontDesc& font);
  bool ParentFont() const noexcept { return !FFont.has_value(); }
  void SetParentFont(bool value);
  HFONT FontHandle() const noexcept { return FFontHandle ? FFontHandle->Get() : nullptr; }
  // "Font" is the control's font.
  bool GetFontProperty(std::wstring_view name, TFontDesc& font) const override;
  bool SetFontProperty(std::wstring_view name, const TFontDesc& font) override;

  // Background colour: clDefault draws what the window class draws; ParentColor takes the
  // parent's colour.
  TColor Color() const;
  void SetColor(TColor color);
  bool ParentColor() const noexcept { return FParentColor; }
  void SetParentColor(bool value);

  // Tab order among the siblings (0 first); TabStop: the Tab key stops here.
  int TabOrder() const noexcept;
  void SetTabOrder(int order);
  bool TabStop() const noexcept { return FTabStop; }
  void SetTabStop(bool value);

  TPopupMenu* PopupMenu() const noexcept { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* menu) noexcept { FPopupMenu = menu; }

  bool Focused() const noexcept;
  bool CanFocus() const noexcept;
  virtual void SetFocus();
  void Invalidate();
  void Update();  // paints what is invalid now

  // The control id of the window (unique in its form), as WM_COMMAND names it.
  int ControlId() const noexcept { return FControlId; }

  int Dpi() const noexcept { return FDpi; }
  int Scale(int designPixels) const noexcept { return ScaleToDpi(designPixels, FDpi); }
  int Unscale(int devicePixels) const noexcept { return UnscaleFromDpi(devicePixels, FDpi); }
  // A canvas on the window with the control's font, for measuring and drawing.
  TWindowCanvas MeasureCanvas() const { return TWindowCanvas(FHandle, FDpi, Font()); }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TMouseWheelEvent OnMouseWheel;
  TContextPopupEvent OnContextPopup;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TNotifyEvent OnResize;

  // Simulates a click (buttons, menu-like controls); runs OnClick.
  virtual void Click();

  // The key handlers (events first; a key set to 0 is consumed). The message loop also calls
  // the form's handlers first when it previews keys.
  virtual void DoKeyDown(unsigned short& key, TShiftState shift);
  virtual void DoKeyUp(unsigned short& key, TShiftState shift);
  virtual void DoKeyPress(wchar_t& key);

  // Moves the focus back to where it belongs (forms override; others ask their parent).
  virtual void RestoreFocus();
  // A key pressed in the control's form, offered before the dialog manager sees it (Ctrl+Tab
  // in page controls); true when the control used it. By default the visible, enabled children
  // are asked in turn.
  virtual bool DialogKey(WORD key, TShiftState shift);
  // A child's hint changed (the form keeps the tooltips).
  virtual void HintChanged(TControl* control);
  // The hint of an area of a window that is no control of its own (id: the area's, unique in
  // that window; an empty hint removes it), for the form's tooltip.
  virtual void AreaHintChanged(HWND wnd, UINT_PTR id, const RECT& area, const std::wstring& hint);
  // A mouse message of a window of the form, for the tooltip that shows the hints.
  virtual void RelayToHints(const MSG& message);

  static TShiftState KeyShiftState() noexcept;

protected:
  // ---- creation ----
  virtual void CreateParams(TCreateParams& params);
  // Called when the window exists; derived classes send their initial messages here.
  virtual void CreateWnd();
  // The window is about to be destroyed (state that lives in the window can be saved).
  virtual void DestroyWnd() {}
  void DestroyHandle() noexcept;

  // ---- messages ----
  // One handler for every message; the default dispatches to the named handlers below and
  // passes the rest on to the window class.
  virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);

  // Child notifications, reflected from the parent to the child that sent them.
  virtual void CNCommand(WORD /*code*/) {}
  virtual LRESULT CNNotify(NMHDR* /*header*/) { return 0; }
  // WM_CTLCOLOR*: sets the DC's colours and returns the background brush (null: the default).
  virtual HBRUSH CNCtlColor(UINT msg, HDC dc);
  virtual bool CNDrawItem(DRAWITEMSTRUCT& /*item*/) { return false; }
  virtual bool CNMeasureItem(MEASUREITEMSTRUCT& /*item*/) { return false; }
  // WM_HSCROLL / WM_VSCROLL sent by this control (up-down controls, track bars).
  virtual void CNScroll(UINT /*msg*/, WORD /*code*/, int /*pos*/) {}

  // Paint of our own window classes; the canvas has the control's font.
  virtual void Paint(TCanvas& /*canvas*/) {}
  // WM_ERASEBKGND of our own classes: fills with the control's colour.
  virtual bool EraseBackground(HDC dc);
  virtual bool DoMouseWheel(TShiftState shift, int delta, POINT screenPoint);
  // Right click or the menu key; point in screen pixels (-1, -1 from the keyboard).
  virtual bool DoContextPopup(POINT screenPoint);
  virtual void Resize();
  virtual void FontChanged() {}
  // After SetText (labels size themselves to their text).
  virtual void TextChanged() {}
  // Destroys the window and makes it anew, in its place in the tab order (for styles that a
  // window takes only when it is made). DestroyWnd keeps what the window held.
  void RecreateWnd();

  // The part of the client area (in device pixels) that aligned children share.
  virtual RECT AlignArea() const;
  // After a DPI change: new font, new device bounds, children too.
  virtual void ApplyDpi(int dpi);
  // Puts the window where the design bounds say (device pixels).
  virtual void UpdateDeviceBounds();
  // Takes the design bounds from where the window really is.
  virtual void ReadDeviceBounds();

  // The brush of the control's colour (null while it has no colour of its own).
  HBRUSH ColorBrush();
  // A control that the Tab key may stop at and that takes the focus by itself.
  virtual bool WantsFocus() const noexcept { return FTabStop; }

  // Window class of our own windows (forms, panels, paint boxes), registered when the first
  // window of it is made.
  static void RegisterOwnClass(const TCreateParams& params);

  void SetDpiInternal(int dpi) noexcept { FDpi = dpi; }
  // The visibility flag alone, for forms that show and hide their windows themselves.
  void SetVisibleFlag(bool visible) noexcept { FVisible = visible; }
  // The design bounds alone, for controls that track their window's position themselves.
  void StoreBounds(const TDesignRect& bounds) noexcept { FBounds = bounds; }
  // The root of a new control id for the children of a top-level window.
  int NextControlId() noexcept { return ++FLastChildId; }

private:
  static LRESULT CALLBACK OwnWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR refData) noexcept;
  LRESULT SafeWndProc(UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  bool ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void CreateHandle();
  void Attach(HWND wnd);
  void Detach() noexcept;
  void ApplyFont(bool recurse);
  void ApplyTabOrder();
  void RemoveChild(TControl* child) noexcept;
  void ParentColorChanged();

  HWND FHandle = nullptr;
  TControl* FParent = nullptr;
  std::vector<TControl*> FChildren;  // in the order they joined: the order of alignment
  TDesignRect FBounds;
  TAlign FAlign = alNone;
  TMargins FMargins;
  bool FAlignWithMargins = false;
  bool FVisible = true;
  bool FEnabled = true;
  bool FTabStop = false;
  bool FParentColor = false;
  bool FSubclassed = false;
  bool FPlacing = false;  // the toolkit itself is moving the window: keep the design bounds
  bool FCreating = false;
  int FTabOrder = 0;
  int FControlId = 0;
  int FLastChildId = 0;
  int FDpi = 96;
  std::wstring FText;
  std::wstring FHint;
  std::optional<TFontDesc> FFont;
  TSharedFont FFontHandle;
  TColor FColor = clDefault;
  TBrushHandle FColorBrush;
  COLORREF FColorBrushRgb = CLR_INVALID;
  TPopupMenu* FPopupMenu = nullptr;
};

// Loads the common controls (comctl32.dll) and registers their window classes. They are loaded
// when a window of a system class (or a tooltip) is first made, not at start: a main window
// made of the toolkit's own classes shows without them.
void LoadCommonControls();
