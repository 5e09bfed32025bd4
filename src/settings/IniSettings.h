#pragma once
// The INI store: settings in an INI file through the system's profile functions.
#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <string>

// Settings in an INI file: sections and keys as named by the entry; a string list fills a section
// of its own with "Count" and the numbered keys "1".."n".
class TIniSettings : public TSettings {
public:
  TIniSettings(const std::wstring& fileName, bool doWriteBack);

  const std::wstring& FileName() const noexcept { return FIniFile.FileName(); }
  TIniFile& IniFile() noexcept { return FIniFile; }

  void Flush() override;
  std::int32_t RdInteger(const std::wstring& entry) override;
  std::wstring RdString(const std::wstring& entry) override;
  using TSettings::RdStrings;
  // Section: the whole argument names the section.
  void RdStrings(const std::wstring& section, TStrings& strings, const std::wstring& fallback) override;
  void WrInteger(const std::wstring& entry, std::int32_t value) override;
  void WrString(const std::wstring& entry, const std::wstring& value) override;
  using TSettings::WrStrings;
  void WrStrings(const std::wstring& section, const TStrings& strings, TTrimStringsOptions tso) override;
  void GetSubEntries(const std::wstring& entry, TStrings& names) override;
  void DelSection(const std::wstring& section) override;
  void DelEntry(const std::wstring& entry) override;
  std::wstring SettingsDisplayStr(const std::wstring& entry) override;
  TSettingsList FillSettingsList(const std::wstring& entry) override;

private:
  void ReadList(const std::wstring& section, TStrings& strings, const std::wstring& fallback);
  void Written();

  TIniFile FIniFile;
};

// The name of the section that holds the string list of Section: the whole text, with the CR
// of an entry path written as "\" (a CR would split the section's header line in the file).
std::wstring IniListSection(const std::wstring& section);
