#include "toolkit/LogMemoAccessible.h"

#include "toolkit/LogMemo.h"

#include <new>

namespace {

bool IsSelf(const VARIANT& child) noexcept { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

HRESULT Text(const std::wstring& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

TLogMemoAccessible::~TLogMemoAccessible() {
  if (FStandard) FStandard->Release();
}

void TLogMemoAccessible::Detach() noexcept { FMemo = nullptr; }

HRESULT TLogMemoAccessible::Check(const VARIANT& child) const noexcept {
  if (!FMemo) return CO_E_OBJNOTCONNECTED;
  return IsSelf(child) ? S_OK : E_INVALIDARG;
}

// ---- IUnknown, IDispatch ----

HRESULT TLogMemoAccessible::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  // (The interface ids by __uuidof: the import library of oleacc.dll gives IID_IAccessible as
  // the address of an import thunk, not of the id.)
  if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
    *object = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG TLogMemoAccessible::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&FRefs)); }

ULONG TLogMemoAccessible::Release() {
  const LONG refs = ::InterlockedDecrement(&FRefs);
  if (refs == 0) delete this;
  return static_cast<ULONG>(refs);
}

HRESULT TLogMemoAccessible::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT TLogMemoAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
HRESULT TLogMemoAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT TLogMemoAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
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
  if (!role) return E_POINTER;
  role->vt = VT_I4;
  role->lVal = ROLE_SYSTEM_TEXT;
  return S_OK;
}

HRESULT TLogMemoAccessible::get_accState(VARIANT child, VARIANT* state) {
  if (const HRESULT hr = Check(child); hr != S_OK) return hr;
  if (const HRESULT hr = FStandard->get_accState(child, state); FAILED(hr)) return hr;
  if (state->vt != VT_I4) return S_OK;
  state->lVal |= STATE_SYSTEM_SELECTABLE;
  if (FMemo->SelEnd() > FMemo->SelStart()) state->lVal |= STATE_SYSTEM_SELECTED;
  if (FMemo->ReadOnly()) state->lVal |= STATE_SYSTEM_READONLY;
  return S_OK;
}

// The view itself while text is selected in it; nothing otherwise.
HRESULT TLogMemoAccessible::get_accSelection(VARIANT* selection) {
  if (!selection) return E_POINTER;
  if (!FMemo) return CO_E_OBJNOTCONNECTED;
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
  return FMemo ? S_OK : CO_E_OBJNOTCONNECTED;
}

HRESULT TLogMemoAccessible::get_accChild(VARIANT, IDispatch** dispatch) {
  if (!dispatch) return E_POINTER;
  *dispatch = nullptr;
  return FMemo ? E_INVALIDARG : CO_E_OBJNOTCONNECTED;
}

HRESULT TLogMemoAccessible::put_accName(VARIANT, BSTR) { return DISP_E_MEMBERNOTFOUND; }
HRESULT TLogMemoAccessible::put_accValue(VARIANT, BSTR) { return DISP_E_MEMBERNOTFOUND; }

// ---- the rest as the system says it of the window ----

HRESULT TLogMemoAccessible::get_accParent(IDispatch** parent) {
  return FMemo ? FStandard->get_accParent(parent) : CO_E_OBJNOTCONNECTED;
}
HRESULT TLogMemoAccessible::get_accDescription(VARIANT child, BSTR* description) {
  return FMemo ? FStandard->get_accDescription(child, description) : CO_E_OBJNOTCONNECTED;
}
HRESULT TLogMemoAccessible::get_accHelp(VARIANT child, BSTR* help) {
  return FMemo ? FStandard->get_accHelp(child, help) : CO_E_OBJNOTCONNECTED;
}
HRESULT TLogMemoAccessible::get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) {
  return FMemo ? FStandard->get_accHelpTopic(file, child, topic) : CO_E_OBJNOTCONNECTED;
}
HRESULT TLogMemoAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
  return FMemo ? FStandard->get_accKeyboardShortcut(child, shortcut) : CO_E_OBJNOTCONNECTED;
}
HRESULT TLogMemoAccessible::get_accFocus(VARIANT* focus) {
  return FMemo ? FStandard->get_accFocus(focus) : CO_E_OBJNOTCONNECTED;
}
HRESULT TLogMemoAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
  return FMemo ? FStandard->get_accDefaultAction(child, action) : CO_E_OBJNOTCONNECTED;
}
HRESULT TLogMemoAccessible::accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) {
  return FMemo ? FStandard->accLocation(left, top, width, height, child) : CO_E_OBJNOTCONNECTED;
}
HRESULT TLogMemoAccessible::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
  return FMemo ? FStandard->accNavigate(direction, start, end) : CO_E_OBJNOTCONNECTED;
}
HRESULT TLogMemoAccessible::accHitTest(LONG x, LONG y, VARIANT* child) {
  return FMemo ? FStandard->accHitTest(x, y, child) : CO_E_OBJNOTCONNECTED;
}
HRESULT TLogMemoAccessible::accDoDefaultAction(VARIANT child) {
  return FMemo ? FStandard->accDoDefaultAction(child) : CO_E_OBJNOTCONNECTED;
}
