#include "toolkit/Menus.h"

#include "base/Handle.h"

#include <algorithm>

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  if (FMenu) std::erase(FMenu->FItems, this);
}

void TMenuItem::Click() {
  if (OnClick) OnClick(this);
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) {}

TPopupMenu::~TPopupMenu() {
  DestroyComponents();  // the items it owns, while the list is still here
  for (TMenuItem* item : FItems) item->FMenu = nullptr;
}

void TPopupMenu::Add(TMenuItem* item) {
  if (item->FMenu) std::erase(item->FMenu->FItems, item);
  item->FMenu = this;
  FItems.push_back(item);
}

TMenuItem* TPopupMenu::AddItem(const std::wstring& name, const std::wstring& caption, TNotifyEvent onClick) {
  auto* item = NewComponent<TMenuItem>(this, name);
  item->SetCaption(caption);
  item->OnClick = std::move(onClick);
  Add(item);
  return item;
}

void TPopupMenu::Popup(int x, int y, HWND ownerWindow) {
  FLastChosen = nullptr;
  if (OnPopup) OnPopup(this);
  TMenuHandle menu(::CreatePopupMenu());
  if (!menu) return;
  // Command ids are the item's index + 1 (0 means: nothing chosen).
  UINT id = 0;
  for (TMenuItem* item : FItems) {
    ++id;
    if (!item->Visible()) continue;
    if (item->Caption() == L"-") {
      ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING | (item->Enabled() ? MF_ENABLED : MF_GRAYED) | (item->Checked() ? MF_CHECKED : 0);
    ::AppendMenuW(menu.Get(), flags, id, item->Caption().c_str());
  }
  const HWND owner = ownerWindow ? ownerWindow : ::GetActiveWindow();
  // The owner must be in front, or the menu does not go away when the user clicks elsewhere.
  if (owner) ::SetForegroundWindow(owner);
  const UINT chosen = static_cast<UINT>(::TrackPopupMenuEx(
      menu.Get(),
      TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_TOPALIGN |
          (FAlignment == paRight ? TPM_RIGHTALIGN : FAlignment == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN),
      x, y, owner, nullptr));
  if (owner) ::PostMessageW(owner, WM_NULL, 0, 0);
  if (chosen == 0 || chosen > FItems.size()) return;
  TMenuItem* item = FItems[chosen - 1];
  FLastChosen = item;
  item->Click();
}
