#pragma once
// A form in front with one input control that has the keyboard focus, driven through the
// system's input queue as a user drives it; what the control shows is read back from it.
#include "support/Pump.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"
#include "toolkit/Clipbrd.h"
#include "toolkit/Forms.h"
#include "toolkit/ToolkitTestSupport.h"

#include <memory>
#include <ostream>
#include <string>

class TInputForm {
public:
  TInputForm() : FForm(NewForm(300, 120)) {
    // Every key reaches the form first: a marker key sent after the others tells when all of
    // them have been handled.
    FForm->SetKeyPreview(true);
    FForm->OnKeyDown = [this](TObject*, unsigned short& key, TShiftState) {
      if (key == VK_F24) {
        ++FMarkers;
        key = 0;
      }
    };
  }

  TForm& Form() { return *FForm; }

  // Shows the form in front with the focus in control.
  void Focus(TControl& control) {
    FForm->Show();
    ::SetForegroundWindow(FForm->Handle());
    control.SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == control.Handle(); }));
  }

  // Waits until every key sent before has been handled (the keys go through one queue in order).
  void Settle() {
    const int expected = FMarkers + 1;
    PressKey(VK_F24);
    ASSERT_TRUE(PumpUntil([&] { return FMarkers >= expected; }));
  }

  void Type(const std::wstring& text) {
    TypeText(text);
    Settle();
  }

  void Press(WORD key, std::initializer_list<WORD> modifiers = {}) {
    PressKey(key, modifiers);
    Settle();
  }

  // Puts text on the clipboard and pastes it with Ctrl+V.
  void Paste(const std::wstring& text) {
    SetClipboardAsText(text);
    Press('V', {VK_CONTROL});
  }

private:
  std::unique_ptr<TForm> FForm;
  int FMarkers = 0;
};

// The colours the edit control paints with: it asks its parent with WM_CTLCOLOREDIT.
struct TShownColors {
  COLORREF Background;
  COLORREF Text;
};

inline TShownColors ShownColors(HWND edit) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  const UINT msg = (::GetWindowLongPtrW(edit, GWL_STYLE) & ES_READONLY) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
  ::SendMessageW(::GetParent(edit), msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit));
  TShownColors colors{::GetBkColor(dc), ::GetTextColor(dc)};
  ::DeleteDC(dc);
  return colors;
}

inline TShownColors ValidColors() { return {::GetSysColor(COLOR_WINDOW), ::GetSysColor(COLOR_WINDOWTEXT)}; }
inline TShownColors InvalidColors() { return {RGB(255, 230, 230), RGB(200, 0, 0)}; }

inline bool operator==(const TShownColors& a, const TShownColors& b) {
  return a.Background == b.Background && a.Text == b.Text;
}

inline void PrintTo(const TShownColors& c, std::ostream* os) {
  *os << "background " << std::hex << c.Background << ", text " << c.Text << std::dec;
}
