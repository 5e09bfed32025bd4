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

HKEY RegistryRootKey(TRegistryHKey Root);
std::wstring RegistryRootName(TRegistryHKey Root);

// Settings below a registry key: sections are keys, integers 32-bit numbers, texts strings,
// string lists UTF-8 text in binary values, blobs binary values.
class TRegistrySettings : public TSettings {
public:
  explicit TRegistrySettings(const std::wstring& KeyPrefix, TRegistryHKey Root = hkCurrentUser,
                             TRegistryWin32Root Win32Root = rr6464);

  TRegistry& Registry() noexcept { return FRegistry; }
  TRegistryWin32Root Win32Root() const noexcept { return FWin32Root; }
  TRegistryHKey Root() const noexcept { return FRoot; }
  // The base key path, beginning and ending with "\".
  const std::wstring& KeyPrefix() const noexcept { return FKeyPrefix; }
  // With AutoFlush every key is flushed to disk when it is closed.
  void SetAutoFlush(bool Value) override;

  void Flush() override;
  std::int32_t RdInteger(const std::wstring& Entry) override;
  std::wstring RdString(const std::wstring& Entry) override;
  using TSettings::RdStrings;
  void RdStrings(const std::wstring& Entry, TStrings& Strings, const std::wstring& Default) override;
  void RdBlob(const std::wstring& Entry, TStream& Stream) override;
  std::string RdBinary(const std::wstring& Entry);
  void WrInteger(const std::wstring& Entry, std::int32_t Value) override;
  void WrString(const std::wstring& Entry, const std::wstring& Value) override;
  using TSettings::WrStrings;
  void WrStrings(const std::wstring& Entry, const TStrings& Strings, TTrimStringsOptions Tso) override;
  void WrBlob(const std::wstring& Entry, TStream& Stream) override;
  void GetSubEntries(const std::wstring& Entry, TStrings& Names) override;
  void DelSection(const std::wstring& Section) override;
  void DelEntry(const std::wstring& Entry) override;
  std::wstring SettingsDisplayStr(const std::wstring& Entry) override;
  TSettingsList FillSettingsList(const std::wstring& Entry) override;

  static bool KeyExists(const std::wstring& Key, TRegistryHKey Root);

private:
  std::wstring EntryKey(const std::wstring& Entry) const;
  bool OpenForReading(const std::wstring& Entry);
  // The entry's value in one query: ERROR_FILE_NOT_FOUND when its key or the value is missing
  // (only then is a default written back), or why it cannot be read.
  LSTATUS ReadValue(const std::wstring& Entry, DWORD& Type, std::string& Data);
  // The entry's value as Convert takes it from type and data, or Default(); a missing value is
  // written back with Write (when WriteBack is on).
  template <class TDefault, class TConvert, class TWrite>
  auto ReadNative(const std::wstring& Entry, TDefault Default, TConvert Convert, TWrite Write);
  bool OpenForWriting(const std::wstring& Entry);

  TRegistry FRegistry;
  std::wstring FKeyPrefix;
  TRegistryHKey FRoot;
  TRegistryWin32Root FWin32Root;
};
