#include "base/Streams.h"
#include "base/Unicode.h"
#include "base/Win32.h"
#include "settings/RegistrySettings.h"

#include <algorithm>

namespace {

// The rights keys are opened with for reading and for writing.
constexpr REGSAM kReadAccess = KEY_READ;
constexpr REGSAM kWriteAccess = KEY_WRITE;

// "/" and "\" both separate levels; no separator at either end.
std::wstring NormalKeyPath(std::wstring path) {
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return RegistrySubKey(path);
}

}  // namespace

HKEY RegistryRootKey(TRegistryHKey root) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000000u + root)));
}

std::wstring RegistryRootName(TRegistryHKey root) {
  static const wchar_t* const names[] = {L"HKEY_CLASSES_ROOT", L"HKEY_CURRENT_USER",     L"HKEY_LOCAL_MACHINE",
                                         L"HKEY_USERS",        L"HKEY_PERFORMANCE_DATA", L"HKEY_CURRENT_CONFIG",
                                         L"HKEY_DYN_DATA"};
  return root <= hkDynData ? names[root] : std::wstring();
}

TRegistrySettings::TRegistrySettings(const std::wstring& keyPrefix, TRegistryHKey root,
                                     TRegistryWin32Root win32Root)
    : FRegistry(RegistryRootKey(root)), FRoot(root), FWin32Root(IsWow64() ? win32Root : rr6432) {
  std::wstring prefix = NormalKeyPath(keyPrefix);
  FKeyPrefix = L"\\" + prefix + (prefix.empty() ? L"" : L"\\");
}

void TRegistrySettings::SetAutoFlush(bool value) {
  TSettings::SetAutoFlush(value);
  FRegistry.SetLazyWrite(!value);
}

void TRegistrySettings::Flush() {
  // Every write reaches the registry at once; the system writes it to disk by itself.
  FRegistry.SetLazyWrite(false);
  FRegistry.SetLazyWrite(!AutoFlush());
}

std::wstring TRegistrySettings::EntryKey(const std::wstring& entry) const {
  return FKeyPrefix + NormalKeyPath(EntryPart(entry, 1));
}

bool TRegistrySettings::OpenForReading(const std::wstring& entry) {
  FRegistry.SetAccess(kReadAccess | (FWin32Root == rr6464 ? KEY_WOW64_64KEY : 0));
  return FRegistry.OpenKey(EntryKey(entry), false);
}

bool TRegistrySettings::OpenForWriting(const std::wstring& entry) {
  FRegistry.SetAccess(kWriteAccess);
  return FRegistry.OpenKey(EntryKey(entry), true);
}

LSTATUS TRegistrySettings::ReadValue(const std::wstring& entry, DWORD& type, std::string& data) {
  type = REG_NONE;
  data.clear();
  if (!OpenForReading(entry)) return FRegistry.OpenStatus();
  return FRegistry.QueryValue(EntryPart(entry, 2), type, data);
}

template <class TDefault, class TConvert, class TWrite>
auto TRegistrySettings::ReadNative(const std::wstring& Entry, TDefault fallback, TConvert convert, TWrite Write) {
  return NeverRaise(
      [&] {
        DWORD type;
        std::string data;
        LSTATUS status = ReadValue(Entry, type, data);
        // Only what is missing is filled with the default: a value of another type, or one that
        // cannot be read, stays as it is.
        if (status == ERROR_FILE_NOT_FOUND && WriteBack()) TryWriteBack([&] { Write(fallback()); });
        return convert(type, data).value_or(fallback());
      },
      fallback);
}

std::int32_t TRegistrySettings::RdInteger(const std::wstring& entry) {
  return ReadNative(
      entry, [&] { return StrToIntDef(EntryPart(entry, 3), 0); }, RegistryInteger,
      [&](std::int32_t value) { WrInteger(entry, value); });
}

std::wstring TRegistrySettings::RdString(const std::wstring& entry) {
  return ReadNative(
      entry, [&] { return EntryPart(entry, 3); }, RegistryString,
      [&](const std::wstring& value) { WrString(entry, value); });
}

