#include "toolkit/Accessible.h"

TStandardAccessible::~TStandardAccessible() {
  if (FStandard) FStandard->Release();
}

HRESULT TStandardAccessible::Text(const std::wstring& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT TStandardAccessible::Number(LONG value, VARIANT* out) {
  if (!out) return E_POINTER;
  out->vt = VT_I4;
  out->lVal = value;
  return S_OK;
}

// ---- IUnknown, IDispatch ----

HRESULT TStandardAccessible::QueryInterface(REFIID riid, void** object) {
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

ULONG TStandardAccessible::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&FRefs)); }

ULONG TStandardAccessible::Release() {
  const LONG refs = ::InterlockedDecrement(&FRefs);
  if (refs == 0) delete this;
  return static_cast<ULONG>(refs);
}

HRESULT TStandardAccessible::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT TStandardAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
HRESULT TStandardAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT TStandardAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

// ---- IAccessible, as the system says it of the window ----

HRESULT TStandardAccessible::get_accParent(IDispatch** parent) {
  return FAttached ? FStandard->get_accParent(parent) : CO_E_OBJNOTCONNECTED;
}
HRESULT TStandardAccessible::get_accChildCount(LONG* count) {
  return FAttached ? FStandard->get_accChildCount(count) : CO_E_OBJNOTCONNECTED;
}
HRESULT TStandardAccessible::get_accChild(VARIANT child, IDispatch** dispatch) {
  return FAttached ? FStandard->get_accChild(child, dispatch) : CO_E_OBJNOTCONNECTED;
}
HRESULT TStandardAccessible::get_accName(VARIANT child, BSTR* name) {
  return FAttached ? FStandard->get_accName(child, name) : CO_E_OBJNOTCONNECTED;
}
HRESULT TStandardAccessible::get_accValue(VARIANT child, BSTR* value) {
  return FAttached ? FStandard->get_accValue(child, value) : CO_E_OBJNOTCONNECTED;
}
HRESULT TStandardAccessible::get_accDescription(VARIANT child, BSTR* description) {
  return FAttached ? FStandard->get_accDescription(child, description) : CO_E_OBJNOTCONNECTED;
}
HRESULT TStandardAccessible::get_accRole(VARIANT child, VARIANT* role) {
  return FAttached ? FStandard->get_accRole(child, role) : CO_E_OBJNOTCONNECTED;
}
HRESULT TStandardAccessible::get_accState(VARIANT child, VARIANT* state) {
  return FAttached ? FStandard->get_accState(child, state) : CO_E_OBJNOTCONNECTED;
}
HRESULT TStandardAccessible::get_accHelp(VARIANT child, BSTR* help) {
  return FAttached ? FStandard->get_accHelp(child, help) : CO_E_OBJNOTCONNECTED;
}
HRESULT TStandardAccessible::get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) {
  return FAttached ? FStandard->get_accHelpTopic(file, child, topic) : CO_E_OBJNOTCONNECTED;
}
HRESULT TStandardAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
  return FAttached ? FStandard->get_accKeyboardShortcut(child, shortcut) : CO_E_OBJNOTCONNECTED;
}
HRESULT TStandardAccessible::get_accFocus(VARIANT* focus) {
  return FAttached ? FStandard->get_accFocus(focus) : CO_E_OBJNOTCONNECTED;
}
HRESULT TStandardAccessible::get_accSelection(VARIANT* selection) {
  return FAttached ? FStandard->get_accSelection(selection) : CO_E_OBJNOTCONNECTED;
}
HRESULT TStandardAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
  return FAttached ? FStandard->get_accDefaultAction(child, action) : CO_E_OBJNOTCONNECTED;
}
HRESULT TStandardAccessible::accSelect(LONG flags, VARIANT child) {
  return FAttached ? FStandard->accSelect(flags, child) : CO_E_OBJNOTCONNECTED;
}
HRESULT TStandardAccessible::accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) {
  return FAttached ? FStandard->accLocation(left, top, width, height, child) : CO_E_OBJNOTCONNECTED;
}
HRESULT TStandardAccessible::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
  return FAttached ? FStandard->accNavigate(direction, start, end) : CO_E_OBJNOTCONNECTED;
}
HRESULT TStandardAccessible::accHitTest(LONG x, LONG y, VARIANT* child) {
  return FAttached ? FStandard->accHitTest(x, y, child) : CO_E_OBJNOTCONNECTED;
}
HRESULT TStandardAccessible::accDoDefaultAction(VARIANT child) {
  return FAttached ? FStandard->accDoDefaultAction(child) : CO_E_OBJNOTCONNECTED;
}
HRESULT TStandardAccessible::put_accName(VARIANT, BSTR) { return DISP_E_MEMBERNOTFOUND; }
HRESULT TStandardAccessible::put_accValue(VARIANT, BSTR) { return DISP_E_MEMBERNOTFOUND; }

// ---- the window's side ----

bool AnswerAccessibleMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, TStandardAccessible*& object,
                             const std::function<TStandardAccessible*(IAccessible* standard)>& make,
                             LRESULT& result) {
  if (msg == WM_DESTROY) ReleaseAccessible(object);
  if (msg != WM_GETOBJECT || static_cast<LONG>(lParam) != OBJID_CLIENT) return false;
  result = 0;
  // COM starts for the thread when a tool first asks for an object (it crosses to the tool's
  // process through COM): programs used without such tools never start it.
  thread_local const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  (void)com;
  if (!object) {
    IAccessible* standard = nullptr;
    if (FAILED(::CreateStdAccessibleObject(wnd, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard))))
      return true;
    object = make(standard);
  }
  result = ::LresultFromObject(__uuidof(IAccessible), wParam, object);
  return true;
}

void ReleaseAccessible(TStandardAccessible*& object) noexcept {
  if (!object) return;
  object->Detach();
  ::CoDisconnectObject(object, 0);
  object->Release();
  object = nullptr;
}
