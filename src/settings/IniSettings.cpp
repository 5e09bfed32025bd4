#include "settings/IniSettings.h"

#include <algorithm>
#include <unordered_map>

namespace {

// More lines than any list a person or program keeps in an INI file.
constexpr std::int64_t kMaxListLines = 1000000;

// 1..n as the number keys of a list; 0 for every other key name.
std::int64_t ListIndexOf(const std::wstring& name) {
  if (name.empty() || name.size() > 10 || name.front() == L'0' ||
      name.find_first_not_of(L"0123456789") != std::wstring::npos)
    return 0;
  return std::stoll(name);
}

}  // namespace

std::wstring IniListSection(const std::wstring& section) {
  std::wstring sectionName = section;
  std::replace(sectionName.begin(), sectionName.end(), L'\r', L'\\');
  return sectionName;
}

TIniSettings::TIniSettings(const std::wstring& fileName, bool doWriteBack) : FIniFile(fileName) {
  SetWriteBack(doWriteBack);
}

void TIniSettings::Flush() { FIniFile.UpdateFile(); }

void TIniSettings::Written() {
  if (AutoFlush()) Flush();
}

std::int32_t TIniSettings::RdInteger(const std::wstring& entry) {
  return NeverRaise(
      [&] {
        std::int32_t def = StrToIntDef(EntryPart(entry, 3), 0);
        std::optional<std::wstring> text = FIniFile.ReadValue(EntryPart(entry, 1), EntryPart(entry, 2));
        // Only what is missing is filled with the default: a text that is no number stays as it is.
        if (!text && WriteBack()) TryWriteBack([&] { WrInteger(entry, def); });
        return text ? StrToIntDef(*text, def) : def;
      },
      [&] { return StrToIntDef(EntryPart(entry, 3), 0); });
}

std::wstring TIniSettings::RdString(const std::wstring& entry) {
  return NeverRaise(
      [&] {
        std::wstring def = EntryPart(entry, 3);
        std::optional<std::wstring> text = FIniFile.ReadValue(EntryPart(entry, 1), EntryPart(entry, 2));
        if (!text && WriteBack()) TryWriteBack([&] { WrString(entry, def); });
        return text ? *text : def;
      },
      [&] { return EntryPart(entry, 3); });
}

void TIniSettings::RdStrings(const std::wstring& Section, TStrings& strings, const std::wstring& fallback) {
  NeverRaise([&] { ReadList(Section, strings, fallback); }, [&] { strings.SetText(fallback); });
}

void TIniSettings::ReadList(const std::wstring& Section, TStrings& strings, const std::wstring& fallback) {
  // The whole section in one read: a blob of a megabyte is some 20,000 keys.
  std::unordered_map<std::wstring, std::wstring> values;
  std::int64_t lastIndex = 0;
  for (auto& [name, value] : FIniFile.ReadSectionValues(IniListSection(Section))) {
    lastIndex = std::max(lastIndex, ListIndexOf(name));
    values.try_emplace(LocaleLowerCase(name), std::move(value));  // the first of equal keys counts
  }
  auto count = values.find(L"count");
  bool stored = count != values.end();
  // A list is read exactly as stored, trailing empty lines included. A count beyond any real
  // list is damage: then only up to the last numbered key, and never beyond the bound.
  std::int64_t n = stored ? std::max<std::int64_t>(StrToIntDef(count->second, 0), 0) : 0;
  if (n > kMaxListLines) n = std::min(lastIndex, kMaxListLines);
  {
    TStringsUpdate update(strings);
    strings.Clear();
    for (std::int64_t i = 1; i <= n; ++i) {
      auto line = values.find(std::to_wstring(i));
      strings.Add(line != values.end() ? line->second : std::wstring());
    }
    if (!fallback.empty() && strings.Count() == 0) strings.SetText(fallback);
  }
  if (!stored && WriteBack() && IsDefaultList(strings, fallback))
    TryWriteBack([&] { WrStrings(Section, strings, kWriteBackTrim); });
}

void TIniSettings::WrInteger(const std::wstring& entry, std::int32_t value) {
  FIniFile.WriteInteger(EntryPart(entry, 1), EntryPart(entry, 2), value);
  Written();
}

void TIniSettings::WrString(const std::wstring& entry, const std::wstring& value) {
  FIniFile.WriteString(EntryPart(entry, 1), EntryPart(entry, 2), QuoteIniValue(value));
  Written();
}

void TIniSettings::WrStrings(const std::wstring& section, const TStrings& strings, TTrimStringsOptions tso) {
  TStringList lines = TrimmedLines(strings, tso);
  std::wstring sectionName = IniListSection(section);
  // The sectionName is written whole in one go. Keys that are no part of the list stay; the numbered
  // keys of an earlier, longer list go.
  std::vector<std::wstring> kept;
  std::int64_t oldCount = 0;
  std::vector<std::wstring> old = FIniFile.ReadSectionLines(sectionName);
  for (const std::wstring& line : old) {
    std::wstring name = Trim(line.substr(0, line.find(L'=')));
    if (LocaleLowerCase(name) == L"count") {
      oldCount = std::max<std::int64_t>(oldCount, StrToIntDef(UnquoteIniValue(line.substr(line.find(L'=') + 1)), 0));
      continue;
    }
    kept.push_back(line);
  }
  std::int64_t last = std::max<std::int64_t>(oldCount, lines.Count());
  std::erase_if(kept, [&](const std::wstring& line) {
    std::int64_t index = ListIndexOf(Trim(line.substr(0, line.find(L'='))));
    return index >= 1 && index <= last;
  });
  std::vector<std::wstring> sectionLines;
  sectionLines.reserve(static_cast<size_t>(lines.Count()) + kept.size() + 1);
  sectionLines.push_back(L"Count=" + std::to_wstring(lines.Count()));
  for (int i = 0; i < lines.Count(); ++i)
    sectionLines.push_back(std::to_wstring(i + 1) + L'=' + QuoteIniValue(lines.Get(i)));
  sectionLines.insert(sectionLines.end(), kept.begin(), kept.end());
  FIniFile.WriteSectionLines(sectionName, sectionLines);
  Written();
}

void TIniSettings::GetSubEntries(const std::wstring& entry, TStrings& names) {
  NeverRaise(
      [&] {
        std::wstring section = TrimChars(EntryPart(entry, 1), TCharset{9, 32}, true, true);
        std::vector<std::wstring> found = section.empty() ? FIniFile.ReadSections() : FIniFile.ReadSection(section);
        TStringsUpdate update(names);
        names.Clear();
        for (const std::wstring& name : found) names.Add(name);
      },
      [&] { names.Clear(); });
}

void TIniSettings::DelSection(const std::wstring& section) { FIniFile.EraseSection(EntryPart(section, 1)); }

void TIniSettings::DelEntry(const std::wstring& entry) { FIniFile.DeleteKey(EntryPart(entry, 1), EntryPart(entry, 2)); }

std::wstring TIniSettings::SettingsDisplayStr(const std::wstring& entry) {
  return L"[" + EntryPart(entry, 1) + L"] " + EntryPart(entry, 2);
}

TSettingsList TIniSettings::FillSettingsList(const std::wstring& /*Entry*/) { return TSettingsList(); }
