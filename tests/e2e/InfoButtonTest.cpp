// The Info button of the real program, clicked with the mouse: the About dialog with the bound
// port and the command-line help, the version with the build number of the program file, the
// information copied to the clipboard, Esc and Enter, and datagrams that keep arriving.
#include "base/Files.h"
#include "base/Strings.h"
#include "base/Win32.h"
#include "e2e/RunningProgram.h"
#include "support/Pump.h"
#include "support/TestSupport.h"
#include "toolkit/Clipbrd.h"
#include "ui/AboutFacts.h"

#include <string>
#include <vector>

namespace {

constexpr int kPort = 6702;

std::wstring TavrinoExe() {
  // The tests live in build/tests, the program in build.
  std::wstring tests = FileFolder(ProgramFileName());
  tests.pop_back();
  return FileFolder(tests) + L"Tavrino.exe";
}

// The information text for a bound port, as the dialog's fourth tab shows it.
std::wstring InformationText(int port) {
  return L"Aktueller UDP-Port: " + std::to_wstring(port) +
         L"\r\n\r\nKommandozeilen-Parameter:\r\n     Tavrino /P[ort]:<portnummer>\r\n\r\nAufruf-Beispiele:\r\n"
         L"     Tavrino /Port:6700\r\n     Tavrino /P:8600";
}

// Another process (the program, or Wine's clipboard manager taking over what it put there) may
// hold the clipboard open for a while: try again until the limit.
std::wstring ClipboardTextPatiently() {
  std::wstring text;
  PumpUntil([&] {
    try {
      text = ClipboardAsText();
      return true;
    } catch (const EClipboardException&) {
      return false;
    }
  });
  return text;
}

void ClearClipboardPatiently() {
  ASSERT_TRUE(PumpUntil([] {
    try {
      Clipboard().Clear();
      return true;
    } catch (const EClipboardException&) {
      return false;
    }
  }));
}

class InfoButton : public ::testing::Test {
protected:
  // Clicks "Info" and waits for the About dialog.
  HWND OpenAbout(TRunningProgram& program) {
    const TToolButtonSeen info = program.Button(L"Info");
    EXPECT_TRUE(info);
    if (!info) return nullptr;
    ClickWithMouse(info);
    HWND dialog = nullptr;
    PumpUntil(
        [&] {
          for (HWND wnd : program.TopLevelWindows(L"TavrinoForm", true))
            if (WindowText(wnd) == L"Info") dialog = wnd;
          return dialog != nullptr;
        },
        20000);
    return dialog;
  }

  static bool Closed(HWND dialog) {
    return PumpUntil([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }, 15000);
  }

  // The dialog's windows of a class whose text satisfies the test.
  static std::vector<HWND> Children(HWND dialog, const wchar_t* className, bool visibleOnly = false) {
    std::vector<HWND> found;
    for (HWND wnd : ChildWindows(dialog, className))
      if (!visibleOnly || ::IsWindowVisible(wnd)) found.push_back(wnd);
    return found;
  }

  static HWND ChildWithText(HWND dialog, const wchar_t* className, const std::wstring& text, bool visibleOnly) {
    for (HWND wnd : Children(dialog, className, visibleOnly))
      if (WindowText(wnd) == text) return wnd;
    return nullptr;
  }

  // The information memo of the fourth tab.
  static std::wstring InformationShown(HWND dialog) {
    for (HWND edit : Children(dialog, L"Edit"))
      if (WindowText(edit).starts_with(L"Aktueller UDP-Port: ")) return WindowText(edit);
    return {};
  }

