#include "base/Win32.h"

#include "base/Files.h"
#include "base/Win.h"

#include <vector>

namespace {

// The fixed version information of a file: true with the two 32-bit halves of the file version.
bool FileVersion(const std::wstring& fileName, DWORD& versionMs, DWORD& versionLs) {
  std::wstring name = fileName.empty() ? ProgramFileName() : fileName;
  DWORD ignored = 0;
  DWORD size = ::GetFileVersionInfoSizeW(name.c_str(), &ignored);
  if (size == 0) return false;
  std::vector<unsigned char> data(size);
  if (!::GetFileVersionInfoW(name.c_str(), 0, size, data.data())) return false;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT infoSize = 0;
  if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) || !info ||
      infoSize < sizeof(VS_FIXEDFILEINFO))
    return false;
  versionMs = info->dwFileVersionMS;
  versionLs = info->dwFileVersionLS;
  return true;
}

}  // namespace

std::wstring ComputerName() {
  std::wstring name(MAX_COMPUTERNAME_LENGTH + 1, L'\0');
  DWORD size = static_cast<DWORD>(name.size());
  if (!::GetComputerNameW(name.data(), &size)) {
    if (::GetLastError() != ERROR_BUFFER_OVERFLOW) return std::wstring();
    name.resize(size + 1);
    size = static_cast<DWORD>(name.size());
    if (!::GetComputerNameW(name.data(), &size)) return std::wstring();
  }
  name.resize(size);
  return name;
}

std::wstring ClientComputerName() {
  wchar_t buffer[256];
  DWORD n = ::GetEnvironmentVariableW(L"CLIENTNAME", buffer, static_cast<DWORD>(std::size(buffer)));
  if (n == 0 || n >= std::size(buffer)) return ComputerName();
  return std::wstring(buffer, n);
}

std::wstring UserLoginName() {
  // Account names may have 20 characters and more with a domain: ask for the size needed.
  std::wstring name(257, L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD size = static_cast<DWORD>(name.size());
    if (::GetUserNameW(name.data(), &size)) {
      name.resize(size > 0 ? size - 1 : 0);  // size counts the terminating zero
      return name;
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= name.size()) return std::wstring();
    name.resize(size);
  }
  return std::wstring();
}

TIsWow64ProcessFunc SystemIsWow64Process() {
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  if (!kernel) return nullptr;
  return reinterpret_cast<TIsWow64ProcessFunc>(reinterpret_cast<void*>(::GetProcAddress(kernel, "IsWow64Process")));
}

bool IsWow64Through(TIsWow64ProcessFunc isWow64Process) {
  BOOL wow64 = FALSE;
  return isWow64Process && isWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

bool IsWow64() { return IsWow64Through(SystemIsWow64Process()); }

std::wstring FileVersionText(const std::wstring& fileName) {
  DWORD ms = 0, ls = 0;
  if (!FileVersion(fileName, ms, ls)) return std::wstring();
  return std::to_wstring(HIWORD(ms)) + L'.' + std::to_wstring(LOWORD(ms)) + L'.' + std::to_wstring(HIWORD(ls)) + L'.' +
         std::to_wstring(LOWORD(ls));
}

std::uint32_t FileVersionBuild(const std::wstring& fileName) {
  DWORD ms = 0, ls = 0;
  return FileVersion(fileName, ms, ls) ? ls : 0;
}

void DisableGhosting() {
  using TDisableProcessWindowsGhosting = void(WINAPI*)();
  HMODULE user = ::GetModuleHandleW(L"user32.dll");
  auto disable = user ? reinterpret_cast<TDisableProcessWindowsGhosting>(
                            reinterpret_cast<void*>(::GetProcAddress(user, "DisableProcessWindowsGhosting")))
                      : nullptr;
  if (disable) disable();
}
