#pragma once
// Throwaway places for the settings tests: a registry key below HKEY_CURRENT_USER and a folder
// below the system's temporary folder, each with a name of its own per run, removed afterwards.
#include "base/Files.h"
#include "base/Win.h"

#include <cstring>
#include <filesystem>
#include <string>

inline std::wstring UniqueTestName(const wchar_t* prefix) {
  static unsigned counter = 0;
  wchar_t name[96];
  ::wsprintfW(name, L"%s_%lu_%lu_%u", prefix, ::GetCurrentProcessId(), ::GetTickCount(), ++counter);
  return name;
}

class TTestRegistryKey {
public:
  TTestRegistryKey() : FPath(L"Software\\TavrinoTest\\" + UniqueTestName(L"Key")) {}
  explicit TTestRegistryKey(std::wstring path) : FPath(std::move(path)) {}
  ~TTestRegistryKey() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, FPath.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, FPath.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TavrinoTest");  // only when empty
  }
  // Path below HKEY_CURRENT_USER, without leading "\".
  const std::wstring& Path() const { return FPath; }

private:
  std::wstring FPath;
};

class TTestFolder {
public:
  TTestFolder() : FPath(SystemTempFolder() + UniqueTestName(L"TavrinoSettings") + L"\\") {
    std::filesystem::create_directories(FPath);
  }
  ~TTestFolder() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(FPath, ignored))
      ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(FPath, ignored);
  }
  const std::wstring& Path() const { return FPath; }

private:
  std::wstring FPath;
};

// The bytes of a file; empty when it cannot be read.
inline std::string ReadFileBytes(const std::wstring& name) {
  HANDLE file = ::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
  ::CloseHandle(file);
  return bytes;
}

inline void WriteFileBytes(const std::wstring& name, const std::string& bytes) {
  HANDLE file = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  if (!bytes.empty()) ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(file);
}

// The text of a UTF-16LE file after its byte-order mark; empty when it has none.
inline std::wstring ReadUtf16File(const std::wstring& name) {
  std::string bytes = ReadFileBytes(name);
  if (!bytes.starts_with("\xFF\xFE")) return std::wstring();
  std::wstring text((bytes.size() - 2) / 2, L'\0');
  std::memcpy(text.data(), bytes.data() + 2, text.size() * 2);
  return text;
}
