#pragma once
// Throwaway places for the settings tests: a registry key below HKEY_CURRENT_USER with a name of
// its own per run, removed afterwards, and raw access to values and files as another program
// would have it.
#include "base/Files.h"
#include "base/Handle.h"
#include "base/Win.h"
#include "support/TempFolder.h"

#include <cstring>
#include <string>
#include <utility>

class TTestRegistryKey {
public:
  TTestRegistryKey() : FPath(L"Software\\TavrinoTest\\" + UniqueTestName(L"Key")) {}
  explicit TTestRegistryKey(std::wstring path) : FPath(std::move(path)) {}
  TTestRegistryKey(const TTestRegistryKey&) = delete;
  TTestRegistryKey& operator=(const TTestRegistryKey&) = delete;
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

// Writes a value of any type below HKEY_CURRENT_USER, creating its key, as another program would.
inline LSTATUS SetRawValue(const std::wstring& keyPath, const std::wstring& name, DWORD type, const std::string& data) {
  TRegKey key;
  LSTATUS status =
      ::RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(), nullptr);
  if (status != ERROR_SUCCESS) return status;
  return ::RegSetValueExW(key.Get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size()));
}

// Type and bytes of a value below HKEY_CURRENT_USER; REG_NONE with "missing" when there is none.
inline std::pair<DWORD, std::string> RawValue(const std::wstring& keyPath, const std::wstring& name) {
  DWORD type = 0, size = 0;
  if (::RegGetValueW(HKEY_CURRENT_USER, keyPath.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                     &size) != ERROR_SUCCESS)
    return {REG_NONE, "missing"};
  std::string data(size, '\0');
  ::RegGetValueW(HKEY_CURRENT_USER, keyPath.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &size);
  data.resize(size);
  return {type, data};
}

// The raw forms of a 32-bit number and of a string value.
inline std::string DwordBytes(std::int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
inline std::string SzBytes(const std::wstring& text) {
  return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
}

// Holds a file open with the given access, letting others do only what Share allows.
inline TFileHandle HoldOpen(const std::wstring& name, DWORD access, DWORD share) {
  return TFileHandle(::CreateFileW(name.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr));
}

// The text of a UTF-16LE file after its byte-order mark; empty when it has none.
inline std::wstring ReadUtf16File(const std::wstring& name) {
  std::string bytes = ReadFileBytes(name);
  if (!bytes.starts_with("\xFF\xFE")) return std::wstring();
  std::wstring text((bytes.size() - 2) / 2, L'\0');
  std::memcpy(text.data(), bytes.data() + 2, text.size() * 2);
  return text;
}
