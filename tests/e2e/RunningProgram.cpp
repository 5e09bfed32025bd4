#include "e2e/RunningProgram.h"

#include "base/Exception.h"
#include "support/Pump.h"
#include "support/TestSupport.h"

#include <algorithm>
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

HWND TRunningProgram::FocusedView() const {
  HWND view = LogView();
  EXPECT_NE(view, nullptr);
  ::SetForegroundWindow(MainWindow());
  EXPECT_TRUE(PumpUntil([&] { return FocusedWindowOf(view) == view; }));
  return view;
}

std::vector<TToolButtonSeen> TRunningProgram::ToolButtons() const {
  HWND main = MainWindow();
  return main ? ToolButtonsOf(main) : std::vector<TToolButtonSeen>{};
}

TToolButtonSeen TRunningProgram::Button(const std::wstring& name) const {
  HWND main = MainWindow();
  return main ? ToolButtonOf(main, name) : TToolButtonSeen{};
}

TToolButtonSeen TRunningProgram::PortButton() const {
  for (const TToolButtonSeen& button : ToolButtons()) {
    const std::wstring name = button.Name();
    if (!name.empty() && name.find_first_not_of(L"0123456789") == std::wstring::npos) return button;
  }
  return {};
}

void ClickWithMouse(const TToolButtonSeen& button) {
  const RECT r = button.ScreenRect();
  ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
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

void SendDatagram(int port, const std::string& bytes) { TDatagramSender(port).Send(bytes); }

TDatagramSender::TDatagramSender(int port) : FSocket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP)) {
  if (!FSocket) throw std::runtime_error("socket failed");
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
  int length = sizeof local;
  if (::bind(FSocket.Get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
      ::getsockname(FSocket.Get(), reinterpret_cast<sockaddr*>(&local), &length) != 0)
    throw std::runtime_error("bind failed");
  FPort = ::ntohs(local.sin_port);
  FTo.sin_family = AF_INET;
  FTo.sin_port = ::htons(static_cast<u_short>(port));
  FTo.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
}

void TDatagramSender::Send(const std::string& bytes) const {
  if (::sendto(FSocket.Get(), bytes.data(), static_cast<int>(bytes.size()), 0, reinterpret_cast<const sockaddr*>(&FTo),
               sizeof FTo) != static_cast<int>(bytes.size()))
    throw std::runtime_error("sendto failed");
}


TRegistryValueBackup::TRegistryValueBackup(HKEY root, const std::wstring& path, const std::wstring& name)
    : FRoot(root), FPath(path), FName(name) {
  DWORD size = 0;
  if (::RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &FType, nullptr, &size) !=
      ERROR_SUCCESS)
    return;
  FData.resize(size);
  FExisted = ::RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &FType, FData.data(),
                            &size) == ERROR_SUCCESS;
  FData.resize(size);
}

TRegistryValueBackup::~TRegistryValueBackup() {
  if (FExisted)
    ::RegSetKeyValueW(FRoot, FPath.c_str(), FName.c_str(), FType, FData.data(), static_cast<DWORD>(FData.size()));
  else
    ::RegDeleteKeyValueW(FRoot, FPath.c_str(), FName.c_str());
}

TDisplayScale::TDisplayScale(int dpi) : FEarlier(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels") {
  const DWORD value = static_cast<DWORD>(dpi);
  if (::RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &value,
                        sizeof(value)) != ERROR_SUCCESS)
    throw std::runtime_error("LogPixels cannot be written");
}

