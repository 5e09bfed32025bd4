// Looks at the running Tavrino from outside, for the receive benchmark:
//   TavrinoProbe start <path-to-Tavrino.exe> [arguments...]
//     starts the program, waits for its main window to be visible and prints
//     "<milliseconds-to-visible> <process-id>"; the program keeps running.
//   TavrinoProbe watch <interval-ms> [stop-file]
//     prints "<unix-time-ms> <lines-shown> <wm_null-latency-ms> <line-count-latency-ms>
//     <characters-shown>" every interval until standard input ends or the stop file exists.
//   TavrinoProbe hex <0|1>
//     clicks the "Hex" button with the mouse until it is up (0) or down (1).
//   TavrinoProbe text <file>
//     writes what the view shows to the file (UTF-16).
//   TavrinoProbe close
//     posts WM_CLOSE to the main window and prints "<unix-time-ms>".
#include "base/Handle.h"
#include "base/Win.h"
#include "bench/probe/ProbeClock.h"
#include "tests/support/ToolButtonSeen.h"

#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>

namespace {

constexpr std::wstring_view MainClass = L"TavrinoForm";
constexpr std::wstring_view CaptionPrefix = L"Zevrik Tavrino";
constexpr UINT AnswerTimeoutMs = 10000;
constexpr DWORD StartTimeoutMs = 60000;

std::wstring ClassOf(HWND wnd) {
  wchar_t name[256] = {};
  int len = ::GetClassNameW(wnd, name, 256);
  return std::wstring(name, len > 0 ? len : 0);
}

std::wstring CaptionOf(HWND wnd) {
  wchar_t text[256] = {};
  int len = ::GetWindowTextW(wnd, text, 256);
  return std::wstring(text, len > 0 ? len : 0);
}

struct TMainSearch {
  DWORD ProcessId = 0;  // 0: any process
  bool MustBeVisible = false;
  HWND Found = nullptr;
};

BOOL CALLBACK FindMainProc(HWND wnd, LPARAM param) {
  auto& search = *reinterpret_cast<TMainSearch*>(param);
  if (search.ProcessId != 0) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    if (pid != search.ProcessId) return TRUE;
  }
  if (search.MustBeVisible && !::IsWindowVisible(wnd)) return TRUE;
  if (ClassOf(wnd) != MainClass || !CaptionOf(wnd).starts_with(CaptionPrefix)) return TRUE;
  search.Found = wnd;
  return FALSE;
}

HWND FindMainWindow(DWORD processId, bool mustBeVisible) {
  TMainSearch search{processId, mustBeVisible, nullptr};
  ::EnumWindows(FindMainProc, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

// The view is the window's log view control, or the multi-line edit control of the builds
// before it (measured in the same run for comparison).
BOOL CALLBACK FindEditProc(HWND wnd, LPARAM param) {
  const std::wstring cls = ClassOf(wnd);
  if (cls != L"TavrinoLogView" &&
      (::lstrcmpiW(cls.c_str(), L"Edit") != 0 || !(::GetWindowLongPtrW(wnd, GWL_STYLE) & ES_MULTILINE)))
    return TRUE;
  *reinterpret_cast<HWND*>(param) = wnd;
  return FALSE;
}

HWND FindEdit(HWND mainWnd) {
  HWND edit = nullptr;
  ::EnumChildWindows(mainWnd, FindEditProc, reinterpret_cast<LPARAM>(&edit));
  return edit;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER freq;
  ::QueryPerformanceFrequency(&freq);
  return double(to.QuadPart - from.QuadPart) / double(freq.QuadPart);
}

std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  for (wchar_t c : arg) {
    if (c == L'"') out += L'\\';
    out += c;
  }
  return out + L"\"";
}

int Start(int argc, wchar_t** argv) {
  std::wstring path = argv[2];
  std::wstring commandLine = Quoted(path);
  for (int i = 3; i < argc; ++i) commandLine += L" " + Quoted(argv[i]);

  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  LARGE_INTEGER started;
  ::QueryPerformanceCounter(&started);
  if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi)) {
    std::fprintf(stderr, "CreateProcess failed: error %lu\n", ::GetLastError());
    return 2;
  }
  THandleOwner process(pi.hProcess);
  THandleOwner thread(pi.hThread);
  for (;;) {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    if (FindMainWindow(pi.dwProcessId, true)) {
      std::printf("%.1f %lu\n", Seconds(started, now) * 1000.0, pi.dwProcessId);
      std::fflush(stdout);
      return 0;
    }
    if (::WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0) {
      std::fprintf(stderr, "the program ended before its window was visible\n");
      return 3;
    }
    if (Seconds(started, now) * 1000.0 > StartTimeoutMs) {
      std::fprintf(stderr, "no visible main window within %lu ms\n", StartTimeoutMs);
      return 4;
    }
    ::Sleep(1);
  }
}

