// The log view of the real program used as a user uses an editor: typed into between
// datagrams, selected with the mouse and the keys, cut, copied, pasted and undone.
#include "e2e/RunningProgram.h"
#include "support/Pump.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"
#include "toolkit/Clipbrd.h"

#include <oleacc.h>
#include <optional>

namespace {

constexpr int kPort = 6702;

std::wstring WaitForView(HWND view, const std::wstring& expected) {
  std::wstring shown;
  PumpUntil([&] { return (shown = WindowText(view)) == expected; }, 15000);
  return shown;
}

std::pair<DWORD, DWORD> SelectionOf(HWND view) {
  DWORD start = 0, end = 0;
  ::SendMessageW(view, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

// The middle of a character's cell on the screen.
POINT ScreenPointOf(HWND view, int pos) {
  const LRESULT p = ::SendMessageW(view, EM_POSFROMCHAR, static_cast<WPARAM>(pos), 0);
  const int next = static_cast<short>(LOWORD(::SendMessageW(view, EM_POSFROMCHAR, static_cast<WPARAM>(pos + 1), 0)));
  const int x = static_cast<short>(LOWORD(p)), y = static_cast<short>(HIWORD(p));
  POINT point{x + std::max(next - x, 2) / 2 - 1, y + 4};
  ::ClientToScreen(view, &point);
  return point;
}

void Click(POINT screen, int clicks = 1) {
  ::SetCursorPos(screen.x, screen.y);
  for (int i = 0; i < 2 * clicks; ++i) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = i % 2 == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &in, sizeof(INPUT));
  }
}

class LogView : public ::testing::Test {
protected:
  void SetUp() override {
    if (Clipboard().HasText()) savedClipboard = Clipboard().AsText();
  }
  void TearDown() override {
    if (savedClipboard) Clipboard().SetAsText(*savedClipboard);
  }

  TRunningProgram program;
  std::optional<std::wstring> savedClipboard;
};

// Typed text stays where it was typed; a datagram after it starts a line of its own.
TEST_F(LogView, TypedTextAndDatagramsEachKeepTheirLines) {
  HWND view = program.FocusedView();
  TypeText(L"Notiz: Fehler ab hier");
  PressKey(VK_RETURN);
  ASSERT_EQ(WaitForView(view, L"Notiz: Fehler ab hier\r\n"), L"Notiz: Fehler ab hier\r\n");
  SendDatagram(kPort, "eins");
  ASSERT_EQ(WaitForView(view, L"Notiz: Fehler ab hier\r\neins\r\n"), L"Notiz: Fehler ab hier\r\neins\r\n");
  TypeText(L"x");  // behind the new line, where the caret went with it
  ASSERT_EQ(WaitForView(view, L"Notiz: Fehler ab hier\r\neins\r\nx"), L"Notiz: Fehler ab hier\r\neins\r\nx");
  SendDatagram(kPort, "zwei");
  const std::wstring expected = L"Notiz: Fehler ab hier\r\neins\r\nx\r\nzwei\r\n";
  EXPECT_EQ(WaitForView(view, expected), expected);
  PressKey(VK_BACK);  // the datagram's line break and nothing else
  EXPECT_EQ(WaitForView(view, L"Notiz: Fehler ab hier\r\neins\r\nx\r\nzwei"), L"Notiz: Fehler ab hier\r\neins\r\nx\r\nzwei");
}

TEST_F(LogView, SelectedWithMouseAndKeysCutCopyPasteAndUndo) {
  HWND view = program.FocusedView();
  SendDatagram(kPort, "eins zwei drei");
  SendDatagram(kPort, "vier");
  const std::wstring lines = L"eins zwei drei\r\nvier\r\n";
  ASSERT_EQ(WaitForView(view, lines), lines);

  Click(ScreenPointOf(view, 6), 2);  // a double click on "zwei"
  ASSERT_TRUE(PumpUntil([&] { return SelectionOf(view) == std::make_pair(DWORD{5}, DWORD{9}); }));
  PressKey('C', {VK_CONTROL});
  ASSERT_TRUE(PumpUntil([&] { return Clipboard().AsText() == L"zwei"; }));

  Click(ScreenPointOf(view, 16));  // a click into "vier", then Shift+End
  ASSERT_TRUE(PumpUntil([&] { return SelectionOf(view) == std::make_pair(DWORD{16}, DWORD{16}); }));
  PressKey(VK_END, {VK_SHIFT});
  ASSERT_TRUE(PumpUntil([&] { return SelectionOf(view) == std::make_pair(DWORD{16}, DWORD{20}); }));
  PressKey('V', {VK_CONTROL});  // "vier" becomes "zwei"
  const std::wstring pasted = L"eins zwei drei\r\nzwei\r\n";
  ASSERT_EQ(WaitForView(view, pasted), pasted);

  PressKey(VK_HOME, {VK_CONTROL});
  PressKey(VK_RIGHT, {VK_CONTROL, VK_SHIFT});  // "eins "
  PressKey('X', {VK_CONTROL});
  const std::wstring cut = L"zwei drei\r\nzwei\r\n";
  ASSERT_EQ(WaitForView(view, cut), cut);
  EXPECT_TRUE(PumpUntil([&] { return Clipboard().AsText() == L"eins "; }));
  PressKey('Z', {VK_CONTROL});
  EXPECT_EQ(WaitForView(view, pasted), pasted);
  EXPECT_EQ(SelectionOf(view), std::make_pair(DWORD{0}, DWORD{5}));  // what came back is selected
  PressKey('A', {VK_CONTROL});
  PressKey(VK_DELETE);
  EXPECT_EQ(WaitForView(view, L""), L"");
  SendDatagram(kPort, "danach");  // the view goes on
  EXPECT_EQ(WaitForView(view, L"danach\r\n"), L"danach\r\n");
}

// What a screen reader reads from outside through the view's accessible object: its name and
// role, and the line at the caret as its value, following the caret.
TEST_F(LogView, ScreenReadersReadTheCaretLineFromOutside) {
  HWND view = program.FocusedView();
  SendDatagram(kPort, "erste Zeile");
  SendDatagram(kPort, "zweite Zeile");
  const std::wstring lines = L"erste Zeile\r\nzweite Zeile\r\n";
  ASSERT_EQ(WaitForView(view, lines), lines);
  ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  {
    IAccessible* object = nullptr;
    ASSERT_EQ(::AccessibleObjectFromWindow(view, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&object)),
              S_OK);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    auto value = [&] {
      BSTR text = nullptr;
      object->get_accValue(self, &text);
      std::wstring result = text ? std::wstring(text) : std::wstring();
      ::SysFreeString(text);
      return result;
    };
    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(self, &name), S_OK);
    EXPECT_EQ(std::wstring(name ? name : L""), L"Protokoll");
    ::SysFreeString(name);
    VARIANT role{};
    EXPECT_EQ(object->get_accRole(self, &role), S_OK);
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_TEXT);
    EXPECT_EQ(value(), L"");  // the caret behind the last line break
    PressKey(VK_UP);
    EXPECT_TRUE(PumpUntil([&] { return value() == L"zweite Zeile"; })) << testing::PrintToString(value());
    PressKey(VK_HOME, {VK_CONTROL});
    EXPECT_TRUE(PumpUntil([&] { return value() == L"erste Zeile"; })) << testing::PrintToString(value());
    object->Release();
  }
  ::CoUninitialize();
}

}  // namespace