TScreenPixels ScreenPixels(const RECT& screenRect) {
  TScreenPixels shot;
  shot.Width = screenRect.right - screenRect.left;
  shot.Height = screenRect.bottom - screenRect.top;
  if (shot.Width <= 0 || shot.Height <= 0) return {};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = shot.Width;
  info.bmiHeader.biHeight = -shot.Height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  TWindowDc screen(nullptr);
  TBitmapHandle bitmap(::CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  TMemoryDc memory(::CreateCompatibleDC(screen.Get()));
  if (!bitmap || !memory || !bits) throw std::runtime_error("no bitmap for a screen shot");
  {
    TSelectObject selected(memory.Get(), bitmap.Get());
    ::BitBlt(memory.Get(), 0, 0, shot.Width, shot.Height, screen.Get(), screenRect.left, screenRect.top,
             SRCCOPY | CAPTUREBLT);
  }
  ::GdiFlush();
  const auto* bgrx = static_cast<const std::uint32_t*>(bits);
  shot.Pixels.resize(static_cast<size_t>(shot.Width) * static_cast<size_t>(shot.Height));
  for (size_t i = 0; i < shot.Pixels.size(); ++i)
    shot.Pixels[i] = RGB((bgrx[i] >> 16) & 0xFF, (bgrx[i] >> 8) & 0xFF, bgrx[i] & 0xFF);
  return shot;
}

RECT ScreenClientRect(HWND wnd) {
  RECT r{};
  ::GetClientRect(wnd, &r);
  ::MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

LRESULT Ask(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(wnd, msg, wParam, lParam, SMTO_NORMAL, 10000, &result);
  return static_cast<LRESULT>(result);
}

LRESULT LineCount(HWND view) { return Ask(view, EM_GETLINECOUNT); }

std::wstring LineOf(HWND view, LRESULT line) {
  wchar_t text[256] = {};
  *reinterpret_cast<WORD*>(text) = 255;
  const LRESULT length = Ask(view, EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(text));
  return std::wstring(text, static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
}

long long GermanNumber(const std::wstring& number) {
  if (number.empty()) return -1;
  long long count = 0;
  for (std::size_t i = 0; i < number.size(); ++i) {
    // Groups of three digits, separated by points, from the right.
    if ((number.size() - i) % 4 == 0) {
      if (number[i] != L'.') return -1;
      continue;
    }
    if (number[i] < L'0' || number[i] > L'9') return -1;
    count = count * 10 + (number[i] - L'0');
  }
  return count;
}

HWND StatusLine(HWND main) {
  for (HWND line : ChildWindows(main, L"TavrinoStatusLine"))
    if (::IsWindowVisible(line)) return line;
  return nullptr;
}

std::optional<std::wstring> StatusField(HWND main, const std::wstring& head) {
  HWND line = StatusLine(main);
  if (!line) return std::nullopt;
  const std::wstring text = WindowText(line);
  for (std::size_t at = 0; at <= text.size();) {
    const std::size_t end = std::min(text.find(L'\t', at), text.size());
    const std::wstring field = text.substr(at, end - at);
    if (field.starts_with(head)) return field;
    at = end + 1;
  }
  return std::nullopt;
}

long long StatusCount(HWND main, const std::wstring& head) {
  const std::optional<std::wstring> field = StatusField(main, head);
  return field ? GermanNumber(field->substr(head.size())) : -1;
}

DWORD StoredSettingNumber(const wchar_t* name) {
  DWORD value = 0xFFFF, size = sizeof value;
  ::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
  return value;
}

std::wstring StoredSettingText(const wchar_t* name) {
  wchar_t value[64] = {};
  DWORD size = sizeof value;
  if (::RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
    return L"(none)";
  return value;
}

void StoreSettingNumber(const wchar_t* name, DWORD value) {
  ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof value), ERROR_SUCCESS);
}

TSettingAtDefault::TSettingAtDefault(const wchar_t* name) : FBackup(HKEY_CURRENT_USER, kSettingsKey, name) {
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name);
}

void ChooseInViewMenu(HWND main, HWND view, std::initializer_list<WORD> keys) {
  ::SetForegroundWindow(main);
  ClickWithMouse(view, true);
  auto openMenus = [] {
    int open = 0;
    for (HWND menu = nullptr; (menu = ::FindWindowExW(nullptr, menu, L"#32768", nullptr)) != nullptr;)
      if (::IsWindowVisible(menu)) ++open;
    return open;
  };
  ASSERT_TRUE(PumpUntil([&] { return openMenus() >= 1; }));
  int level = 1;
  for (WORD key : keys) {
    PressKey(key);
    if (key != *(keys.end() - 1)) {
      ASSERT_TRUE(PumpUntil([&] { return openMenus() > level; })) << "submenu " << key;
    }
    ++level;
  }
  ASSERT_TRUE(PumpUntil([&] { return openMenus() == 0; }));
}