// Ends the watch when standard input reaches its end (the orchestrator closes the pipe).
DWORD WINAPI StdinReader(void* param) {
  auto* ended = static_cast<volatile LONG*>(param);
  HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
  char buffer[256];
  DWORD read = 0;
  while (in && in != INVALID_HANDLE_VALUE && ::ReadFile(in, buffer, sizeof buffer, &read, nullptr) &&
         read > 0) {
  }
  ::InterlockedExchange(ended, 1);
  return 0;
}

int Watch(int argc, wchar_t** argv) {
  int interval = _wtoi(argv[2]);
  if (interval < 1) interval = 1;
  std::wstring stopFile = argc > 3 ? argv[3] : L"";

  HWND mainWnd = FindMainWindow(0, false);
  HWND edit = mainWnd ? FindEdit(mainWnd) : nullptr;
  if (!edit) {
    std::fprintf(stderr, "no Tavrino main window with an edit control\n");
    return 2;
  }
  volatile LONG inputEnded = 0;
  THandleOwner reader(::CreateThread(nullptr, 0, StdinReader, const_cast<LONG*>(&inputEnded), 0,
                                     nullptr));

  long long next = UnixTimeMs();
  while (!inputEnded && (stopFile.empty() || ::GetFileAttributesW(stopFile.c_str()) ==
                                                INVALID_FILE_ATTRIBUTES)) {
    LARGE_INTEGER before, after;
    DWORD_PTR result = 0;
    ::QueryPerformanceCounter(&before);
    LRESULT answered = ::SendMessageTimeoutW(mainWnd, WM_NULL, 0, 0, SMTO_NORMAL,
                                             AnswerTimeoutMs, &result);
    ::QueryPerformanceCounter(&after);
    if (!answered && !::IsWindow(mainWnd)) {
      std::fprintf(stderr, "the main window is gone\n");
      return 3;
    }
    DWORD_PTR lineCount = 0;
    // The view ends with a line break, so the control counts one empty line after the last;
    // -1: no answer in time.
    long long shown = -1;
    if (::SendMessageTimeoutW(edit, EM_GETLINECOUNT, 0, 0, SMTO_NORMAL, AnswerTimeoutMs,
                              &lineCount))
      shown = lineCount > 0 ? static_cast<long long>(lineCount) - 1 : 0;
    LARGE_INTEGER counted;
    ::QueryPerformanceCounter(&counted);
    DWORD_PTR length = 0;
    long long chars = -1;
    if (::SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, AnswerTimeoutMs, &length))
      chars = static_cast<long long>(length);
    // The second wait catches work that started after the WM_NULL answer, such as painting.
    if (std::printf("%lld %lld %.1f %.1f %lld\n", UnixTimeMs(), shown, Seconds(before, after) * 1000.0,
                    Seconds(after, counted) * 1000.0, chars) < 0 ||
        std::fflush(stdout) != 0)
      return 0;  // nobody reads any more

    next += interval;
    long long wait = next - UnixTimeMs();
    if (wait > 0) {
      ::Sleep(static_cast<DWORD>(wait));
    } else {
      next = UnixTimeMs();  // fell behind (a slow answer): keep the interval from now on
    }
  }
  return 0;
}

int Hex(wchar_t** argv) {
  const bool wanted = _wtoi(argv[2]) != 0;
  HWND mainWnd = FindMainWindow(0, true);
  const TToolButtonSeen button = mainWnd ? ToolButtonOf(mainWnd, L"Hex") : TToolButtonSeen{};
  if (!button) {
    std::fprintf(stderr, "no Hex button\n");
    return 2;
  }
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (button.Down() == wanted) return 0;
    if (attempt % 10 == 0) button.Press();
    ::Sleep(100);
  }
  std::fprintf(stderr, "the Hex button does not change\n");
  return 3;
}

int Text(wchar_t** argv) {
  HWND mainWnd = FindMainWindow(0, false);
  HWND edit = mainWnd ? FindEdit(mainWnd) : nullptr;
  if (!edit) return 2;
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 60000, &length)) return 3;
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                             60000, &copied))
    return 3;
  FILE* file = _wfopen(argv[2], L"wb");
  if (!file) return 4;
  std::fwrite(text.data(), sizeof(wchar_t), copied, file);
  std::fclose(file);
  return 0;
}

int Close() {
  HWND mainWnd = FindMainWindow(0, false);
  if (!mainWnd) return 2;
  ::PostMessageW(mainWnd, WM_CLOSE, 0, 0);
  std::printf("%lld\n", UnixTimeMs());
  std::fflush(stdout);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring_view command = argc > 1 ? argv[1] : L"";
  if (command == L"start" && argc > 2) return Start(argc, argv);
  if (command == L"watch" && argc > 2) return Watch(argc, argv);
  if (command == L"hex" && argc > 2) return Hex(argv);
  if (command == L"text" && argc > 2) return Text(argv);
  if (command == L"close") return Close();
  std::fprintf(stderr,
               "usage: TavrinoProbe start <path-to-Tavrino.exe> [arguments...]\n"
               "       TavrinoProbe watch <interval-ms> [stop-file]\n"
               "       TavrinoProbe hex <0|1>\n"
               "       TavrinoProbe text <file>\n"
               "       TavrinoProbe close\n");
  return 1;
}
