// The real program, started as a user starts it, fed with real datagrams and clicked with the mouse.
#include "e2e/RunningProgram.h"
#include "support/Pump.h"
#include "support/TestSupport.h"

#include <functional>

namespace {

constexpr int kPort = 6702;

// Waits until the view shows the text (or the limit passes) and returns what it shows.
std::wstring WaitForView(HWND view, const std::wstring& expected) {
  std::wstring shown;
  PumpUntil([&] { return (shown = WindowText(view)) == expected; }, 15000);
  return shown;
}

TEST(MainWindow, ShowsCaptionTitlePortAndTheToolColumn) {
  TRunningProgram program;
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(WindowText(main), L"Zevrik Tavrino    Port 6702");
  EXPECT_EQ(WindowText(program.ApplicationWindow()), L"Tavrino 6702");
  EXPECT_TRUE(program.Button(L"6702"));
  for (const wchar_t* name : {L"Leeren", L"Speichern", L"Protokoll in Zwischenablage kopieren",
                              L"Trennlinie einfügen", L"Schrift vergrößern", L"Schrift verkleinern", L"Hex", L"Info"})
    EXPECT_TRUE(program.Button(name)) << "no button named " << testing::PrintToString(std::wstring(name));

  // The tool column sits at the right edge, the view fills the rest.
  HWND view = program.LogView();
  ASSERT_NE(view, nullptr);
  RECT client, viewRect;
  ::GetClientRect(main, &client);
  ::GetWindowRect(view, &viewRect);
  RECT hexRect = program.Button(L"Hex").ScreenRect();
  ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&viewRect), 2);
  ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&hexRect), 2);
  EXPECT_EQ(viewRect.left, 0);
  EXPECT_LT(viewRect.right, hexRect.left);
  EXPECT_GT(hexRect.left, client.right * 9 / 10);
}

TEST(MainWindow, ToolButtonsSitWhereTheColumnPutsThem) {
  TRunningProgram program;
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  const int dpi = static_cast<int>(::GetDpiForWindow(main));
  auto scaled = [dpi](int designPixels) { return ::MulDiv(designPixels, dpi, 96); };
  const std::pair<const wchar_t*, int> column[] = {
      {L"Leeren", 4},
      {L"Speichern", 28},
      {L"Protokoll in Zwischenablage kopieren", 52},
      {L"Trennlinie einfügen", 76},
      {L"Schrift vergrößern", 124},
      {L"Schrift verkleinern", 148},
      {L"6702", 180},
      {L"Hex", 216},
      {L"Info", 272},
  };
  HWND panel = program.Button(L"Hex").Column();
  RECT panelRect, client;
  ::GetClientRect(panel, &panelRect);
  ::GetClientRect(main, &client);
  EXPECT_EQ(panelRect.right, scaled(31));
  // Down to the status line (when it shows; it runs under the view and the column).
  RECT statusRect{0, 0, 0, 0};
  if (HWND line = StatusLine(main)) ::GetClientRect(line, &statusRect);
  EXPECT_EQ(panelRect.bottom + statusRect.bottom, client.bottom);
  for (const auto& [name, top] : column) {
    const TToolButtonSeen button = program.Button(name);
    ASSERT_TRUE(button);
    EXPECT_EQ(button.Column(), panel);
    RECT r = button.ScreenRect();
    ::MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, scaled(4)) << testing::PrintToString(std::wstring(name));
    EXPECT_EQ(r.top, scaled(top)) << testing::PrintToString(std::wstring(name));
    EXPECT_EQ(r.right - r.left, scaled(23));
    EXPECT_EQ(r.bottom - r.top, scaled(22));
  }
}

TEST(MainWindow, EveryDatagramBecomesALineOfTheView) {
  TRunningProgram program;
  HWND view = program.LogView();
  ASSERT_NE(view, nullptr);
  SendDatagram(kPort, "Hallo Tavrino");
  EXPECT_EQ(WaitForView(view, L"Hallo Tavrino\r\n"), L"Hallo Tavrino\r\n");

  SendDatagram(kPort, "Gr\xFC\xDF" "e");          // ANSI code page 1252
  SendDatagram(kPort, "");                        // an empty line
  SendDatagram(kPort, "eins\r\nzwei");            // two lines
  SendDatagram(kPort, std::string("vor\0nach", 8));  // the zero byte as its symbol, and what follows it
  SendDatagram(kPort, std::string(5000, 'x'));    // longer than the old 4096-byte limit
  const std::wstring expected = L"Hallo Tavrino\r\nGrüße\r\n\r\neins\r\nzwei\r\nvor\u2400nach\r\n" +
                                std::wstring(5000, L'x') + L"\r\n";
  EXPECT_EQ(WaitForView(view, expected), expected);
}

