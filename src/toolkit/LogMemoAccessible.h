#pragma once
// What screen readers and other assistive tools see of a log memo (WM_GETOBJECT): an editable
// text with the view's name, the line at the caret as its value, and whether text is selected
// as its selection (the text selected is read with EM_GETSEL and EM_GETLINE, as for an edit
// control). Position, parent and focus come from the system's object for the window.
#include "toolkit/Accessible.h"

class TLogMemo;

class TLogMemoAccessible final : public TStandardAccessible {
public:
  TLogMemoAccessible(TLogMemo& memo, IAccessible* standard) noexcept : TStandardAccessible(standard), FMemo(&memo) {}

  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override;
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
  HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override;

private:
  // S_OK when the object still has its view and the child is the object itself.
  HRESULT Check(const VARIANT& child) const noexcept;

  TLogMemo* FMemo;
};
