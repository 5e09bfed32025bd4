#pragma once
// The base of every control: it owns one window, keeps its bounds in design pixels (96 dpi)
// and scales them to the window's DPI, and lays out its children by their alignment.
#include "base/Handle.h"
#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class TForm;

class TControl : public TObject {
public:
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;
  ~TControl() override;

  HWND Handle() const noexcept { return FHandle; }
  TControl* Parent() const noexcept { return FParent; }
  // The top-level window this control belongs to (itself for a form).
  TForm* ParentForm() const;
  // The control object of a window of ours, or null.
  static TControl* FromHandle(HWND wnd) noexcept;

  // Position and size in design pixels.
  const TDesignRect& Bounds() const noexcept { return FBounds; }
  void SetBounds(int left, int top, int width, int height);
  int Left() const noexcept { return FBounds.Left; }
  int Top() const noexcept { return FBounds.Top; }
  int Width() const noexcept { return FBounds.Width; }
  int Height() const noexcept { return FBounds.Height; }
  void SetWidth(int width) { SetBounds(FBounds.Left, FBounds.Top, width, FBounds.Height); }
  void SetHeight(int height) { SetBounds(FBounds.Left, FBounds.Top, FBounds.Width, height); }

  TAlign Align() const noexcept { return FAlign; }
  void SetAlign(TAlign align);

  bool Visible() const noexcept { return FVisible; }
  virtual void SetVisible(bool visible);

  // Window text: the caption of buttons, labels and forms; the contents of edits.
  std::wstring Text() const;
  void SetText(const std::wstring& text);

  // The tooltip; shown when the form shows hints.
  const std::wstring& Hint() const noexcept { return FHint; }
  virtual void SetHint(const std::wstring& hint);

  // Font: the control's own, or its parent's while it has none.
  TFontSpec Font() const;
  void SetFont(const TFontSpec& font);
  HFONT FontHandle() const noexcept { return FFontHandle.Get(); }

  bool Enabled() const;
  void SetEnabled(bool enabled);
  void SetFocus();
  void Invalidate();

  int Dpi() const noexcept { return FDpi; }
  int Scale(int designPixels) const noexcept { return ScaleToDpi(designPixels, FDpi); }

  const std::vector<TControl*>& Children() const noexcept { return FChildren; }

  TNotifyEvent OnClick;

protected:
  explicit TControl(TControl* parent);

  // Creates the window: a child of the parent's window, or a top-level window for forms.
  void CreateHandle(const wchar_t* className, DWORD style, DWORD exStyle, const std::wstring& text,
                    HWND owner = nullptr);
  // Standard controls (EDIT, BUTTON ...) are subclassed so that WndProc sees their messages.
  bool IsSubclassed() const noexcept { return FSubclassed; }

  // One handler for every message; the default passes it on to the window class.
  virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);

  // A WM_COMMAND or WM_NOTIFY that the parent window received for this control.
  virtual void CommandNotification(WORD /*code*/) {}
  virtual LRESULT NotifyNotification(NMHDR* /*header*/) { return 0; }

  // Lays the children out by their alignment; forms and panels call it on every size change.
  void AlignChildren();
  // The part of the client area (in device pixels) that aligned children share.
  virtual RECT AlignArea() const;

  // After a DPI change or a font change: new font handle, new device bounds, children too.
  virtual void ApplyDpi(int dpi);
  virtual void FontChanged() {}
  virtual void UpdateDeviceBounds();

  // Window class of our own windows (forms, panels, paint boxes).
  static const wchar_t* RegisterOwnClass(const wchar_t* name, UINT classStyle, HBRUSH background);
  static LRESULT CALLBACK OwnWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

private:
  static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR refData) noexcept;
  LRESULT SafeWndProc(UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  void Attach(HWND wnd);
  void Detach() noexcept;
  void RecreateFont(bool recurse);
  void AddChild(TControl* child) { FChildren.push_back(child); }
  void RemoveChild(TControl* child);

  HWND FHandle = nullptr;
  TControl* FParent = nullptr;
  std::vector<TControl*> FChildren;
  TDesignRect FBounds;
  TAlign FAlign = alNone;
  bool FVisible = true;
  bool FSubclassed = false;
  int FDpi = 96;
  std::wstring FHint;
  std::optional<TFontSpec> FFont;
  TFontHandle FFontHandle;
};

// A container without a frame of its own; aligned children, background of the button face.
class TPanel : public TControl {
public:
  explicit TPanel(TControl* parent);
  void SetColor(COLORREF color);

protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
  TBrushHandle FBrush;
};
