#include "settings/Registry.h"

#include "base/Exception.h"

#include <algorithm>
#include <limits>
#include <new>

std::wstring RegistrySubKey(const std::wstring& key) {
  size_t first = key.find_first_not_of(L'\\');
  if (first == std::wstring::npos) return std::wstring();
  return key.substr(first, key.find_last_not_of(L'\\') - first + 1);
}

TRegistry::TRegistry(HKEY root, REGSAM access) : FRoot(root), FAccess(access) {}

void TRegistry::SetRootKey(HKEY root) {
  CloseKey();
  FRoot = root;
}

bool TRegistry::OpenKey(const std::wstring& key, bool canCreate) {
  CloseKey();
  std::wstring subKey = RegistrySubKey(key);
  FOpenStatus = canCreate ? ::RegCreateKeyExW(FRoot, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, FAccess,
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

bool TRegistry::GetValueInfo(const std::wstring& name, DWORD& type, DWORD& size) const {
  type = REG_NONE;
  size = 0;
  return FKey && ::RegQueryValueExW(FKey.Get(), name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
}

bool TRegistry::ValueExists(const std::wstring& name) const {
  DWORD type, size;
  return GetValueInfo(name, type, size);
}

std::int64_t TRegistry::DataSize(const std::wstring& name) const {
  DWORD type, size;
  return GetValueInfo(name, type, size) ? static_cast<std::int64_t>(size) : -1;
}

LSTATUS TRegistry::QueryValue(const std::wstring& name, DWORD& type, std::string& data) const noexcept {
  type = REG_NONE;
  data.clear();
  if (!FKey) return ERROR_INVALID_HANDLE;
  // Small values come in one call; larger ones (or ones that grew meanwhile) in a buffer of the size asked for.
  BYTE small[256];
  DWORD size = sizeof(small);
  LSTATUS status = ::RegQueryValueExW(FKey.Get(), name.c_str(), nullptr, &type, small, &size);
  try {
    if (status == ERROR_SUCCESS) {
      data.assign(reinterpret_cast<const char*>(small), std::min<DWORD>(size, sizeof(small)));
      return ERROR_SUCCESS;
    }
    for (int attempt = 0; attempt < 8 && status == ERROR_MORE_DATA; ++attempt) {
      data.assign(size, '\0');
      DWORD got = size;
      status =
          ::RegQueryValueExW(FKey.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
      if (status == ERROR_SUCCESS) {
        data.resize(std::min<size_t>(got, data.size()));
        return ERROR_SUCCESS;
      }
      size = got;
    }
  } catch (const std::bad_alloc&) {
    status = ERROR_OUTOFMEMORY;
  }
  data.clear();
  return status;
}

std::optional<std::int32_t> RegistryInteger(DWORD type, const std::string& data) {
  if (type != REG_DWORD || data.size() != sizeof(std::int32_t)) return std::nullopt;
  std::int32_t value;
  std::copy(data.begin(), data.end(), reinterpret_cast<char*>(&value));
  return value;
}

std::optional<std::wstring> RegistryString(DWORD type, const std::string& data) {
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  std::copy(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(text.size() * sizeof(wchar_t)),
            reinterpret_cast<char*>(text.data()));
  // The stored terminator (other programs may leave it out); zeros inside belong to the text.
  if (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

std::optional<std::string> RegistryBinary(DWORD type, const std::string& data) {
  if (type != REG_BINARY && type != REG_NONE) return std::nullopt;
  return data;
}

std::optional<std::int32_t> TRegistry::ReadInteger(const std::wstring& name) const {
  DWORD type;
  std::string data;
  return QueryValue(name, type, data) == ERROR_SUCCESS ? RegistryInteger(type, data) : std::nullopt;
}

std::optional<std::wstring> TRegistry::ReadString(const std::wstring& name) const {
  DWORD type;
  std::string data;
  return QueryValue(name, type, data) == ERROR_SUCCESS ? RegistryString(type, data) : std::nullopt;
}

std::optional<std::string> TRegistry::ReadBinary(const std::wstring& name) const {
  DWORD type;
  std::string data;
  return QueryValue(name, type, data) == ERROR_SUCCESS ? RegistryBinary(type, data) : std::nullopt;
}

void TRegistry::WriteRaw(const std::wstring& name, DWORD type, const void* data, size_t size) {
  if (!FKey) throw EOSError(ERROR_INVALID_HANDLE, L"Failed to set data for \"" + name + L"\"");
  if (size > std::numeric_limits<DWORD>::max())
    throw EOSError(ERROR_INVALID_PARAMETER, L"Failed to set data for \"" + name + L"\"");
  LSTATUS status = ::RegSetValueExW(FKey.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                                    static_cast<DWORD>(size));
  if (status != ERROR_SUCCESS) throw EOSError(static_cast<unsigned long>(status), L"Failed to set data for \"" + name + L"\"");
}

void TRegistry::WriteInteger(const std::wstring& name, std::int32_t value) {
  WriteRaw(name, REG_DWORD, &value, sizeof(value));
}

void TRegistry::WriteString(const std::wstring& name, const std::wstring& value) {
  WriteRaw(name, REG_SZ, value.c_str(), (value.size() + 1) * sizeof(wchar_t));
}

void TRegistry::WriteBinary(const std::wstring& name, const void* data, size_t size) {
  WriteRaw(name, REG_BINARY, data, size);
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

bool TRegistry::DeleteValue(const std::wstring& name) {
  return FKey && ::RegDeleteValueW(FKey.Get(), name.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::DeleteKey(const std::wstring& key) {
  std::wstring subKey = RegistrySubKey(key);
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
