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

HKEY RegistryRootKey(TRegistryHKey Root) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(0x80000000u + Root)));
}

std::wstring RegistryRootName(TRegistryHKey Root) {
  static const wchar_t* const names[] = {L"HKEY_CLASSES_ROOT", L"HKEY_CURRENT_USER",     L"HKEY_LOCAL_MACHINE",
                                         L"HKEY_USERS",        L"HKEY_PERFORMANCE_DATA", L"HKEY_CURRENT_CONFIG",
                                         L"HKEY_DYN_DATA"};
  return Root <= hkDynData ? names[Root] : std::wstring();
}

TRegistrySettings::TRegistrySettings(const std::wstring& KeyPrefix, TRegistryHKey Root,
                                     TRegistryWin32Root Win32Root)
    : FRegistry(RegistryRootKey(Root)), FRoot(Root), FWin32Root(IsWow64() ? Win32Root : rr6432) {
  std::wstring prefix = NormalKeyPath(KeyPrefix);
  FKeyPrefix = L"\\" + prefix + (prefix.empty() ? L"" : L"\\");
}

void TRegistrySettings::SetAutoFlush(bool Value) {
  TSettings::SetAutoFlush(Value);
  FRegistry.SetLazyWrite(!Value);
}

void TRegistrySettings::Flush() {
  // Every write reaches the registry at once; the system writes it to disk by itself.
  FRegistry.SetLazyWrite(false);
  FRegistry.SetLazyWrite(!AutoFlush());
}

std::wstring TRegistrySettings::EntryKey(const std::wstring& Entry) const {
  return FKeyPrefix + NormalKeyPath(EntryPart(Entry, 1));
}

bool TRegistrySettings::OpenForReading(const std::wstring& Entry) {
  FRegistry.SetAccess(kReadAccess | (FWin32Root == rr6464 ? KEY_WOW64_64KEY : 0));
  return FRegistry.OpenKey(EntryKey(Entry), false);
}

bool TRegistrySettings::OpenForWriting(const std::wstring& Entry) {
  FRegistry.SetAccess(kWriteAccess);
  return FRegistry.OpenKey(EntryKey(Entry), true);
}

LSTATUS TRegistrySettings::ReadValue(const std::wstring& Entry, DWORD& Type, std::string& Data) {
  Type = REG_NONE;
  Data.clear();
  if (!OpenForReading(Entry)) return FRegistry.OpenStatus();
  return FRegistry.QueryValue(EntryPart(Entry, 2), Type, Data);
}

template <class TDefault, class TConvert, class TWrite>
auto TRegistrySettings::ReadNative(const std::wstring& Entry, TDefault Default, TConvert Convert, TWrite Write) {
  return NeverRaise(
      [&] {
        DWORD type;
        std::string data;
        LSTATUS status = ReadValue(Entry, type, data);
        // Only what is missing is filled with the default: a value of another type, or one that
        // cannot be read, stays as it is.
        if (status == ERROR_FILE_NOT_FOUND && WriteBack()) TryWriteBack([&] { Write(Default()); });
        return Convert(type, data).value_or(Default());
      },
      Default);
}

std::int32_t TRegistrySettings::RdInteger(const std::wstring& Entry) {
  return ReadNative(
      Entry, [&] { return StrToIntDef(EntryPart(Entry, 3), 0); }, RegistryInteger,
      [&](std::int32_t value) { WrInteger(Entry, value); });
}

std::wstring TRegistrySettings::RdString(const std::wstring& Entry) {
  return ReadNative(
      Entry, [&] { return EntryPart(Entry, 3); }, RegistryString,
      [&](const std::wstring& value) { WrString(Entry, value); });
}

