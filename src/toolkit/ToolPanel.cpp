#include "toolkit/ToolPanel.h"

#include "toolkit/Accessible.h"

#include <algorithm>
#include <system_error>
#include <windowsx.h>

namespace {

constexpr int kGlyphSize = 16;  // design pixels
// Posted to the panel by a screen reader's "Drücken": the button is clicked after the call
// returns, so that a dialog the click opens does not hold the tool's call.
constexpr UINT kClickButtonMessage = WM_USER + 0x100;

}  // namespace

// ---- what screen readers see ----

class TToolPanelAccessible final : public TStandardAccessible {
public:
  TToolPanelAccessible(TToolPanel& panel, IAccessible* standard) noexcept : TStandardAccessible(standard), FPanel(&panel) {}

  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    if (!count) return E_POINTER;
    if (!Attached()) return CO_E_OBJNOTCONNECTED;
    *count = static_cast<LONG>(FPanel->FButtons.size());
    return S_OK;
  }

  // The buttons are simple elements of the panel's object, with no object of their own.
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override {
    if (!dispatch) return E_POINTER;
    *dispatch = nullptr;
    if (!Attached()) return CO_E_OBJNOTCONNECTED;
    return ButtonOf(child) ? S_FALSE : E_INVALIDARG;
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (const TToolButton* button = ButtonOf(child)) return Text(button->AccessibleName(), name);
    return IsSelf(child) ? TStandardAccessible::get_accName(child, name) : E_INVALIDARG;
  }

  // A button with a caption is described by its hint ("6702": "Port-Nummer festlegen").
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    if (const TToolButton* button = ButtonOf(child))
      return Text(button->Caption().empty() ? std::wstring() : button->Hint(), description);
    return IsSelf(child) ? TStandardAccessible::get_accDescription(child, description) : E_INVALIDARG;
  }

  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!Attached()) return CO_E_OBJNOTCONNECTED;
    if (IsSelf(child)) return Number(ROLE_SYSTEM_TOOLBAR, role);
    if (ButtonOf(child)) return Number(ROLE_SYSTEM_PUSHBUTTON, role);
    return E_INVALIDARG;
  }

  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    const TToolButton* button = ButtonOf(child);
    if (!button) return IsSelf(child) ? TStandardAccessible::get_accState(child, state) : E_INVALIDARG;
    LONG bits = 0;
    if (button->Down()) bits |= STATE_SYSTEM_PRESSED | STATE_SYSTEM_CHECKED;
    if (button == FPanel->FHot) bits |= STATE_SYSTEM_HOTTRACKED;
    if (!FPanel->Enabled()) bits |= STATE_SYSTEM_UNAVAILABLE;
    return Number(bits, state);
  }

  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (ButtonOf(child)) return Text(L"Drücken", action);
    return IsSelf(child) ? TStandardAccessible::get_accDefaultAction(child, action) : E_INVALIDARG;
  }

  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    const TToolButton* button = ButtonOf(child);
    if (!button) return IsSelf(child) ? TStandardAccessible::accDoDefaultAction(child) : E_INVALIDARG;
    if (!FPanel->Enabled()) return E_FAIL;
    ::PostMessageW(FPanel->Handle(), kClickButtonMessage, static_cast<WPARAM>(child.lVal - 1), 0);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
    const TToolButton* button = ButtonOf(child);
    if (!button) return IsSelf(child) ? TStandardAccessible::accLocation(left, top, width, height, child) : E_INVALIDARG;
    if (!left || !top || !width || !height) return E_POINTER;
    RECT r = FPanel->ButtonRect(*button);
    ::MapWindowPoints(FPanel->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    if (!child) return E_POINTER;
    if (!Attached()) return CO_E_OBJNOTCONNECTED;
    POINT point{x, y};
    RECT client;
    ::GetClientRect(FPanel->Handle(), &client);
    ::ScreenToClient(FPanel->Handle(), &point);
    if (!::PtInRect(&client, point)) return TStandardAccessible::accHitTest(x, y, child);
    const TToolButton* button = FPanel->ButtonAt(point);
    return Number(button ? FPanel->ChildId(*button) : CHILDID_SELF, child);
  }

  // Among the buttons in their order; out of the panel as the system goes between windows.
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    if (!Attached()) return CO_E_OBJNOTCONNECTED;
    const LONG count = static_cast<LONG>(FPanel->FButtons.size());
    LONG to = 0;
    if (IsSelf(start)) {
      if (direction == NAVDIR_FIRSTCHILD) to = 1;
      else if (direction == NAVDIR_LASTCHILD) to = count;
      else return TStandardAccessible::accNavigate(direction, start, end);
    } else if (ButtonOf(start)) {
      if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) to = start.lVal + 1;
      else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) to = start.lVal - 1;
    } else {
      return E_INVALIDARG;
    }
    ::VariantInit(end);
    if (to < 1 || to > count) return S_FALSE;
    return Number(to, end);
  }

