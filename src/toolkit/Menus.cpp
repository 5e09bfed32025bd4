#include "toolkit/Menus.h"

#include "base/Handle.h"

#include <algorithm>

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  DestroyComponents();  // the submenu's items, while the list is still here
  if (FMenu) std::erase(FMenu->FItems, this);
  if (FParentItem) std::erase(FParentItem->FItems, this);
}

TMenuItem* TMenuItem::AddItem(const std::wstring& name, const std::wstring& caption, TNotifyEvent onClick) {
  auto* item = NewComponent<TMenuItem>(this, name);
  item->SetCaption(caption);
  item->OnClick = std::move(onClick);
  item->FParentItem = this;
  FItems.push_back(item);
  return item;
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

void TPopupMenu::AppendItems(HMENU menu, const std::vector<TMenuItem*>& items, std::vector<TMenuItem*>& ids) {
  for (TMenuItem* item : items) {
    if (!item->Visible()) continue;
    if (item->Caption() == L"-") {
      ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING | MIIM_FTYPE | MIIM_STATE | MIIM_ID;
    info.fType = MFT_STRING | (item->RadioItem() ? MFT_RADIOCHECK : 0);
    info.fState = (item->Enabled() ? MFS_ENABLED : MFS_GRAYED) | (item->Checked() ? MFS_CHECKED : 0);
    info.dwTypeData = const_cast<wchar_t*>(item->Caption().c_str());
    if (!item->Items().empty()) {
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = ::CreatePopupMenu();  // destroyed with the menu it is part of
      if (info.hSubMenu) AppendItems(info.hSubMenu, item->Items(), ids);
    }
    ids.push_back(item);
    info.wID = static_cast<UINT>(ids.size());
    ::InsertMenuItemW(menu, ::GetMenuItemCount(menu), TRUE, &info);
  }
}

void TPopupMenu::Popup(int x, int y, HWND ownerWindow) {
  FLastChosen = nullptr;
  if (OnPopup) OnPopup(this);
  TMenuHandle menu(::CreatePopupMenu());
  if (!menu) return;
  // Command ids are the item's place in this list + 1 (0 means: nothing chosen).
  std::vector<TMenuItem*> ids;
  AppendItems(menu.Get(), FItems, ids);
  const HWND owner = ownerWindow ? ownerWindow : ::GetActiveWindow();
  // The owner must be in front, or the menu does not go away when the user clicks elsewhere.
  if (owner) ::SetForegroundWindow(owner);
  const UINT chosen = static_cast<UINT>(::TrackPopupMenuEx(
      menu.Get(),
      TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_TOPALIGN |
          (FAlignment == paRight ? TPM_RIGHTALIGN : FAlignment == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN),
      x, y, owner, nullptr));
  if (owner) ::PostMessageW(owner, WM_NULL, 0, 0);
  if (chosen == 0 || chosen > ids.size()) return;
  TMenuItem* item = ids[chosen - 1];
  FLastChosen = item;
  item->Click();
}
