#pragma once
// The accessible objects of our own window classes (WM_GETOBJECT, OBJID_CLIENT). Each says what
// the system's standard object for its window says (position, parent, focus, navigation between
// windows), except where the control knows better; a derived class overrides just that.
#include "base/Win.h"

#include <functional>
#include <oleacc.h>
#include <string>

class TStandardAccessible : public IAccessible {
public:
  // Takes over the reference to the system's object for the window.
  explicit TStandardAccessible(IAccessible* standard) noexcept : FStandard(standard) {}
  TStandardAccessible(const TStandardAccessible&) = delete;
  TStandardAccessible& operator=(const TStandardAccessible&) = delete;

  // The window is going: tools that still hold the object get errors from now on.
  void Detach() noexcept { FAttached = false; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch (callers use the IAccessible methods themselves)
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;
  // IAccessible: as the standard object says
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override;
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override;
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override;
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

protected:
  virtual ~TStandardAccessible();
  bool Attached() const noexcept { return FAttached; }
  IAccessible& Standard() const noexcept { return *FStandard; }
  static bool IsSelf(const VARIANT& child) noexcept { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }
  // A text for a BSTR out-parameter: S_FALSE and null for an empty one.
  static HRESULT Text(const std::wstring& text, BSTR* out);
  static HRESULT Number(LONG value, VARIANT* out);

private:
  LONG FRefs = 1;
  bool FAttached = true;
  IAccessible* FStandard;
};

// The window's side, for its window procedure: answers WM_GETOBJECT for the client object with
// the object made by make (given the system's standard object) when a tool first asks, kept in
// object; lets the object go at WM_DESTROY. True when the message is answered (in result).
bool AnswerAccessibleMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, TStandardAccessible*& object,
                             const std::function<TStandardAccessible*(IAccessible* standard)>& make, LRESULT& result);
template <class TMake>
bool AccessibleMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, TStandardAccessible*& object, TMake make,
                       LRESULT& result) {
  // Every other message pays a comparison, not a function object.
  if (msg != WM_GETOBJECT && msg != WM_DESTROY) return false;
  return AnswerAccessibleMessage(wnd, msg, wParam, lParam, object, make, result);
}
// The window is going: the object is cut off from the tools that hold it, and released.
void ReleaseAccessible(TStandardAccessible*& object) noexcept;