private:
  // The button a child id names, or null (the panel itself, an unknown id, a cut-off object).
  const TToolButton* ButtonOf(const VARIANT& child) const noexcept {
    if (!Attached() || child.vt != VT_I4 || child.lVal < 1 || child.lVal > static_cast<LONG>(FPanel->FButtons.size()))
      return nullptr;
    return FPanel->FButtons[static_cast<size_t>(child.lVal - 1)];
  }

  TToolPanel* FPanel;
};

// ---- TToolButton ----

TToolButton::TToolButton(TComponent* owner) : TComponent(owner) {}

TToolButton::~TToolButton() { SetPanel(nullptr); }

void TToolButton::SetPanel(TToolPanel* panel) {
  if (panel == FPanel) return;
  if (FPanel) FPanel->RemoveButton(*this);
  FPanel = panel;
  if (FPanel) FPanel->AddButton(*this);
}

void TToolButton::SetBounds(int left, int top, int width, int height) {
  if (FPanel) FPanel->InvalidateButton(this);  // where it was
  FBounds = {left, top, width, height};
  FCaptionFont.reset();
  if (FPanel) {
    FPanel->UpdateHint(*this);
    FPanel->ButtonChanged(*this, EVENT_OBJECT_LOCATIONCHANGE);
  }
}

void TToolButton::SetGlyph(int iconResourceId) {
  FGlyphId = iconResourceId;
  FGlyph.Clear();
  if (FPanel) FPanel->ButtonChanged(*this, EVENT_OBJECT_NAMECHANGE);
}

void TToolButton::SetCaption(const std::wstring& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  FCaptionFont.reset();
  if (FPanel) FPanel->ButtonChanged(*this, EVENT_OBJECT_NAMECHANGE);
}

void TToolButton::SetHint(const std::wstring& hint) {
  if (hint == FHint) return;
  FHint = hint;
  if (!FPanel) return;
  FPanel->UpdateHint(*this);
  FPanel->ButtonChanged(*this, FCaption.empty() ? EVENT_OBJECT_NAMECHANGE : EVENT_OBJECT_DESCRIPTIONCHANGE);
}

TFontDesc TToolButton::Font() const {
  if (FFont) return *FFont;
  return FPanel ? FPanel->Font() : TFontDesc{};
}

void TToolButton::SetFont(const TFontDesc& font) {
  FFont = font;
  FFontHandle.reset();
  FCaptionFont.reset();
  if (FPanel) FPanel->InvalidateButton(this);
}

bool TToolButton::GetFontProperty(std::wstring_view name, TFontDesc& font) const {
  if (name != L"Font") return false;
  font = Font();
  return true;
}

bool TToolButton::SetFontProperty(std::wstring_view name, const TFontDesc& font) {
  if (name != L"Font") return false;
  SetFont(font);
  return true;
}

void TToolButton::SetDown(bool down) {
  if (FDown == down) return;
  FDown = down;
  if (!FPanel) return;
  if (down && FGroupIndex != 0) {
    for (TToolButton* other : FPanel->FButtons)
      if (other != this && other->FGroupIndex == FGroupIndex) other->SetDown(false);
  }
  FPanel->ButtonChanged(*this, EVENT_OBJECT_STATECHANGE);
}

void TToolButton::Click() {
  SetDown(DownAfterClick(FDown, FGroupIndex, FAllowAllUp));
  if (OnClick) OnClick(this);
}

