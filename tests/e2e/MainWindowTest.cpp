// The real program, started as a user starts it, fed with real datagrams and clicked with the mouse.
#include "e2e/RunningProgram.h"
#include "support/Pump.h"
#include "support/TestSupport.h"

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
  EXPECT_NE(program.Button(L"6702"), nullptr);
  for (const wchar_t* name : {L"Leeren", L"Speichern", L"Protokoll in Zwischenablage kopieren",
                              L"Trennlinie einfügen", L"Schrift vergrößern", L"Schrift verkleinern", L"Hex", L"Info"})
    EXPECT_NE(program.Button(name), nullptr) << "no button named " << testing::PrintToString(std::wstring(name));

  // The tool column sits at the right edge, the view fills the rest.
  HWND view = program.LogView();
  ASSERT_NE(view, nullptr);
  RECT client, viewRect, hexRect;
  ::GetClientRect(main, &client);
  ::GetWindowRect(view, &viewRect);
  ::GetWindowRect(program.Button(L"Hex"), &hexRect);
  ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&viewRect), 2);
  ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&hexRect), 2);
  EXPECT_EQ(viewRect.left, 0);
  EXPECT_LT(viewRect.right, hexRect.left);
  EXPECT_GT(hexRect.left, client.right * 9 / 10);
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
  SendDatagram(kPort, std::string("vor\0nach", 8));  // shown up to the zero byte
  SendDatagram(kPort, std::string(5000, 'x'));    // longer than the old 4096-byte limit
  const std::wstring expected = L"Hallo Tavrino\r\nGrüße\r\n\r\neins\r\nzwei\r\nvor\r\n" + std::wstring(5000, L'x') +
                                L"\r\n";
  EXPECT_EQ(WaitForView(view, expected), expected);
}

TEST(MainWindow, HexToggleClickedWithTheMouseChangesLaterDatagramsOnly) {
  TRunningProgram program;
  HWND view = program.LogView();
  HWND hex = program.Button(L"Hex");
  ASSERT_NE(hex, nullptr);
  SendDatagram(kPort, "Text");
  ASSERT_EQ(WaitForView(view, L"Text\r\n"), L"Text\r\n");

  ClickWithMouse(hex);
  ASSERT_TRUE(PumpUntil([&] { return ::SendMessageW(hex, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
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
  ASSERT_TRUE(PumpUntil([&] { return ::SendMessageW(hex, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }));
  SendDatagram(kPort, "wieder Text");
  EXPECT_EQ(WaitForView(view, withAbc + L"wieder Text\r\n"), withAbc + L"wieder Text\r\n");
  // The buttons never took the focus away from the view.
  EXPECT_NE(::GetWindowLongPtrW(hex, GWL_STYLE) & WS_TABSTOP, WS_TABSTOP);
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

TEST(MainWindow, PortInUseIsReportedAndTheProgramEndsAfterOk) {
  TSocketHandle occupier(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = ::htons(kPort);
  ASSERT_EQ(::bind(occupier.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);

  TRunningProgram program;
  HWND box = program.WaitForWindow(L"#32770");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowText(box), L"Tavrino");
  std::wstring message;
  for (HWND label : ChildWindows(box, L"Static")) {
    std::wstring text = WindowText(label);
    if (text.starts_with(L"UDP-Server")) message = text;
  }
  EXPECT_EQ(message,
            L"UDP-Server kann nicht an Port 6702 gebunden werden. Fehler: WSAEADDRINUSE: Address already in use");
  EXPECT_TRUE(program.TopLevelWindows(L"TavrinoForm", true).empty());  // the main window never showed

  ::PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(program.WaitForExit());
  EXPECT_TRUE(program.TopLevelWindows(L"TavrinoForm", true).empty());
}

}  // namespace
