#pragma once
// The INI store: settings in an INI file through the system's profile functions.
#include "settings/IniFile.h"
#include "settings/Settings.h"

#include <string>

// Settings in an INI file: sections and keys as named by the entry; a string list fills a section
// of its own with "Count" and the numbered keys "1".."n".
class TIniSettings : public TSettings {
public:
  TIniSettings(const std::wstring& FileName, bool DoWriteBack);

  const std::wstring& FileName() const noexcept { return FIniFile.FileName(); }
  TIniFile& IniFile() noexcept { return FIniFile; }

  void Flush() override;
  std::int32_t RdInteger(const std::wstring& Entry) override;
  std::wstring RdString(const std::wstring& Entry) override;
  using TSettings::RdStrings;
  // Section: the whole argument names the section.
  void RdStrings(const std::wstring& Section, TStrings& Strings, const std::wstring& Default) override;
  void WrInteger(const std::wstring& Entry, std::int32_t Value) override;
  void WrString(const std::wstring& Entry, const std::wstring& Value) override;
  using TSettings::WrStrings;
  void WrStrings(const std::wstring& Section, const TStrings& Strings, TTrimStringsOptions Tso) override;
  void GetSubEntries(const std::wstring& Entry, TStrings& Names) override;
  void DelSection(const std::wstring& Section) override;
  void DelEntry(const std::wstring& Entry) override;
  std::wstring SettingsDisplayStr(const std::wstring& Entry) override;
  TSettingsList FillSettingsList(const std::wstring& Entry) override;

private:
  void ReadList(const std::wstring& Section, TStrings& Strings, const std::wstring& Default);
  void Written();

  TIniFile FIniFile;
};

// The name of the section that holds the string list of Section: the whole text, with the CR
// of an entry path written as "\" (a CR would split the section's header line in the file).
std::wstring IniListSection(const std::wstring& Section);