HFONT TToolButton::CaptionFont(HDC dc) {
  HFONT own = FPanel->FontHandle();
  if (FFont) {
    if (!FFontHandle) FFontHandle = SharedFont(*FFont, FPanel->Dpi());
    own = FFontHandle->Get();
  }
  if (FCaption.empty()) return own;
  if (!FCaptionFont) FCaptionFont = FitCaptionFont(dc, own, FCaption, FPanel->Scale(FBounds.Width));
  return *FCaptionFont ? FCaptionFont->Get() : own;
}

const TIconImage& TToolButton::GlyphImage() {
  if (FGlyphId && FGlyph.Empty()) FGlyph.LoadResource(FGlyphId, kGlyphSize, FPanel->Dpi());
  return FGlyph;
}

void TToolButton::DropDeviceResources() {
  FGlyph.Clear();
  FFontHandle.reset();
  FCaptionFont.reset();
}

// ---- TToolPanel ----

TToolPanel::TToolPanel(TComponent* owner) : TPanel(owner) {}

TToolPanel::~TToolPanel() {
  ::ReleaseAccessible(FAccessible);
  for (TToolButton* button : FButtons) button->FPanel = nullptr;
}

void TToolPanel::CreateParams(TCreateParams& params) {
  TPanel::CreateParams(params);
  params.ClassName = L"TavrinoToolPanel";
}

void TToolPanel::CreateWnd() {
  TPanel::CreateWnd();
  for (TToolButton* button : FButtons) {
    button->DropDeviceResources();
    UpdateHint(*button);
  }
  LoadPicturesAhead();
}

void TToolPanel::LoadPicturesAhead() {
  std::vector<int> ids;
  for (const TToolButton* button : FButtons)
    if (button->Glyph()) ids.push_back(button->Glyph());
  if (ids.empty()) return;
  FPicturesDpi = Dpi();
  try {
    FPictures = std::async(std::launch::async, [ids, dpi = FPicturesDpi] {
      std::vector<std::pair<int, TIconImage>> pictures(ids.size());
      for (std::size_t i = 0; i < ids.size(); ++i) {
        pictures[i].first = ids[i];
        pictures[i].second.LoadResource(ids[i], kGlyphSize, dpi);
      }
      return pictures;
    });
  } catch (const std::system_error&) {
    // No thread to spare: the paint loads them itself.
  }
}

void TToolPanel::TakePictures() {
  if (!FPictures.valid()) return;
  std::vector<std::pair<int, TIconImage>> pictures = FPictures.get();
  if (FPicturesDpi != Dpi()) return;  // made for a DPI the window no longer has
  for (TToolButton* button : FButtons) {
    if (!button->FGlyph.Empty()) continue;
    const auto loaded = std::find_if(pictures.begin(), pictures.end(), [&](const auto& p) {
      return p.first == button->Glyph() && !p.second.Empty();
    });
    if (loaded != pictures.end()) button->FGlyph = std::move(loaded->second);
  }
}

void TToolPanel::AddButton(TToolButton& button) {
  FButtons.push_back(&button);
  button.DropDeviceResources();
  InvalidateButton(&button);
  UpdateHint(button);
  if (HandleAllocated()) ::NotifyWinEvent(EVENT_OBJECT_REORDER, Handle(), OBJID_CLIENT, CHILDID_SELF);
}

void TToolPanel::RemoveButton(TToolButton& button) noexcept {
  InvalidateButton(&button);
  if (HandleAllocated()) AreaHintChanged(Handle(), reinterpret_cast<UINT_PTR>(&button), {}, {});
  if (FHot == &button) FHot = nullptr;
  if (FPressed == &button) FPressed = nullptr;
  std::erase(FButtons, &button);
  if (HandleAllocated()) ::NotifyWinEvent(EVENT_OBJECT_REORDER, Handle(), OBJID_CLIENT, CHILDID_SELF);
}

RECT TToolPanel::ButtonRect(const TToolButton& button) const {
  const TDesignRect& b = button.Bounds();
  return RECT{Scale(b.Left), Scale(b.Top), Scale(b.Right()), Scale(b.Bottom())};
}

