// The log view's commands on a full view, measured from outside the running program:
//   CommandProbe <path-to-Tavrino.exe> <work-folder> [lines] [close]
// starts Tavrino.exe on a free port, fills its view with <lines> (default 100,000) lines of 100
// characters (in datagrams of 600 lines, as fast as it takes them without loss), then clicks
// Save (answering the save dialog) and Copy, copies all of it in the view (as Ctrl+A, Ctrl+C
// do), clicks a font size step each way and Clear, one after the other; with "close", the
// window is closed instead of cleared. For each it prints the time
// until the command's effect is complete and the window answers again, and the longest time the
// window took to answer a WM_NULL sent every 20 ms meanwhile. Save is compared with writing the
// same bytes in one WriteFile in this run; save and copy also as megabytes of text per second.
#include "base/Handle.h"
#include "base/Win.h"
#include "tests/support/ToolButtonSeen.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

double MsSince(TClock::time_point start) {
  return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

std::wstring TextOf(HWND wnd) {
  wchar_t text[256] = {};
  DWORD_PTR copied = 0;
  ::SendMessageTimeoutW(wnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 30000, &copied);
  return std::wstring(text, copied);
}

std::wstring ClassOf(HWND wnd) {
  wchar_t name[128] = {};
  int n = ::GetClassNameW(wnd, name, 128);
  return std::wstring(name, n > 0 ? n : 0);
}

struct TFind {
  DWORD Pid;
  std::wstring Class;
  HWND Found = nullptr;
};

HWND TopWindow(DWORD pid, const std::wstring& cls) {
  TFind find{pid, cls};
  ::EnumWindows(
      [](HWND wnd, LPARAM p) -> BOOL {
        auto& f = *reinterpret_cast<TFind*>(p);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(wnd, &owner);
        if (owner == f.Pid && ::IsWindowVisible(wnd) && ClassOf(wnd) == f.Class) {
          f.Found = wnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&find));
  return find.Found;
}

HWND Child(HWND parent, const std::wstring& cls, const std::wstring& text) {
  TFind find{0, cls};
  struct TArg {
    TFind* Find;
    const std::wstring* Text;
  } arg{&find, &text};
  ::EnumChildWindows(
      parent,
      [](HWND wnd, LPARAM p) -> BOOL {
        auto& a = *reinterpret_cast<TArg*>(p);
        if (ClassOf(wnd) == a.Find->Class && (a.Text->empty() || TextOf(wnd) == *a.Text)) {
          a.Find->Found = wnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&arg));
  return find.Found;
}

bool WaitFor(const std::function<bool()>& done, double limitMs = 120000) {
  const auto start = TClock::now();
  while (!done()) {
    if (MsSince(start) > limitMs) return false;
    ::Sleep(5);
  }
  return true;
}

bool Answers(HWND wnd, UINT limitMs = 60000) {
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutW(wnd, WM_NULL, 0, 0, SMTO_NORMAL, limitMs, &result) != 0;
}

// Sends WM_NULL every 20 ms from a thread of its own and keeps the longest answer time.
class TAnswerWatch {
public:
  explicit TAnswerWatch(HWND wnd) : FThread([this, wnd] {
      while (!FStop) {
        const auto start = TClock::now();
        Answers(wnd);
        const double ms = MsSince(start);
        if (ms > FLongest) FLongest = ms;
        ::Sleep(20);
      }
    }) {}
  ~TAnswerWatch() { Stop(); }
  double Stop() {
    FStop = true;
    if (FThread.joinable()) FThread.join();
    return FLongest;
  }

private:
  std::atomic<bool> FStop{false};
  std::atomic<double> FLongest{0};
  std::thread FThread;
};

// A tool button pressed as a screen reader presses it.
void Click(HWND main, const std::wstring& button) { ToolButtonOf(main, button).Press(); }

std::int64_t FileSizeOf(const std::wstring& name) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::size_t ClipboardTextLength() {
  // (Read once, after the timing: under Wine, another process's large clipboard text is copied
  // for every reader.)
  std::size_t length = 0;
  if (!::OpenClipboard(nullptr)) return 0;
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) length = ::GlobalSize(data) / sizeof(wchar_t);
  ::CloseClipboard();
  return length;
}

int FreePort() {
  TSocketHandle sock(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  ::bind(sock.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
  int size = sizeof(addr);
  ::getsockname(sock.Get(), reinterpret_cast<sockaddr*>(&addr), &size);
  return ::ntohs(addr.sin_port);
}

void Row(const char* name, double effectMs, double longestMs, const std::string& note = "") {
  std::printf("%-26s %10.0f ms %12.0f ms  %s\n", name, effectMs, longestMs, note.c_str());
}

std::string Rate(double bytes, double ms) {
  char text[64];
  std::snprintf(text, sizeof text, "%.0f MB/s of text", bytes / 1e6 / (ms / 1000.0));
  return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: CommandProbe <Tavrino.exe> <work-folder> [lines]\n");
    return 2;
  }
  const std::wstring exe = argv[1];
  std::wstring folder = argv[2];
  if (!folder.ends_with(L"\\")) folder += L"\\";
  const int lines = argc > 3 ? _wtoi(argv[3]) : 100000;
  const bool closeAtEnd = argc > 4 && std::wstring(argv[4]) == L"close";
  WSADATA wsa;
  ::WSAStartup(MAKEWORD(2, 2), &wsa);

  const int port = FreePort();
  std::wstring commandLine = L"\"" + exe + L"\" /P:" + std::to_wstring(port);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 1;
  THandleOwner process(pi.hProcess), thread(pi.hThread);
  HWND main = nullptr;
  WaitFor([&] { return (main = TopWindow(pi.dwProcessId, L"TavrinoForm")) != nullptr; });
  // The log view, or the edit control of the builds before it (measured for comparison).
  HWND view = main ? Child(main, L"TavrinoLogView", L"") : nullptr;
  if (!view && main) view = Child(main, L"Edit", L"");
  if (!view) return 1;

  // Fill the view, in portions it keeps up with, so that nothing is lost: datagrams of up to
  // 600 lines, 12,000 lines (1.2 MB) at a time.
  TSocketHandle sock(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = ::htons(static_cast<u_short>(port));
  to.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  const auto fillStart = TClock::now();
  for (int sent = 0; sent < lines;) {
    for (int datagrams = 0; datagrams < 20 && sent < lines; ++datagrams) {
      std::string datagram;
      for (int i = 0; i < 600 && sent < lines; ++i, ++sent) {
        char line[101];
        std::snprintf(line, sizeof(line), "%08d %s", sent, std::string(91, 'x').c_str());
        if (!datagram.empty()) datagram += "\r\n";
        datagram.append(line, 100);
      }
      ::sendto(sock.Get(), datagram.data(), static_cast<int>(datagram.size()), 0, reinterpret_cast<sockaddr*>(&to),
               sizeof(to));
    }
    if (!WaitFor([&] { return ::SendMessageW(view, EM_GETLINECOUNT, 0, 0) > sent; }, 600000)) {
      std::fprintf(stderr, "the view did not take %d lines\n", sent);
      return 1;
    }
  }
  std::printf("view filled with %d lines of 100 characters in %.1f s\n", lines, MsSince(fillStart) / 1000);
  std::printf("%-26s %13s %15s\n", "command", "effect", "longest answer");

  // Save: the save dialog is answered, then the time runs from OK to the complete file.
  const std::wstring saved = folder + L"saved.txt";
  ::DeleteFileW(saved.c_str());
  const std::int64_t expectedSize = static_cast<std::int64_t>(lines) * 102;
  Click(main, L"Speichern");
  HWND dialog = nullptr;
  WaitFor([&] { return (dialog = TopWindow(pi.dwProcessId, L"#32770")) != nullptr; });
  HWND nameEdit = dialog ? Child(dialog, L"Edit", L"") : nullptr;
  if (!nameEdit) return 1;
  ::SendMessageW(nameEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(saved.c_str()));
  {
    TAnswerWatch watch(main);
    const auto start = TClock::now();
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    WaitFor([&] { return FileSizeOf(saved) == expectedSize && !TopWindow(pi.dwProcessId, L"#32770"); });
    Answers(main);
    const double effect = MsSince(start);
    Row("save", effect, watch.Stop(), Rate(static_cast<double>(expectedSize), effect) + " (with the 250 ms check mark)");
  }
  {
    // The same bytes in one WriteFile, in this run, as the yardstick.
    std::string bytes(static_cast<size_t>(expectedSize), 'x');
    const std::wstring plain = folder + L"plain.txt";
    const auto start = TClock::now();
    TFileHandle file(::CreateFileW(plain.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::FlushFileBuffers(file.Get());
    file.Reset();
    Row("  one WriteFile, same size", MsSince(start), 0);
    ::DeleteFileW(plain.c_str());
    ::DeleteFileW(saved.c_str());
  }
  // A copy is done when the clipboard holds text again (emptying it changes the sequence number
  // before the text is there) and the window answers.
  auto timedCopy = [&](const char* name, const std::function<void()>& start, const std::string& note) {
    TAnswerWatch watch(main);
    const DWORD before = ::GetClipboardSequenceNumber();
    const auto started = TClock::now();
    start();
    WaitFor([&] { return ::GetClipboardSequenceNumber() != before && ::IsClipboardFormatAvailable(CF_UNICODETEXT); });
    Answers(main);
    const double effect = MsSince(started);
    const double longest = watch.Stop();
    const bool whole = ClipboardTextLength() >= static_cast<size_t>(expectedSize);
    Row(name, effect, longest,
        Rate(static_cast<double>(expectedSize), effect) + note + (whole ? "" : ", CLIPBOARD INCOMPLETE"));
  };
  timedCopy("copy", [&] { Click(main, L"Protokoll in Zwischenablage kopieren"); },
            " (with the 250 ms check mark)");
  // The same through the view: all of it selected, then the edit message that Ctrl+C sends.
  timedCopy("select all, copy in view", [&] {
    ::PostMessageW(view, EM_SETSEL, 0, -1);
    ::PostMessageW(view, WM_COPY, 0, 0);
  }, "");
  ::PostMessageW(view, EM_SETSEL, 0, 0);
  for (const wchar_t* step : {L"Schrift vergrößern", L"Schrift verkleinern"}) {
    TAnswerWatch watch(main);
    const auto start = TClock::now();
    Click(main, step);
    Answers(main);
    ::UpdateWindow(view);
    Answers(main);
    Row(step == std::wstring(L"Schrift vergrößern") ? "font one point larger" : "font one point smaller", MsSince(start),
        watch.Stop());
  }
  if (closeAtEnd) {
    const auto start = TClock::now();
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    const bool ended = ::WaitForSingleObject(process.Get(), 30000) == WAIT_OBJECT_0;
    Row("close (program ended)", MsSince(start), 0, ended ? "" : "NOT ENDED within 30 s");
    return 0;
  }
  {
    TAnswerWatch watch(main);
    const auto start = TClock::now();
    Click(main, L"Leeren");
    WaitFor([&] { return ::GetWindowTextLengthW(view) == 0; });
    Answers(main);
    Row("clear", MsSince(start), watch.Stop());
  }
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  ::WaitForSingleObject(process.Get(), 30000);
  return 0;
}
