#pragma once
// A settings store in memory for the dialogs that keep a choice: values by their whole entry.
#include "settings/Settings.h"

#include <map>
#include <string>

class TMemorySettings : public TSettings {
public:
  std::map<std::wstring, std::wstring> Values;

  void Flush() override {}
  std::wstring RdString(const std::wstring& entry) override {
    auto it = Values.find(entry);
    return it == Values.end() ? EntryPart(entry, 3) : it->second;
  }
  void RdStrings(const std::wstring&, TStrings& strings, const std::wstring&) override { strings.Clear(); }
  void WrString(const std::wstring& entry, const std::wstring& value) override { Values[entry] = value; }
  void WrStrings(const std::wstring&, const TStrings&, TTrimStringsOptions) override {}
  void GetSubEntries(const std::wstring&, TStrings& names) override { names.Clear(); }
  TSettingsList FillSettingsList(const std::wstring&) override { return {}; }
};
