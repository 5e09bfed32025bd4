#include "e2e/RunningProgram.h"

#include "base/Exception.h"
#include "support/Pump.h"

#include <stdexcept>

namespace {

std::wstring ProgramPath() {
  // The tests live in build/tests, the program in build.
  wchar_t path[MAX_PATH];
  DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  folder.erase(folder.find_last_of(L'\\'));
  folder.erase(folder.find_last_of(L'\\') + 1);
  return folder + L"Tavrino.exe";
}

std::wstring ClassOf(HWND wnd) {
  wchar_t name[128] = {};
  ::GetClassNameW(wnd, name, 128);
  return name;
}

}  // namespace

TRunningProgram::TRunningProgram(const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + ProgramPath() + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &FInfo))
    RaiseLastOSError(L"CreateProcess " + commandLine);
  FProcess.Reset(FInfo.hProcess);
  FThread.Reset(FInfo.hThread);
}

TRunningProgram::~TRunningProgram() {
  if (::WaitForSingleObject(FProcess.Get(), 0) == WAIT_TIMEOUT) {
    for (HWND wnd : TopLevelWindows(L"TavrinoForm", false)) ::PostMessageW(wnd, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(FProcess.Get(), 10000) != WAIT_OBJECT_0) ::TerminateProcess(FProcess.Get(), 1);
    ::WaitForSingleObject(FProcess.Get(), 10000);
  }
}

std::vector<HWND> TRunningProgram::TopLevelWindows(const std::wstring& className, bool visibleOnly) const {
  struct TSearch {
    DWORD pid;
    const std::wstring* cls;
    bool visibleOnly;
    std::vector<HWND> found;
  } search{FInfo.dwProcessId, &className, visibleOnly, {}};
  ::EnumWindows(
      [](HWND wnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<TSearch*>(param);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(wnd, &pid);
        if (pid == s->pid && ClassOf(wnd) == *s->cls && (!s->visibleOnly || ::IsWindowVisible(wnd)))
          s->found.push_back(wnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND TRunningProgram::WaitForWindow(const std::wstring& className, unsigned limitMsec) const {
  HWND found = nullptr;
  PumpUntil(
      [&] {
        auto windows = TopLevelWindows(className, true);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr || ::WaitForSingleObject(FProcess.Get(), 0) == WAIT_OBJECT_0;
      },
      limitMsec);
  return found;
}

HWND TRunningProgram::LogView() const {
  HWND main = MainWindow();
  auto views = main ? ChildWindows(main, L"TavrinoLogView") : std::vector<HWND>{};
  return views.empty() ? nullptr : views.front();
}

HWND TRunningProgram::Button(const std::wstring& text) const {
  HWND main = MainWindow();
  if (!main) return nullptr;
  for (HWND button : ChildWindows(main, L"Button"))
    if (WindowText(button) == text) return button;
  return nullptr;
}

HWND TRunningProgram::ApplicationWindow() const {
  auto windows = TopLevelWindows(L"TavrinoApplication", false);
  return windows.empty() ? nullptr : windows.front();
}

bool TRunningProgram::WaitForExit(unsigned limitMsec) const {
  return PumpUntil([&] { return ::WaitForSingleObject(FProcess.Get(), 0) == WAIT_OBJECT_0; }, limitMsec);
}

DWORD TRunningProgram::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  ::GetExitCodeProcess(FProcess.Get(), &code);
  return code;
}

std::wstring WindowText(HWND wnd) {
  LRESULT length = 0;
  if (!::SendMessageTimeoutW(wnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, reinterpret_cast<PDWORD_PTR>(&length)))
    return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  ::SendMessageTimeoutW(wnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, 10000,
                        &copied);
  text.resize(copied);
  return text;
}

std::vector<HWND> ChildWindows(HWND parent, const std::wstring& className) {
  struct TSearch {
    const std::wstring* cls;
    std::vector<HWND> found;
  } search{&className, {}};
  ::EnumChildWindows(
      parent,
      [](HWND wnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<TSearch*>(param);
        if (::CompareStringOrdinal(ClassOf(wnd).c_str(), -1, s->cls->c_str(), -1, TRUE) == CSTR_EQUAL)
          s->found.push_back(wnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void SendDatagram(int port, const std::string& bytes) {
  TSocketHandle sock(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  if (!sock) throw std::runtime_error("socket failed");
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = ::htons(static_cast<u_short>(port));
  to.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  if (::sendto(sock.Get(), bytes.data(), static_cast<int>(bytes.size()), 0, reinterpret_cast<sockaddr*>(&to),
               sizeof(to)) != static_cast<int>(bytes.size()))
    throw std::runtime_error("sendto failed");
}

