#include "settings/Registry.h"

#include "base/Exception.h"

#include <algorithm>
#include <limits>
#include <new>

std::wstring RegistrySubKey(const std::wstring& Key) {
  size_t first = Key.find_first_not_of(L'\\');
  if (first == std::wstring::npos) return std::wstring();
  return Key.substr(first, Key.find_last_not_of(L'\\') - first + 1);
}

TRegistry::TRegistry(HKEY Root, REGSAM Access) : FRoot(Root), FAccess(Access) {}

void TRegistry::SetRootKey(HKEY Root) {
  CloseKey();
  FRoot = Root;
}

bool TRegistry::OpenKey(const std::wstring& Key, bool CanCreate) {
  CloseKey();
  std::wstring subKey = RegistrySubKey(Key);
  FOpenStatus = CanCreate ? ::RegCreateKeyExW(FRoot, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, FAccess,
                                              nullptr, FKey.Put(), nullptr)
                          : ::RegOpenKeyExW(FRoot, subKey.c_str(), 0, FAccess, FKey.Put());
  if (FOpenStatus == ERROR_SUCCESS) return true;
  FKey.Release();  // whatever a failed call left there is no key
  return false;
}

void TRegistry::CloseKey() {
  if (FKey && !FLazyWrite) ::RegFlushKey(FKey.Get());
  FKey.Reset();
}

bool TRegistry::GetValueInfo(const std::wstring& Name, DWORD& Type, DWORD& Size) const {
  Type = REG_NONE;
  Size = 0;
  return FKey && ::RegQueryValueExW(FKey.Get(), Name.c_str(), nullptr, &Type, nullptr, &Size) == ERROR_SUCCESS;
}

bool TRegistry::ValueExists(const std::wstring& Name) const {
  DWORD type, size;
  return GetValueInfo(Name, type, size);
}

std::int64_t TRegistry::DataSize(const std::wstring& Name) const {
  DWORD type, size;
  return GetValueInfo(Name, type, size) ? static_cast<std::int64_t>(size) : -1;
}

LSTATUS TRegistry::QueryValue(const std::wstring& Name, DWORD& Type, std::string& Data) const noexcept {
  Type = REG_NONE;
  Data.clear();
  if (!FKey) return ERROR_INVALID_HANDLE;
  // Small values come in one call; larger ones (or ones that grew meanwhile) in a buffer of the size asked for.
  BYTE small[256];
  DWORD size = sizeof(small);
  LSTATUS status = ::RegQueryValueExW(FKey.Get(), Name.c_str(), nullptr, &Type, small, &size);
  try {
    if (status == ERROR_SUCCESS) {
      Data.assign(reinterpret_cast<const char*>(small), std::min<DWORD>(size, sizeof(small)));
      return ERROR_SUCCESS;
    }
    for (int attempt = 0; attempt < 8 && status == ERROR_MORE_DATA; ++attempt) {
      Data.assign(size, '\0');
      DWORD got = size;
      status =
          ::RegQueryValueExW(FKey.Get(), Name.c_str(), nullptr, &Type, reinterpret_cast<BYTE*>(Data.data()), &got);
      if (status == ERROR_SUCCESS) {
        Data.resize(std::min<size_t>(got, Data.size()));
        return ERROR_SUCCESS;
      }
      size = got;
    }
  } catch (const std::bad_alloc&) {
    status = ERROR_OUTOFMEMORY;
  }
  Data.clear();
  return status;
}

std::optional<std::int32_t> RegistryInteger(DWORD Type, const std::string& Data) {
  if (Type != REG_DWORD || Data.size() != sizeof(std::int32_t)) return std::nullopt;
  std::int32_t value;
  std::copy(Data.begin(), Data.end(), reinterpret_cast<char*>(&value));
  return value;
}

