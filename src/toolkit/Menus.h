#pragma once
// Context menus: a popup menu of items with captions, hints and click events. The menu is
// built when it pops up and runs the chosen item's OnClick before Popup returns.
#include "base/Win.h"
#include "toolkit/Classes.h"

#include <string>
#include <vector>

class TPopupMenu;

class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  TPopupMenu* Menu() const noexcept { return FMenu; }

  // "&" marks the access key; "-" makes a separator.
  const std::wstring& Caption() const noexcept { return FCaption; }
  void SetCaption(const std::wstring& caption) { FCaption = caption; }
  const std::wstring& Hint() const noexcept { return FHint; }
  void SetHint(const std::wstring& hint) { FHint = hint; }
  bool Enabled() const noexcept { return FEnabled; }
  void SetEnabled(bool enabled) noexcept { FEnabled = enabled; }
  bool Visible() const noexcept { return FVisible; }
  void SetVisible(bool visible) noexcept { FVisible = visible; }
  bool Checked() const noexcept { return FChecked; }
  void SetChecked(bool checked) noexcept { FChecked = checked; }
  // Checked shows as a dot instead of a tick: one choice of several.
  bool RadioItem() const noexcept { return FRadioItem; }
  void SetRadioItem(bool radio) noexcept { FRadioItem = radio; }

  // The items of its submenu, in menu order (an item with items opens a submenu, it is not run).
  const std::vector<TMenuItem*>& Items() const noexcept { return FItems; }
  // Creates an item of its submenu, owned by this item.
  TMenuItem* AddItem(const std::wstring& name, const std::wstring& caption, TNotifyEvent onClick = nullptr);

  virtual void Click();
  TNotifyEvent OnClick;

private:
  friend class TPopupMenu;
  TPopupMenu* FMenu = nullptr;
  TMenuItem* FParentItem = nullptr;
  std::vector<TMenuItem*> FItems;
  bool FRadioItem = false;
  std::wstring FCaption;
  std::wstring FHint;
  bool FEnabled = true;
  bool FVisible = true;
  bool FChecked = false;
};

// Where a popup menu opens relative to its point.
enum TPopupAlignment : std::uint8_t { paLeft, paRight, paCenter };

class TPopupMenu : public TComponent {
public:
  explicit TPopupMenu(TComponent* owner);
  ~TPopupMenu() override;

  // The items, in menu order. Items are owned by the menu's owner or by the menu itself.
  const std::vector<TMenuItem*>& Items() const noexcept { return FItems; }
  void Add(TMenuItem* item);
  // Creates an item owned by the menu and adds it.
  TMenuItem* AddItem(const std::wstring& name, const std::wstring& caption, TNotifyEvent onClick = nullptr);

  // The control the menu was last opened for.
  TComponent* PopupComponent() const noexcept { return FPopupComponent; }
  void SetPopupComponent(TComponent* component) noexcept { FPopupComponent = component; }

  // Shows the menu at a screen point (device pixels) for an owner window (the thread's active
  // window when none is given) and runs the chosen item.
  void Popup(int x, int y, HWND ownerWindow = nullptr);
  TPopupAlignment Alignment() const noexcept { return FAlignment; }
  void SetAlignment(TPopupAlignment alignment) noexcept { FAlignment = alignment; }

  TNotifyEvent OnPopup;
  // The item Popup last ran (null when the menu was dismissed); tests and hosts read it.
  TMenuItem* LastChosen() const noexcept { return FLastChosen; }

private:
  friend class TMenuItem;
  // Appends the visible items to a menu handle; an item's command id is its place in ids + 1.
  static void AppendItems(HMENU menu, const std::vector<TMenuItem*>& items, std::vector<TMenuItem*>& ids);
  std::vector<TMenuItem*> FItems;
  TComponent* FPopupComponent = nullptr;
  TMenuItem* FLastChosen = nullptr;
  TPopupAlignment FAlignment = paLeft;
};
