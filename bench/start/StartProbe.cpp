// Start benchmark: how long programs take from their start to their window's first paint.
//   StartProbe <runs> <class> <program> [<class> <program> ...]
// Each run starts every program in turn (interleaved, so that both see the same machine), waits
// for a visible top-level window of the class in the new process and for the process to idle
// after it (WaitForInputIdle: the first paint is done and the message queue is empty), closes
// it and waits for its end. A program with arguments is given as one quoted argument. Prints
// every run and, per program, the median, minimum and maximum in milliseconds.
#include "base/Win.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct TProgram {
  std::wstring ClassName;
  std::wstring CommandLine;
  std::vector<double> Msec;
};

struct TSearch {
  DWORD ProcessId;
  const std::wstring* ClassName;
  HWND Found = nullptr;
};

BOOL CALLBACK FindWindowOf(HWND wnd, LPARAM param) {
  auto& search = *reinterpret_cast<TSearch*>(param);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(wnd, &pid);
  wchar_t name[128] = {};
  ::GetClassNameW(wnd, name, 128);
  if (pid != search.ProcessId || !::IsWindowVisible(wnd) || *search.ClassName != name) return TRUE;
  search.Found = wnd;
  return FALSE;
}

// Milliseconds from CreateProcess to the first paint of the program's window; -1 on failure.
double StartOnce(const TProgram& program) {
  std::wstring commandLine = program.CommandLine;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  const auto start = std::chrono::steady_clock::now();
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return -1;
  TSearch search{pi.dwProcessId, &program.ClassName};
  const auto limit = start + std::chrono::seconds(30);
  while (!search.Found && std::chrono::steady_clock::now() < limit) {
    ::EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
    if (!search.Found) ::Sleep(1);
  }
  double msec = -1;
  if (search.Found && ::WaitForInputIdle(pi.hProcess, 30000) == 0)
    msec = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (search.Found) ::PostMessageW(search.Found, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(pi.hProcess, 1);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return msec;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const auto n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4 || (argc - 2) % 2 != 0) {
    std::fwprintf(stderr, L"usage: StartProbe <runs> <class> <program> [<class> <program> ...]\n");
    return 2;
  }
  const int runs = std::max(1, _wtoi(argv[1]));
  std::vector<TProgram> programs;
  for (int i = 2; i + 1 < argc; i += 2) programs.push_back({argv[i], argv[i + 1], {}});
  for (int run = 0; run < runs; ++run)
    for (TProgram& program : programs) {
      const double msec = StartOnce(program);
      if (msec < 0) {
        std::fwprintf(stderr, L"StartProbe: %ls did not show a %ls window\n", program.CommandLine.c_str(),
                      program.ClassName.c_str());
        return 1;
      }
      program.Msec.push_back(msec);
      std::wprintf(L"run %d %ls %.1f\n", run + 1, program.ClassName.c_str(), msec);
      std::fflush(stdout);
    }
  const double baseline = Median(programs.front().Msec);
  for (const TProgram& program : programs) {
    const auto [low, high] = std::minmax_element(program.Msec.begin(), program.Msec.end());
    const double median = Median(program.Msec);
    std::wprintf(L"%-14ls median %7.1f ms  min %7.1f  max %7.1f  %.2f x the first\n", program.ClassName.c_str(),
                 median, *low, *high, median / baseline);
  }
  return 0;
}
