// The port button of the real program, clicked and answered as a user does: the server moves to
// the new port, and a port that cannot be bound costs neither the program nor its log.
#include "e2e/RunningProgram.h"
#include "support/Pump.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"

#include <string>

namespace {

const std::wstring kCaptionPrefix = L"Zevrik Tavrino    Port ";

// A UDP port that nobody holds right now (the system's choice for a socket that is closed again).
int FreePort() {
  TSocketHandle sock(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  ::bind(sock.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
  int length = sizeof(addr);
  ::getsockname(sock.Get(), reinterpret_cast<sockaddr*>(&addr), &length);
  return ::ntohs(addr.sin_port);
}

// Holds a UDP port on every interface, as another program would.
TSocketHandle Occupy(int port) {
  TSocketHandle sock(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = ::htons(static_cast<u_short>(port));
  EXPECT_EQ(::bind(sock.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0) << "port " << port;
  return sock;
}

// All texts of a window and of the windows in it.
std::vector<std::wstring> TextsIn(HWND wnd) {
  std::vector<std::wstring> texts{WindowText(wnd)};
  ::EnumChildWindows(
      wnd,
      [](HWND child, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(WindowText(child));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return texts;
}

// The windows of a class in a window that show (the dialog keeps the editors of other kinds hidden).
std::vector<HWND> ShownChildWindows(HWND parent, const std::wstring& className) {
  std::vector<HWND> shown;
  for (HWND child : ChildWindows(parent, className))
    if (::IsWindowVisible(child)) shown.push_back(child);
  return shown;
}

class PortChange : public ::testing::Test {
protected:
  // Starts the program on a free port and keeps its main window, view and port button.
  void Start() {
    port = FreePort();
    program = std::make_unique<TRunningProgram>(L"/P:" + std::to_wstring(port));
    main = program->MainWindow();
    ASSERT_NE(main, nullptr);
    view = program->LogView();
    ASSERT_NE(view, nullptr);
    portButton = program->Button(std::to_wstring(port));
    ASSERT_TRUE(portButton);
    ASSERT_EQ(WindowText(main), kCaptionPrefix + std::to_wstring(port));
  }

  // A visible top-level window of the program other than the main window whose texts hold a
  // text starting with Start; null when none shows up in time.
  HWND WaitForWindowWith(const std::wstring& start) const {
    HWND found = nullptr;
    PumpUntil(
        [&] {
          for (const wchar_t* cls : {L"TavrinoForm", L"#32770"})
            for (HWND wnd : program->TopLevelWindows(cls, true)) {
              if (wnd == main) continue;
              for (const std::wstring& text : TextsIn(wnd))
                if (text.starts_with(start)) {
                  found = wnd;
                  return true;
                }
            }
          return false;
        },
        20000);
    return found;
  }

  // Clicks the port button and waits for the query window.
  HWND OpenPortQuery() {
    ClickWithMouse(portButton);
    HWND query = WaitForWindowWith(L"Port-Nummer");
    EXPECT_NE(query, nullptr);
    if (query) {
      EXPECT_EQ(WindowText(query), L"Abfrage");
      // The field holds the port, ready to be typed over.
      auto edits = ShownChildWindows(query, L"Edit");
      EXPECT_EQ(edits.size(), 1u);
      if (!edits.empty()) {
        EXPECT_EQ(WindowText(edits[0]), portButton.Name());
        PumpUntil([&] { return FocusedWindowOf(query) == edits[0]; });
      }
    }
    return query;
  }

  // Types the port into the query and confirms it with Enter.
  void AnswerPortQuery(const std::wstring& text) {
    HWND query = OpenPortQuery();
    ASSERT_NE(query, nullptr);
    TypeText(text);
    HWND edit = ShownChildWindows(query, L"Edit").front();
    ASSERT_TRUE(PumpUntil([&] { return WindowText(edit) == text; }));
    PressKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindowVisible(query); }));
  }

  // The bind-failure message: its text, then it is closed with OK.
  std::wstring CloseFailureMessage() {
    HWND box = WaitForWindowWith(L"UDP-Server");
    if (!box) return L"<no message>";
    std::wstring message;
    for (const std::wstring& text : TextsIn(box))
      if (text.starts_with(L"UDP-Server")) message = text;
    if (::IsWindow(box)) {
      wchar_t cls[32] = {};
      ::GetClassNameW(box, cls, 32);
      if (std::wstring(cls) == L"#32770") {
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
      } else {
        ::SetForegroundWindow(box);
        PumpUntil([&] { return ::GetForegroundWindow() == box; });
        PressKey(VK_RETURN);
      }
    }
    PumpUntil([&] { return !::IsWindowVisible(box); });
    return message;
  }

  // Sends a line and waits until the view ends with it.
  bool Arrives(int to, const std::string& line) {
    SendDatagram(to, line);
    const std::wstring expected(line.begin(), line.end());
    return PumpUntil([&] { return WindowText(view).ends_with(expected + L"\r\n"); }, 15000);
  }

  void ExpectShowsPort(int bound) {
    EXPECT_TRUE(PumpUntil([&] { return WindowText(main) == kCaptionPrefix + std::to_wstring(bound); }))
        << testing::PrintToString(WindowText(main));
    EXPECT_EQ(WindowText(program->ApplicationWindow()), L"Tavrino " + std::to_wstring(bound));
    EXPECT_EQ(portButton.Name(), std::to_wstring(bound));
  }

  int port = 0;
  std::unique_ptr<TRunningProgram> program;
  HWND main = nullptr, view = nullptr;
  TToolButtonSeen portButton;
};

TEST_F(PortChange, ToAFreePortMovesTheServerAndKeepsTheLog) {
  Start();
  ASSERT_TRUE(Arrives(port, "vorher"));
  const int next = FreePort();
  AnswerPortQuery(std::to_wstring(next));
  ExpectShowsPort(next);
  ASSERT_TRUE(Arrives(next, "nachher"));
  // The old port hears nothing any more: its line never shows, the next one on the new port does.
  SendDatagram(port, "alter Port");
  ASSERT_TRUE(Arrives(next, "Ende"));
  EXPECT_EQ(WindowText(view), L"vorher\r\nnachher\r\nEnde\r\n");

  // The About dialog's information text names the new port.
  const TToolButtonSeen info = program->Button(L"Info");
  ASSERT_TRUE(info);
  ClickWithMouse(info);
  const std::wstring portLine = L"Aktueller UDP-Port: ";
  HWND about = WaitForWindowWith(portLine);
  ASSERT_NE(about, nullptr);
  std::wstring information;
  for (const std::wstring& text : TextsIn(about))
    if (text.starts_with(portLine)) information = text;
  EXPECT_TRUE(information.starts_with(portLine + std::to_wstring(next) + L"\r\n"))
      << testing::PrintToString(information);
  ::SetForegroundWindow(about);
  PumpUntil([&] { return ::GetForegroundWindow() == about; });
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(PumpUntil([&] { return !::IsWindowVisible(about); }));
}

TEST_F(PortChange, ToZeroBindsAPortTheSystemChoosesAndShowsIt) {
  Start();
  AnswerPortQuery(L"0");
  ASSERT_TRUE(PumpUntil([&] { return WindowText(main) != kCaptionPrefix + std::to_wstring(port); }));
  const std::wstring caption = WindowText(main);
  ASSERT_TRUE(caption.starts_with(kCaptionPrefix)) << testing::PrintToString(caption);
  const int chosen = std::stoi(caption.substr(kCaptionPrefix.size()));
  EXPECT_GT(chosen, 0);
  ExpectShowsPort(chosen);
  EXPECT_TRUE(Arrives(chosen, "gewaehlt"));
}

TEST_F(PortChange, ToTheSamePortRebindsAndLeavesEverythingAsItWas) {
  Start();
  ASSERT_TRUE(Arrives(port, "eins"));
  AnswerPortQuery(std::to_wstring(port));
  ExpectShowsPort(port);
  EXPECT_TRUE(Arrives(port, "zwei"));
  EXPECT_EQ(WindowText(view), L"eins\r\nzwei\r\n");
}

TEST_F(PortChange, CancelledWithEscChangesNothing) {
  Start();
  HWND query = OpenPortQuery();
  ASSERT_NE(query, nullptr);
  // Datagrams keep arriving while the window is open.
  EXPECT_TRUE(Arrives(port, "waehrend der Abfrage"));
  TypeText(L"1");
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return !::IsWindowVisible(query); }));
  ExpectShowsPort(port);
  EXPECT_TRUE(Arrives(port, "danach"));
}

TEST_F(PortChange, ToAPortInUseSaysSoAndGoesOnWithThePortItHad) {
  Start();
  ASSERT_TRUE(Arrives(port, "Zeile vor dem Wechsel"));
  const int taken = FreePort();
  TSocketHandle other = Occupy(taken);
  AnswerPortQuery(std::to_wstring(taken));
  EXPECT_EQ(CloseFailureMessage(), L"UDP-Server kann nicht an Port " + std::to_wstring(taken) +
                                       L" gebunden werden. Fehler: WSAEADDRINUSE: Address already in use");
  EXPECT_EQ(program->ExitCode(), STILL_ACTIVE);
  ExpectShowsPort(port);
  EXPECT_TRUE(Arrives(port, "Zeile nach dem Wechsel"));
  EXPECT_EQ(WindowText(view), L"Zeile vor dem Wechsel\r\nZeile nach dem Wechsel\r\n");
}

TEST_F(PortChange, ANumberBeyondThePortsIsRefusedWithoutLeavingThePort) {
  Start();
  AnswerPortQuery(L"70000");
  EXPECT_EQ(CloseFailureMessage(),
            L"UDP-Server kann nicht an Port 70000 gebunden werden. Fehler: WSAEINVAL: Invalid argument");
  ExpectShowsPort(port);
  EXPECT_TRUE(Arrives(port, "noch da"));
}

TEST_F(PortChange, ThePortItHadStaysBoundAndReceivingWhileTheFailureIsShown) {
  Start();
  ASSERT_TRUE(Arrives(port, "gesichert"));
  const int taken = FreePort();
  TSocketHandle other = Occupy(taken);
  AnswerPortQuery(std::to_wstring(taken));
  HWND box = WaitForWindowWith(L"UDP-Server");
  ASSERT_NE(box, nullptr);
  // The program never lets its port go: no other program can take it meanwhile.
  TSocketHandle thief(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = ::htons(static_cast<u_short>(port));
  EXPECT_EQ(::bind(thief.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), SOCKET_ERROR);
  EXPECT_TRUE(Arrives(port, "waehrend der Meldung"));
  EXPECT_EQ(CloseFailureMessage(), L"UDP-Server kann nicht an Port " + std::to_wstring(taken) +
                                       L" gebunden werden. Fehler: WSAEADDRINUSE: Address already in use");
  ExpectShowsPort(port);
  EXPECT_TRUE(Arrives(port, "danach"));
  EXPECT_EQ(WindowText(view), L"gesichert\r\nwaehrend der Meldung\r\ndanach\r\n");
}

}  // namespace