TEST(MainWindow, HexToggleClickedWithTheMouseChangesLaterDatagramsOnly) {
  TRunningProgram program;
  HWND view = program.LogView();
  const TToolButtonSeen hex = program.Button(L"Hex");
  ASSERT_TRUE(hex);
  SendDatagram(kPort, "Text");
  ASSERT_EQ(WaitForView(view, L"Text\r\n"), L"Text\r\n");

  const HWND focusBefore = FocusedWindowOf(view);
  ClickWithMouse(hex);
  ASSERT_TRUE(PumpUntil([&] { return hex.Down(); }));
  EXPECT_EQ(FocusedWindowOf(view), focusBefore);  // the button did not take the focus
  EXPECT_EQ(focusBefore, view);
  SendDatagram(kPort, std::string("Hello World\r\n\0\x1B\xE4", 16));
  const std::wstring dump = L"Text\r\n"
                            L"48 65 6C 6C 6F 20 57 6F   Hello Wo\r\n"
                            L"72 6C 64 0D 0A 00 1B E4   rld\u2190\u2193..\u00E4\r\n";
  EXPECT_EQ(WaitForView(view, dump), dump);
  SendDatagram(kPort, "");  // an empty datagram adds no hex row
  SendDatagram(kPort, "ABC");
  const std::wstring withAbc = dump + L"41 42 43" + std::wstring(18, L' ') + L"ABC\r\n";
  EXPECT_EQ(WaitForView(view, withAbc), withAbc);

  ClickWithMouse(hex);
  ASSERT_TRUE(PumpUntil([&] { return !hex.Down(); }));
  SendDatagram(kPort, "wieder Text");
  EXPECT_EQ(WaitForView(view, withAbc + L"wieder Text\r\n"), withAbc + L"wieder Text\r\n");
  EXPECT_EQ(FocusedWindowOf(view), view);
}

TEST(MainWindow, ClosingTheWindowEndsTheProgramAndFreesThePort) {
  {
    TRunningProgram program;
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
  }
  TSocketHandle sock(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = ::htons(kPort);
  EXPECT_EQ(::bind(sock.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
}

// With the port taken, the program's own message box (not the system's) says so, readable from
// outside through its text area; the answer given by answer ends the program.
void ExpectPortInUseReportedAndTheProgramEnds(const std::function<void(HWND okButton)>& answer) {
  TSocketHandle occupier(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = ::htons(kPort);
  ASSERT_EQ(::bind(occupier.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);

  TRunningProgram program;
  HWND box = program.WaitForWindow(L"TavrinoForm");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowText(box), L"Tavrino");
  EXPECT_EQ(program.TopLevelWindows(L"TavrinoForm", true).size(), 1u);  // the main window never showed
  EXPECT_TRUE(program.TopLevelWindows(L"#32770", false).empty());
  const std::vector<HWND> textAreas = ChildWindows(box, L"TavrinoPaintBox");
  ASSERT_EQ(textAreas.size(), 1u);
  EXPECT_EQ(WindowText(textAreas.front()),
            L"UDP-Server kann nicht an Port 6702 gebunden werden. Fehler: WSAEADDRINUSE: Address already in use");
  std::vector<HWND> buttons;
  for (HWND button : ChildWindows(box, L"Button"))
    if (::IsWindowVisible(button)) buttons.push_back(button);
  ASSERT_EQ(buttons.size(), 1u);
  EXPECT_EQ(WindowText(buttons.front()), L"&OK");

  ::SetForegroundWindow(box);
  ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == box; }));
  answer(buttons.front());
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_EQ(program.ExitCode(), 0u);
  EXPECT_TRUE(program.TopLevelWindows(L"TavrinoForm", true).empty());
}

TEST(MainWindow, PortInUseIsReportedAndTheProgramEndsAfterOk) {
  ExpectPortInUseReportedAndTheProgramEnds([](HWND okButton) { ClickWithMouse(okButton); });
}

TEST(MainWindow, PortInUseIsReportedAndTheProgramEndsAfterEsc) {
  ExpectPortInUseReportedAndTheProgramEnds([](HWND) { PressKey(VK_ESCAPE); });
}

}  // namespace

namespace {

std::wstring VersionString(const std::vector<char>& info, const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  std::wstring path = std::wstring(L"\\StringFileInfo\\040704B0\\") + name;
  if (!::VerQueryValueW(info.data(), path.c_str(), &value, &length) || length == 0) return {};
  return std::wstring(static_cast<const wchar_t*>(value), length - 1);
}

TEST(ProgramFile, CarriesProductAndFileVersion) {
  wchar_t path[MAX_PATH];
  DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring exe(path, n);
  exe.erase(exe.find_last_of(L'\\'));
  exe.erase(exe.find_last_of(L'\\') + 1);
  exe += L"Tavrino.exe";
  DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), nullptr);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(::GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 2));   // 2.0
  EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), 6);       // .6, then the build number
  EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 2));
  EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(0, 6));
  EXPECT_EQ(VersionString(info, L"ProductVersion"), L"2.0.6");
  EXPECT_EQ(VersionString(info, L"FileVersion"), L"2.0.6." + std::to_wstring(LOWORD(fixed->dwFileVersionLS)));
}

}  // namespace