  static void WaitForView(HWND view, const std::wstring& expected) {
    std::wstring shown;
    PumpUntil([&] { return (shown = WindowText(view)) == expected; }, 15000);
    EXPECT_EQ(shown, expected);
  }
};

TEST_F(InfoButton, OpensTheDialogWithPortVersionAndCopiesTheLayout) {
  TRunningProgram program;
  HWND view = program.LogView();
  ASSERT_NE(view, nullptr);
  HWND dialog = OpenAbout(program);
  ASSERT_NE(dialog, nullptr);

  EXPECT_EQ(InformationShown(dialog), InformationText(kPort));
  // The version with the build number of the program file's version resource.
  const std::wstring exe = TavrinoExe();
  const std::wstring fileVersion = FileVersionText(exe);
  ASSERT_TRUE(fileVersion.starts_with(L"2.0.6.")) << testing::PrintToString(fileVersion);
  const std::wstring version = L"2.0.6 Build " + std::to_wstring(FileVersionBuild(exe) & 0xFFFF);
  EXPECT_NE(ChildWithText(dialog, L"Static", version, true), nullptr) << "no visible label shows the version";
  EXPECT_NE(ChildWithText(dialog, L"Static", L"Tavrino", true), nullptr);

  // Datagrams keep arriving while the dialog is open.
  SendDatagram(kPort, "while the dialog is open");
  WaitForView(view, L"while the dialog is open\r\n");

  // "&Kopieren" (the visible one, on the first tab) puts the layout on the clipboard.
  ClearClipboardPatiently();
  HWND copy = ChildWithText(dialog, L"Button", L"&Kopieren", true);
  ASSERT_NE(copy, nullptr);
  ClickWithMouse(copy);
  std::wstring copied;
  ASSERT_TRUE(
      PumpUntil([&] { return (copied = ClipboardTextPatiently()).ends_with(L"\r\n") && copied.size() > 200; }, 15000));
  const std::wstring expectedStart = L"Tavrino\r\n"
                                     L"Version    : " + version + L"\r\n"
                                     L"Exe-Version: " + fileVersion + L"\r\n"
                                     L"Exe-Ordner : " + LongPathOf(FileFolder(exe)) + L"\r\n"
                                     L"Exe-Name   : Tavrino.exe\r\n";
  EXPECT_TRUE(copied.starts_with(expectedStart)) << testing::PrintToString(copied);
  EXPECT_NE(copied.find(L"\r\nExe-CRC32  : " + Crc32Text(FileCrc32(exe)) + L"\r\n"), std::wstring::npos)
      << testing::PrintToString(copied);
  EXPECT_NE(copied.find(L"\r\nCodepage   : " + std::to_wstring(::GetACP()) + L"\r\n\r\n" + InformationText(kPort) +
                        L"\r\n\r\nMonitor "),
            std::wstring::npos)
      << testing::PrintToString(copied);
  EXPECT_NE(copied.find(L" (Primärer Monitor)\r\n"), std::wstring::npos);
  // The last line is the time stamp YYYY-MM-DD HH:NN:SS.
  const std::wstring stamp = copied.substr(copied.rfind(L"\r\n", copied.size() - 3) + 2);
  EXPECT_EQ(stamp.size(), 21u) << testing::PrintToString(stamp);
  EXPECT_EQ(stamp.substr(4, 1) + stamp.substr(7, 1) + stamp.substr(13, 1) + stamp.substr(16, 1), L"--::");

  // Enter closes it, although the focus is on the copy button (which does not copy again).
  ClearClipboardPatiently();
  PumpFor(300);  // the confirmation tick is gone
  ::SetForegroundWindow(dialog);
  PressKey(VK_RETURN);
  EXPECT_TRUE(Closed(dialog));
  PumpFor(300);
  EXPECT_EQ(ClipboardTextPatiently(), L"");

  // Esc closes it as well.
  dialog = OpenAbout(program);
  ASSERT_NE(dialog, nullptr);
  ::SetForegroundWindow(dialog);
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(Closed(dialog));

  // The program goes on receiving.
  SendDatagram(kPort, "after the dialog");
  WaitForView(view, L"while the dialog is open\r\nafter the dialog\r\n");
}

TEST_F(InfoButton, FocusStartsOnOkAndTheTabKeyVisitsTabsLinkAndButtons) {
  TRunningProgram program;
  HWND dialog = OpenAbout(program);
  ASSERT_NE(dialog, nullptr);
  HWND ok = ChildWithText(dialog, L"Button", L"&OK", true);
  const std::vector<HWND> tabs = Children(dialog, L"SysTabControl32");
  HWND link = ChildWithText(dialog, L"Static", L"https://zevrik.example.com", true);
  HWND remoteSupport = ChildWithText(dialog, L"Button", L"&Fernwartung", true);
  HWND copy = ChildWithText(dialog, L"Button", L"&Kopieren", true);
  ASSERT_TRUE(ok && tabs.size() == 1 && link && remoteSupport && copy);
  EXPECT_TRUE(PumpUntil([&] { return FocusedWindowOf(dialog) == ok; })) << "the focus does not start on OK";

  ::SetForegroundWindow(dialog);
  const std::pair<HWND, const char*> forwards[] = {
      {tabs.front(), "the tabs"}, {link, "the link"}, {remoteSupport, "Fernwartung"}, {copy, "Kopieren"}, {ok, "OK"}};
  for (const auto& [next, name] : forwards) {
    PressKey(VK_TAB);
    ASSERT_TRUE(PumpUntil([&] { return FocusedWindowOf(dialog) == next; })) << "Tab does not reach " << name;
  }
  const std::pair<HWND, const char*> backwards[] = {
      {copy, "Kopieren"}, {remoteSupport, "Fernwartung"}, {link, "the link"}, {tabs.front(), "the tabs"}, {ok, "OK"}};
  for (const auto& [previous, name] : backwards) {
    PressKey(VK_TAB, {VK_SHIFT});
    ASSERT_TRUE(PumpUntil([&] { return FocusedWindowOf(dialog) == previous; })) << "Shift+Tab does not reach " << name;
  }
  // Space, the key users press to dismiss a dialog, closes it from OK.
  PressKey(VK_SPACE);
  EXPECT_TRUE(Closed(dialog));
  EXPECT_EQ(program.TopLevelWindows(L"TavrinoForm", true).size(), 1u);  // nothing else opened
}

TEST_F(InfoButton, ShowsTheBoundPortAfterAStartWithPortZero) {
  TRunningProgram program(L"/P:0");
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(WindowText(main), L"Zevrik Tavrino    Port 0");
  // The port button shows the port the system chose.
  const TToolButtonSeen port = program.PortButton();
  ASSERT_TRUE(port);
  const int bound = std::stoi(port.Name());
  ASSERT_GT(bound, 0);
  HWND view = program.LogView();
  ASSERT_NE(view, nullptr);
  HWND dialog = OpenAbout(program);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(InformationShown(dialog), InformationText(bound));
  // Datagrams to that port arrive while the dialog is open.
  SendDatagram(bound, "port zero");
  WaitForView(view, L"port zero\r\n");
  ::SetForegroundWindow(dialog);
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(Closed(dialog));
}

}  // namespace