std::optional<std::wstring> RegistryString(DWORD Type, const std::string& Data) {
  if (Type != REG_SZ && Type != REG_EXPAND_SZ) return std::nullopt;
  std::wstring text(Data.size() / sizeof(wchar_t), L'\0');
  std::copy(Data.begin(), Data.begin() + static_cast<std::ptrdiff_t>(text.size() * sizeof(wchar_t)),
            reinterpret_cast<char*>(text.data()));
  // The stored terminator (other programs may leave it out); zeros inside belong to the text.
  if (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

std::optional<std::string> RegistryBinary(DWORD Type, const std::string& Data) {
  if (Type != REG_BINARY && Type != REG_NONE) return std::nullopt;
  return Data;
}

std::optional<std::int32_t> TRegistry::ReadInteger(const std::wstring& Name) const {
  DWORD type;
  std::string data;
  return QueryValue(Name, type, data) == ERROR_SUCCESS ? RegistryInteger(type, data) : std::nullopt;
}

std::optional<std::wstring> TRegistry::ReadString(const std::wstring& Name) const {
  DWORD type;
  std::string data;
  return QueryValue(Name, type, data) == ERROR_SUCCESS ? RegistryString(type, data) : std::nullopt;
}

std::optional<std::string> TRegistry::ReadBinary(const std::wstring& Name) const {
  DWORD type;
  std::string data;
  return QueryValue(Name, type, data) == ERROR_SUCCESS ? RegistryBinary(type, data) : std::nullopt;
}

void TRegistry::WriteRaw(const std::wstring& Name, DWORD Type, const void* Data, size_t Size) {
  if (!FKey) throw EOSError(ERROR_INVALID_HANDLE, L"Failed to set data for \"" + Name + L"\"");
  if (Size > std::numeric_limits<DWORD>::max())
    throw EOSError(ERROR_INVALID_PARAMETER, L"Failed to set data for \"" + Name + L"\"");
  LSTATUS status = ::RegSetValueExW(FKey.Get(), Name.c_str(), 0, Type, static_cast<const BYTE*>(Data),
                                    static_cast<DWORD>(Size));
  if (status != ERROR_SUCCESS) throw EOSError(static_cast<unsigned long>(status), L"Failed to set data for \"" + Name + L"\"");
}

void TRegistry::WriteInteger(const std::wstring& Name, std::int32_t Value) {
  WriteRaw(Name, REG_DWORD, &Value, sizeof(Value));
}

void TRegistry::WriteString(const std::wstring& Name, const std::wstring& Value) {
  WriteRaw(Name, REG_SZ, Value.c_str(), (Value.size() + 1) * sizeof(wchar_t));
}

void TRegistry::WriteBinary(const std::wstring& Name, const void* Data, size_t Size) {
  WriteRaw(Name, REG_BINARY, Data, Size);
}

namespace {

// Names of a key's sub-keys or values, in the registry's order.
std::vector<std::wstring> EnumNames(HKEY key, bool subKeys) {
  std::vector<std::wstring> names;
  if (!key) return names;
  std::wstring name(256, L'\0');
  for (DWORD index = 0;;) {
    DWORD length = static_cast<DWORD>(name.size());
    LSTATUS status = subKeys ? ::RegEnumKeyExW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr)
                             : ::RegEnumValueW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_MORE_DATA && name.size() < 65536) {
      name.resize(name.size() * 4);  // the same index again with room for a long name
      continue;
    }
    if (status != ERROR_SUCCESS) break;
    names.emplace_back(name.data(), length);
    ++index;
  }
  return names;
}

}  // namespace

std::vector<std::wstring> TRegistry::KeyNames() const { return EnumNames(FKey.Get(), true); }

std::vector<std::wstring> TRegistry::ValueNames() const { return EnumNames(FKey.Get(), false); }

bool TRegistry::DeleteValue(const std::wstring& Name) {
  return FKey && ::RegDeleteValueW(FKey.Get(), Name.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::DeleteKey(const std::wstring& Key) {
  std::wstring subKey = RegistrySubKey(Key);
  if (subKey.empty()) return false;  // never the whole root
  CloseKey();
  // Sub-keys deepest first, then the key itself.
  LSTATUS status = ::RegDeleteTreeW(FRoot, subKey.c_str());
  if (status != ERROR_SUCCESS) return false;
  TRegKey still;
  if (::RegOpenKeyExW(FRoot, subKey.c_str(), 0, KEY_READ, still.Put()) == ERROR_SUCCESS) {
    still.Reset();
    return ::RegDeleteKeyW(FRoot, subKey.c_str()) == ERROR_SUCCESS;
  }
  return true;
}