TToolButton* TToolPanel::ButtonAt(POINT point) const {
  for (TToolButton* button : FButtons) {
    const RECT r = ButtonRect(*button);
    if (::PtInRect(&r, point)) return button;
  }
  return nullptr;
}

LONG TToolPanel::ChildId(const TToolButton& button) const noexcept {
  const auto at = std::find(FButtons.begin(), FButtons.end(), &button);
  return at == FButtons.end() ? 0 : static_cast<LONG>(at - FButtons.begin()) + 1;
}

void TToolPanel::InvalidateButton(const TToolButton* button) {
  if (!button || !HandleAllocated()) return;
  const RECT r = ButtonRect(*button);
  // The face covers the whole rectangle: no erasing first, so nothing flickers.
  ::InvalidateRect(Handle(), &r, FALSE);
}

void TToolPanel::ButtonChanged(const TToolButton& button, DWORD winEvent) {
  InvalidateButton(&button);
  if (HandleAllocated()) ::NotifyWinEvent(winEvent, Handle(), OBJID_CLIENT, ChildId(button));
}

void TToolPanel::UpdateHint(const TToolButton& button) {
  if (HandleAllocated()) AreaHintChanged(Handle(), reinterpret_cast<UINT_PTR>(&button), ButtonRect(button), button.Hint());
}

void TToolPanel::SetHot(TToolButton* button) {
  if (button == FHot) return;
  TToolButton* before = FHot;
  FHot = button;
  InvalidateButton(before);
  InvalidateButton(button);
}

void TToolPanel::ApplyDpi(int dpi) {
  TPanel::ApplyDpi(dpi);
  for (TToolButton* button : FButtons) {
    button->DropDeviceResources();
    UpdateHint(*button);
  }
  Invalidate();
}

void TToolPanel::FontChanged() {
  TPanel::FontChanged();
  for (TToolButton* button : FButtons) button->FCaptionFont.reset();
  Invalidate();
}

void TToolPanel::Paint(TCanvas& canvas) {
  TakePictures();
  HDC dc = canvas.Handle();
  RECT dirty{};
  ::GetClipBox(dc, &dirty);
  for (TToolButton* button : FButtons) {
    const RECT r = ButtonRect(*button);
    RECT common{};
    if (!::IntersectRect(&common, &r, &dirty)) continue;
    const TToolButtonLook look{button->Down(), button == FPressed && button == FHot, button == FHot, Enabled()};
    PaintToolButton(dc, r, look, button->GlyphImage(), button->Caption(), button->CaptionFont(dc));
  }
}

LRESULT TToolPanel::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (AccessibleMessage(Handle(), msg, wParam, lParam, FAccessible,
                        [this](IAccessible* standard) { return new TToolPanelAccessible(*this, standard); }, result))
    return result;
  const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (msg) {
    case WM_MOUSEMOVE:
      if (!FTrackingLeave) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, Handle(), 0};
        FTrackingLeave = ::TrackMouseEvent(&tme) != FALSE;
      }
      // While a button is held, only that one lights up (and shows pressed) under the mouse.
      if (TToolButton* over = ButtonAt(point); !FPressed || over == FPressed) SetHot(over);
      else SetHot(nullptr);
      break;
    case WM_MOUSELEAVE:
      FTrackingLeave = false;
      if (!FPressed) SetHot(nullptr);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (TToolButton* button = Enabled() ? ButtonAt(point) : nullptr) {
        FPressed = button;
        SetHot(button);
        ::SetCapture(Handle());
        InvalidateButton(button);
      }
      return 0;
    case WM_LBUTTONUP:
      if (TToolButton* pressed = FPressed) {
        FPressed = nullptr;
        ::ReleaseCapture();
        InvalidateButton(pressed);
        if (ButtonAt(point) == pressed) pressed->Click();
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (FPressed) {
        InvalidateButton(FPressed);
        FPressed = nullptr;
      }
      break;
    case kClickButtonMessage:
      if (wParam < FButtons.size() && Enabled()) FButtons[wParam]->Click();
      return 0;
    case WM_DESTROY:
      FHot = FPressed = nullptr;
      FTrackingLeave = false;
      break;
    default:
      break;
  }
  return TPanel::WndProc(msg, wParam, lParam);
}
