#include "toolkit/LogMemoAccessible.h"

#include "toolkit/LogMemo.h"

#include <new>

HRESULT TLogMemoAccessible::Check(const VARIANT& child) const noexcept {
  if (!Attached()) return CO_E_OBJNOTCONNECTED;
  return IsSelf(child) ? S_OK : E_INVALIDARG;
}

// ---- what the view says of itself ----

HRESULT TLogMemoAccessible::get_accName(VARIANT child, BSTR* name) {
  if (const HRESULT hr = Check(child); hr != S_OK) return hr;
  return Text(FMemo->AccessibleName(), name);
}

// The line the caret is in: what a reader says when the caret moves or the text changes.
HRESULT TLogMemoAccessible::get_accValue(VARIANT child, BSTR* value) {
  if (const HRESULT hr = Check(child); hr != S_OK) return hr;
  try {
    const TLogText& text = FMemo->Content();
    return Text(text.Line(text.LineOf(FMemo->Caret())), value);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT TLogMemoAccessible::get_accRole(VARIANT child, VARIANT* role) {
  if (const HRESULT hr = Check(child); hr != S_OK) return hr;
  return Number(ROLE_SYSTEM_TEXT, role);
}

HRESULT TLogMemoAccessible::get_accState(VARIANT child, VARIANT* state) {
  if (const HRESULT hr = Check(child); hr != S_OK) return hr;
  if (const HRESULT hr = Standard().get_accState(child, state); FAILED(hr)) return hr;
  if (state->vt != VT_I4) return S_OK;
  state->lVal |= STATE_SYSTEM_SELECTABLE;
  if (FMemo->SelEnd() > FMemo->SelStart()) state->lVal |= STATE_SYSTEM_SELECTED;
  if (FMemo->ReadOnly()) state->lVal |= STATE_SYSTEM_READONLY;
  return S_OK;
}

// The view itself while text is selected in it; nothing otherwise.
HRESULT TLogMemoAccessible::get_accSelection(VARIANT* selection) {
  if (!selection) return E_POINTER;
  if (!Attached()) return CO_E_OBJNOTCONNECTED;
  ::VariantInit(selection);
  if (FMemo->SelEnd() == FMemo->SelStart()) return S_FALSE;
  selection->vt = VT_I4;
  selection->lVal = CHILDID_SELF;
  return S_OK;
}

// Taking the selection selects all of the text; taking the focus puts the keyboard in the view.
HRESULT TLogMemoAccessible::accSelect(LONG flags, VARIANT child) {
  if (const HRESULT hr = Check(child); hr != S_OK) return hr;
  if (flags & SELFLAG_TAKEFOCUS) FMemo->SetFocus();
  if (flags & SELFLAG_TAKESELECTION) FMemo->SelectAll();
  if (flags & SELFLAG_REMOVESELECTION) FMemo->SetSelection(FMemo->Caret(), FMemo->Caret());
  return S_OK;
}

HRESULT TLogMemoAccessible::get_accChildCount(LONG* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return Attached() ? S_OK : CO_E_OBJNOTCONNECTED;
}

HRESULT TLogMemoAccessible::get_accChild(VARIANT, IDispatch** dispatch) {
  if (!dispatch) return E_POINTER;
  *dispatch = nullptr;
  return Attached() ? E_INVALIDARG : CO_E_OBJNOTCONNECTED;
}
