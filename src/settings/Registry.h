#pragma once
// Registry access: opens one key at a time by its path below a root hive and reads, writes,
// lists and deletes its values. Reading never raises (std::nullopt for a missing value or one of
// another type); writing raises EOSError with the system's text.
#include "base/Handle.h"
#include "base/Win.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TRegistry {
public:
  explicit TRegistry(HKEY root = HKEY_CURRENT_USER, REGSAM access = KEY_READ);
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;
  ~TRegistry() { CloseKey(); }

  HKEY RootKey() const noexcept { return FRoot; }
  // Closes the open key.
  void SetRootKey(HKEY root);
  // Access rights (and view flag) used by the next OpenKey.
  REGSAM Access() const noexcept { return FAccess; }
  void SetAccess(REGSAM access) noexcept { FAccess = access; }
  // Without lazy writing a key is flushed to disk when it is closed.
  bool LazyWrite() const noexcept { return FLazyWrite; }
  void SetLazyWrite(bool lazyWrite) noexcept { FLazyWrite = lazyWrite; }

  // Opens Key, a path below the root ("\" separated, a leading "\" allowed), with Access(),
  // creating it when CanCreate; closes the previously open key first. False when it fails.
  bool OpenKey(const std::wstring& key, bool canCreate);
  // Why the last OpenKey failed: ERROR_FILE_NOT_FOUND for a missing key; ERROR_SUCCESS after
  // it opened.
  LSTATUS OpenStatus() const noexcept { return FOpenStatus; }
  void CloseKey();
  HKEY CurrentKey() const noexcept { return FKey.Get(); }

  // Values of the open key.
  bool ValueExists(const std::wstring& name) const;
  // Type and size in bytes; false when the value is missing.
  bool GetValueInfo(const std::wstring& name, DWORD& type, DWORD& size) const;
  // Size in bytes, -1 when the value is missing.
  std::int64_t DataSize(const std::wstring& name) const;
  // Type and data of a value in one query: ERROR_SUCCESS, ERROR_FILE_NOT_FOUND for a missing
  // value, or why it cannot be read (no key open, no permission, too large to hold).
  LSTATUS QueryValue(const std::wstring& name, DWORD& type, std::string& data) const noexcept;
  // A 32-bit number value (REG_DWORD of 4 bytes).
  std::optional<std::int32_t> ReadInteger(const std::wstring& name) const;
  // A string value, plain or expandable (not expanded).
  std::optional<std::wstring> ReadString(const std::wstring& name) const;
  // A binary or untyped value.
  std::optional<std::string> ReadBinary(const std::wstring& name) const;
  void WriteInteger(const std::wstring& name, std::int32_t value);
  void WriteString(const std::wstring& name, const std::wstring& value);
  void WriteBinary(const std::wstring& name, const void* data, size_t size);
  std::vector<std::wstring> KeyNames() const;
  std::vector<std::wstring> ValueNames() const;
  bool DeleteValue(const std::wstring& name);

  // Deletes Key (a path below the root) with its values and all sub-keys.
  bool DeleteKey(const std::wstring& key);

private:
  void WriteRaw(const std::wstring& name, DWORD type, const void* data, size_t size);

  HKEY FRoot;
  REGSAM FAccess;
  bool FLazyWrite = true;
  LSTATUS FOpenStatus = ERROR_SUCCESS;
  TRegKey FKey;
};

// The path below the root without the leading and trailing "\".
std::wstring RegistrySubKey(const std::wstring& key);

// A value's data taken as a 32-bit number, a string (terminator removed) or binary data; nullopt
// when the type is another one.
std::optional<std::int32_t> RegistryInteger(DWORD type, const std::string& data);
std::optional<std::wstring> RegistryString(DWORD type, const std::string& data);
std::optional<std::string> RegistryBinary(DWORD type, const std::string& data);