void TRegistrySettings::RdStrings(const std::wstring& Entry, TStrings& strings, const std::wstring& fallback) {
  NeverRaise(
      [&] {
        DWORD type;
        std::string data;
        LSTATUS status = ReadValue(Entry, type, data);
        // An empty value is an empty list, whatever its type.
        std::optional<std::string> bytes;
        if (status == ERROR_SUCCESS) bytes = data.empty() ? std::string() : RegistryBinary(type, data);
        strings.SetText(bytes ? Utf8ToText(*bytes) : fallback);
        if (status == ERROR_FILE_NOT_FOUND && WriteBack() && IsDefaultList(strings, fallback))
          TryWriteBack([&] { WrStrings(Entry, strings, kWriteBackTrim); });
      },
      [&] { strings.SetText(fallback); });
}

std::string TRegistrySettings::RdBinary(const std::wstring& entry) {
  return NeverRaise(
      [&] {
        if (!OpenForReading(entry)) return std::string();
        return FRegistry.ReadBinary(EntryPart(entry, 2)).value_or(std::string());
      },
      [] { return std::string(); });
}

void TRegistrySettings::RdBlob(const std::wstring& Entry, TStream& stream) {
  NeverRaise(
      [&] {
        std::string bytes = RdBinary(Entry);
        if (!bytes.empty()) stream.Write(bytes.data(), bytes.size());
      },
      [] {});
}

void TRegistrySettings::WrInteger(const std::wstring& entry, std::int32_t value) {
  if (OpenForWriting(entry)) FRegistry.WriteInteger(EntryPart(entry, 2), value);
}

void TRegistrySettings::WrString(const std::wstring& entry, const std::wstring& value) {
  if (OpenForWriting(entry)) FRegistry.WriteString(EntryPart(entry, 2), value);
}

void TRegistrySettings::WrStrings(const std::wstring& entry, const TStrings& strings, TTrimStringsOptions tso) {
  TStringList lines = TrimmedLines(strings, tso);
  std::string bytes = TextToUtf8(lines.Text());
  if (OpenForWriting(entry)) FRegistry.WriteBinary(EntryPart(entry, 2), bytes.data(), bytes.size());
}

void TRegistrySettings::WrBlob(const std::wstring& entry, TStream& stream) {
  std::string bytes = ReadStreamBytes(stream);
  if (OpenForWriting(entry)) FRegistry.WriteBinary(EntryPart(entry, 2), bytes.data(), bytes.size());
}

void TRegistrySettings::GetSubEntries(const std::wstring& Entry, TStrings& names) {
  NeverRaise(
      [&] {
        TStringsUpdate update(names);
        names.Clear();
        FRegistry.SetAccess(kReadAccess);
        if (!FRegistry.OpenKey(EntryKey(Entry), false)) return;
        for (const std::wstring& name : FRegistry.KeyNames()) names.Add(name);
        for (const std::wstring& name : FRegistry.ValueNames()) names.Add(name);
      },
      [&] { names.Clear(); });
}

void TRegistrySettings::DelSection(const std::wstring& section) {
  FRegistry.SetAccess(kWriteAccess);
  FRegistry.DeleteKey(EntryKey(section));
}

void TRegistrySettings::DelEntry(const std::wstring& entry) {
  // A missing key holds no value to delete: nothing is created for it.
  FRegistry.SetAccess(kWriteAccess);
  if (FRegistry.OpenKey(EntryKey(entry), false)) FRegistry.DeleteValue(EntryPart(entry, 2));
}

std::wstring TRegistrySettings::SettingsDisplayStr(const std::wstring& entry) {
  return RegistryRootName(FRoot) + FKeyPrefix + EntryPart(entry, 1) + L" \u2192 " + EntryPart(entry, 2);
}

TSettingsList TRegistrySettings::FillSettingsList(const std::wstring& /*Entry*/) { return TSettingsList(); }

bool TRegistrySettings::KeyExists(const std::wstring& key, TRegistryHKey root) {
  TRegistry registry(RegistryRootKey(root), kReadAccess);
  return registry.OpenKey(L"\\" + NormalKeyPath(key) + L"\\", false);
}