void TRegistrySettings::RdStrings(const std::wstring& Entry, TStrings& Strings, const std::wstring& Default) {
  NeverRaise(
      [&] {
        DWORD type;
        std::string data;
        LSTATUS status = ReadValue(Entry, type, data);
        // An empty value is an empty list, whatever its type.
        std::optional<std::string> bytes;
        if (status == ERROR_SUCCESS) bytes = data.empty() ? std::string() : RegistryBinary(type, data);
        Strings.SetText(bytes ? Utf8ToText(*bytes) : Default);
        if (status == ERROR_FILE_NOT_FOUND && WriteBack() && IsDefaultList(Strings, Default))
          TryWriteBack([&] { WrStrings(Entry, Strings, kWriteBackTrim); });
      },
      [&] { Strings.SetText(Default); });
}

std::string TRegistrySettings::RdBinary(const std::wstring& Entry) {
  return NeverRaise(
      [&] {
        if (!OpenForReading(Entry)) return std::string();
        return FRegistry.ReadBinary(EntryPart(Entry, 2)).value_or(std::string());
      },
      [] { return std::string(); });
}

void TRegistrySettings::RdBlob(const std::wstring& Entry, TStream& Stream) {
  NeverRaise(
      [&] {
        std::string bytes = RdBinary(Entry);
        if (!bytes.empty()) Stream.Write(bytes.data(), bytes.size());
      },
      [] {});
}

void TRegistrySettings::WrInteger(const std::wstring& Entry, std::int32_t Value) {
  if (OpenForWriting(Entry)) FRegistry.WriteInteger(EntryPart(Entry, 2), Value);
}

void TRegistrySettings::WrString(const std::wstring& Entry, const std::wstring& Value) {
  if (OpenForWriting(Entry)) FRegistry.WriteString(EntryPart(Entry, 2), Value);
}

void TRegistrySettings::WrStrings(const std::wstring& Entry, const TStrings& Strings, TTrimStringsOptions Tso) {
  TStringList lines = TrimmedLines(Strings, Tso);
  std::string bytes = TextToUtf8(lines.Text());
  if (OpenForWriting(Entry)) FRegistry.WriteBinary(EntryPart(Entry, 2), bytes.data(), bytes.size());
}

void TRegistrySettings::WrBlob(const std::wstring& Entry, TStream& Stream) {
  std::string bytes = ReadStreamBytes(Stream);
  if (OpenForWriting(Entry)) FRegistry.WriteBinary(EntryPart(Entry, 2), bytes.data(), bytes.size());
}

void TRegistrySettings::GetSubEntries(const std::wstring& Entry, TStrings& Names) {
  NeverRaise(
      [&] {
        TStringsUpdate update(Names);
        Names.Clear();
        FRegistry.SetAccess(kReadAccess);
        if (!FRegistry.OpenKey(EntryKey(Entry), false)) return;
        for (const std::wstring& name : FRegistry.KeyNames()) Names.Add(name);
        for (const std::wstring& name : FRegistry.ValueNames()) Names.Add(name);
      },
      [&] { Names.Clear(); });
}

void TRegistrySettings::DelSection(const std::wstring& Section) {
  FRegistry.SetAccess(kWriteAccess);
  FRegistry.DeleteKey(EntryKey(Section));
}

void TRegistrySettings::DelEntry(const std::wstring& Entry) {
  // A missing key holds no value to delete: nothing is created for it.
  FRegistry.SetAccess(kWriteAccess);
  if (FRegistry.OpenKey(EntryKey(Entry), false)) FRegistry.DeleteValue(EntryPart(Entry, 2));
}

std::wstring TRegistrySettings::SettingsDisplayStr(const std::wstring& Entry) {
  return RegistryRootName(FRoot) + FKeyPrefix + EntryPart(Entry, 1) + L" \u2192 " + EntryPart(Entry, 2);
}

TSettingsList TRegistrySettings::FillSettingsList(const std::wstring& /*Entry*/) { return TSettingsList(); }

bool TRegistrySettings::KeyExists(const std::wstring& Key, TRegistryHKey Root) {
  TRegistry registry(RegistryRootKey(Root), kReadAccess);
  return registry.OpenKey(L"\\" + NormalKeyPath(Key) + L"\\", false);
}
