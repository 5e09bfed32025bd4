#pragma once
// A settings store in memory for the dialogs that keep a choice: values by their whole entry.
#include "settings/Settings.h"

#include <map>
#include <string>

class TMemorySettings : public TSettings {
public:
  std::map<std::wstring, std::wstring> Values;

  void Flush() override {}
  std::wstring RdString(const std::wstring& Entry) override {
    auto it = Values.find(Entry);
    return it == Values.end() ? EntryPart(Entry, 3) : it->second;
  }
  void RdStrings(const std::wstring&, TStrings& Strings, const std::wstring&) override { Strings.Clear(); }
  void WrString(const std::wstring& Entry, const std::wstring& Value) override { Values[Entry] = Value; }
  void WrStrings(const std::wstring&, const TStrings&, TTrimStringsOptions) override {}
  void GetSubEntries(const std::wstring&, TStrings& Names) override { Names.Clear(); }
  TSettingsList FillSettingsList(const std::wstring&) override { return {}; }
};
