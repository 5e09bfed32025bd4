#pragma once
// The registry store: settings below a registry key.
#include "base/Win.h"
#include "settings/Registry.h"
#include "settings/Settings.h"

#include <cstdint>
#include <string>

enum TRegistryHKey : std::uint8_t {
  hkClassesRoot,
  hkCurrentUser,
  hkLocalMachine,
  hkUsers,
  hkPerformanceData,
  hrCurrentConfig,
  hkDynData
};
// Which view a 32-bit program on 64-bit Windows reads.
enum TRegistryWin32Root : std::uint8_t { rr6432, rr6464 };

HKEY RegistryRootKey(TRegistryHKey root);
std::wstring RegistryRootName(TRegistryHKey root);

// Settings below a registry key: sections are keys, integers 32-bit numbers, texts strings,
// string lists UTF-8 text in binary values, blobs binary values.
class TRegistrySettings : public TSettings {
public:
  explicit TRegistrySettings(const std::wstring& keyPrefix, TRegistryHKey root = hkCurrentUser,
                             TRegistryWin32Root win32Root = rr6464);

  TRegistry& Registry() noexcept { return FRegistry; }
  TRegistryWin32Root Win32Root() const noexcept { return FWin32Root; }
  TRegistryHKey Root() const noexcept { return FRoot; }
  // The base key path, beginning and ending with "\".
  const std::wstring& KeyPrefix() const noexcept { return FKeyPrefix; }
  // With AutoFlush every key is flushed to disk when it is closed.
  void SetAutoFlush(bool value) override;

  void Flush() override;
  std::int32_t RdInteger(const std::wstring& entry) override;
  std::wstring RdString(const std::wstring& entry) override;
  using TSettings::RdStrings;
  void RdStrings(const std::wstring& entry, TStrings& strings, const std::wstring& fallback) override;
  void RdBlob(const std::wstring& entry, TStream& stream) override;
  std::string RdBinary(const std::wstring& entry);
  void WrInteger(const std::wstring& entry, std::int32_t value) override;
  void WrString(const std::wstring& entry, const std::wstring& value) override;
  using TSettings::WrStrings;
  void WrStrings(const std::wstring& entry, const TStrings& strings, TTrimStringsOptions tso) override;
  void WrBlob(const std::wstring& entry, TStream& stream) override;
  void GetSubEntries(const std::wstring& entry, TStrings& names) override;
  void DelSection(const std::wstring& section) override;
  void DelEntry(const std::wstring& entry) override;
  std::wstring SettingsDisplayStr(const std::wstring& entry) override;
  TSettingsList FillSettingsList(const std::wstring& entry) override;

  static bool KeyExists(const std::wstring& key, TRegistryHKey root);

private:
  std::wstring EntryKey(const std::wstring& entry) const;
  bool OpenForReading(const std::wstring& entry);
  // The entry's value in one query: ERROR_FILE_NOT_FOUND when its key or the value is missing
  // (only then is a default written back), or why it cannot be read.
  LSTATUS ReadValue(const std::wstring& entry, DWORD& type, std::string& data);
  // The entry's value as Convert takes it from type and data, or fallback(); a missing value is
  // written back with Write (when WriteBack is on).
  template <class TDefault, class TConvert, class TWrite>
  auto ReadNative(const std::wstring& entry, TDefault fallback, TConvert convert, TWrite write);
  bool OpenForWriting(const std::wstring& entry);

  TRegistry FRegistry;
  std::wstring FKeyPrefix;
  TRegistryHKey FRoot;
  TRegistryWin32Root FWin32Root;
};
