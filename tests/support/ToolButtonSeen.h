#pragma once
// The main window's tool buttons as a screen reader finds them from another process: children of
// the tool column's accessible object. For the end-to-end tests and the benchmark probes alike
// (header only: the probes link no test library).
#include "support/AccessibleObject.h"

#include <string>
#include <vector>

// A tool button, named by its caption (or its hint, for picture buttons). Every read asks the
// program afresh.
class TToolButtonSeen {
public:
  TToolButtonSeen() = default;
  TToolButtonSeen(HWND column, LONG childId) noexcept : FColumn(column), FChildId(childId) {}
  explicit operator bool() const noexcept { return FColumn != nullptr; }
  // The tool column's window.
  HWND Column() const noexcept { return FColumn; }

  // Empty when it has none.
  std::wstring Name() const {
    const std::wstring name = TAccessibleObject(FColumn).Text(&IAccessible::get_accName, FChildId);
    return name == TAccessibleObject::kNone ? std::wstring() : name;
  }

  // Where it is on the screen (empty when the program does not say).
  RECT ScreenRect() const {
    const TAccessibleObject object(FColumn);
    LONG left = 0, top = 0, width = 0, height = 0;
    if (!object || object->accLocation(&left, &top, &width, &height, TAccessibleObject::Child(FChildId)) != S_OK)
      return {};
    return RECT{left, top, left + width, top + height};
  }

  // A two-state button that is down.
  bool Down() const {
    const LONG state = TAccessibleObject(FColumn).Number(&IAccessible::get_accState, FChildId);
    return state != -1 && (state & STATE_SYSTEM_PRESSED) != 0;
  }

  // Presses it as a screen reader does (its default action); the click follows in the program.
  bool Press() const {
    const TAccessibleObject object(FColumn);
    return object && object->accDoDefaultAction(TAccessibleObject::Child(FChildId)) == S_OK;
  }

private:
  HWND FColumn = nullptr;
  LONG FChildId = 0;
};

// The tool buttons of a main window, top to bottom.
inline std::vector<TToolButtonSeen> ToolButtonsOf(HWND main) {
  HWND column = ::FindWindowExW(main, nullptr, L"TavrinoToolPanel", nullptr);
  const TAccessibleObject object(column);
  LONG count = 0;
  if (!column || !object || object->get_accChildCount(&count) != S_OK) return {};
  std::vector<TToolButtonSeen> buttons;
  for (LONG id = 1; id <= count; ++id) buttons.emplace_back(column, id);
  return buttons;
}

// A tool button of a main window by its name; empty when none has it.
inline TToolButtonSeen ToolButtonOf(HWND main, const std::wstring& name) {
  for (const TToolButtonSeen& button : ToolButtonsOf(main))
    if (button.Name() == name) return button;
  return {};
}
