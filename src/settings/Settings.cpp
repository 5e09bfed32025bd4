#include "settings/Settings.h"

#include "base/DateTime.h"
#include "base/Streams.h"
#include "base/Unicode.h"

#include <algorithm>

namespace {

constexpr wchar_t kDateFormat[] = L"YYYY-MM-DD";
constexpr wchar_t kDateTimeFormat[] = L"YYYY-MM-DD HH:NN:SS.ZZZ";

// The bytes combined by exclusive-or with the repeating key, starting at the key's byte Start.
std::string Scramble(std::string_view bytes, const std::string& key, size_t start) {
  std::string out(bytes);
  for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<char>(out[i] ^ key[(start + i) % key.size()]);
  return out;
}

// Integer of the entry's default: decimal, or hexadecimal after "$" or "0x"; 0 otherwise.
std::int32_t DefaultInteger(const std::wstring& entry) { return StrToIntDef(EntryPart(entry, 3), 0); }

}  // namespace

std::wstring EntryPart(std::wstring_view entry, int field) {
  size_t start = 0;
  for (int n = 1; n < field; ++n) {
    size_t cr = entry.find(L'\r', start);
    if (cr == std::wstring_view::npos) return std::wstring();
    start = cr + 1;
  }
  size_t end = entry.find(L'\r', start);
  return std::wstring(entry.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start));
}

// ---- Passwords

std::wstring QelEncode(const std::wstring& value, const std::wstring& code) {
  std::string key = TextToAnsi(code);
  if (key.empty()) return value;
  // A first character U+0008 would read back as the mark of the UTF-8 form: such texts take that form.
  bool bytewise = std::all_of(value.begin(), value.end(), [](wchar_t c) { return c < 0x100; }) &&
                  (value.empty() || value.front() != 8);
  if (bytewise) {
    std::string codes(value.size(), '\0');
    std::transform(value.begin(), value.end(), codes.begin(), [](wchar_t c) { return static_cast<char>(c); });
    return BytesToHex(Scramble(codes, key, 0));
  }
  std::string mark(1, static_cast<char>(key[0] ^ 8));
  return BytesToHex(mark + Scramble(TextToUtf8(value), key, key.size() == 1 ? 0 : 1));
}

std::wstring QelDecode(const std::wstring& stored, const std::wstring& code) {
  std::string key = TextToAnsi(code);
  std::wstring text = Trim(stored);
  if (key.empty() || text.size() % 2 != 0) return std::wstring();
  std::string bytes = HexToBytes(text);  // either case
  if (bytes.size() * 2 != text.size()) return std::wstring();
  if (bytes.empty()) return std::wstring();
  if ((static_cast<unsigned char>(bytes[0]) ^ static_cast<unsigned char>(key[0])) == 8)
    return Utf8ToText(Scramble(std::string_view(bytes).substr(1), key, key.size() == 1 ? 0 : 1));
  std::string codes = Scramble(bytes, key, 0);
  std::wstring value(codes.size(), L'\0');
  std::transform(codes.begin(), codes.end(), value.begin(),
                 [](char c) { return static_cast<wchar_t>(static_cast<unsigned char>(c)); });
  return value;
}

// ---- Records

TSettingRec TSettingsList::Find(const std::wstring& entry) const {
  std::wstring key = Trim(entry);
  if (key.find(L'\r') != std::wstring::npos) key = EntryPart(key, 1) + L'\\' + EntryPart(key, 2);
  for (const TSettingRec& rec : Settings)
    if (SameTextOrStr(rec.Name, key, true)) return rec;
  return TSettingRec();
}

std::wstring TSettingsList::RdString(const std::wstring& entry) const {
  std::wstring value = Find(entry).TextValue;
  if (!value.empty()) return value;
  std::wstring def = EntryPart(entry, 3);
  if (Owner && Owner->WriteBack() && !def.empty()) {
    try {
      Owner->WrString(entry, def);
    } catch (...) {  // a read never raises
    }
  }
  return def;
}

std::int32_t TSettingsList::RdInteger(const std::wstring& entry) const {
  return StrToIntDef(RdString(entry), DefaultInteger(entry));
}

TCheckBoxListEntry TCheckBoxListEntry::Create(const std::wstring& text, bool isChecked, std::int32_t data) {
  TCheckBoxListEntry entry;
  entry.Text = text;
  entry.IsChecked = isChecked;
  entry.Data = data;
  return entry;
}

int TCheckBoxEntryList::Add(const std::wstring& text, bool isChecked, std::int32_t data, const std::wstring& dataStr) {
  TCheckBoxListEntry entry = TCheckBoxListEntry::Create(text, isChecked, data);
  entry.DataStr = dataStr;
  return Add(entry);
}

int TCheckBoxEntryList::Add(const TCheckBoxListEntry& cbe) {
  Items.push_back(cbe);
  return static_cast<int>(Items.size()) - 1;
}

bool TCheckBoxEntryList::IsEmpty() const {
  return std::none_of(Items.begin(), Items.end(), [](const TCheckBoxListEntry& e) { return e.IsVisible; });
}

void TCheckBoxEntryList::CheckAll(bool check) {
  for (TCheckBoxListEntry& entry : Items) entry.IsChecked = check;
}

void TCheckBoxEntryList::CheckItem(std::int32_t data, bool check) {
  for (TCheckBoxListEntry& entry : Items)
    if (entry.Data == data) {
      entry.IsChecked = check;
      return;
    }
}

bool TCheckBoxEntryList::IsChecked(int index) const {
  return index >= 0 && index < static_cast<int>(Items.size()) && Items[static_cast<size_t>(index)].IsChecked;
}

bool TCheckBoxEntryList::IsItemChecked(std::int32_t data) const {
  for (const TCheckBoxListEntry& entry : Items)
    if (entry.Data == data) return entry.IsChecked;
  return false;
}

bool TCheckBoxEntryList::IsItemChecked(const std::wstring& dataStr) const {
  for (const TCheckBoxListEntry& entry : Items)
    if (SameTextOrStr(entry.DataStr, dataStr, true)) return entry.IsChecked;
  return false;
}

int TCheckBoxEntryList::CheckedEntries() const {
  return static_cast<int>(
      std::count_if(Items.begin(), Items.end(), [](const TCheckBoxListEntry& e) { return e.IsChecked; }));
}

TIntArray TCheckBoxEntryList::DataArray() const {
  TIntArray data;
  for (const TCheckBoxListEntry& entry : Items)
    if (entry.IsVisible && entry.IsChecked) data.push_back(entry.Data);
  return data;
}

std::wstring TCheckBoxEntryList::SettingsStr() const { return IntArrayToStr(DataArray(), L","); }

void TCheckBoxEntryList::LoadSettings(const std::wstring& value) {
  if (value.empty()) return;
  TIntArray checked = StrToIntArray(value, L",");
  for (TCheckBoxListEntry& entry : Items) entry.IsChecked = IntInArray(entry.Data, checked);
}

// ---- TSettings

void TSettings::DelSection(const std::wstring& section) {
  std::wstring sectionName = EntryPart(section, 1);
  TStringList names;
  GetSubEntries(sectionName, names);
  for (const std::wstring& name : names.Lines()) DelEntry(sectionName + L'\r' + name);
}

void TSettings::DelEntry(const std::wstring& entry) { WrString(entry, std::wstring()); }

std::int32_t TSettings::RdInteger(const std::wstring& entry) {
  // The standard conversion takes "0x" and "$" hexadecimal as well as decimal.
  return NeverRaise([&] { return StrToIntDef(RdString(entry), DefaultInteger(entry)); },
                    [&] { return DefaultInteger(entry); });
}

std::int64_t TSettings::RdInt64(const std::wstring& entry) {
  auto def = [&] { return StrToInt64Def(EntryPart(entry, 3), 0); };
  return NeverRaise([&] { return StrToInt64Def(RdString(entry), def()); }, def);
}

bool TSettings::RdBoolean(const std::wstring& entry) {
  return NeverRaise([&] { return RdInteger(entry) != 0; }, [&] { return DefaultInteger(entry) != 0; });
}

double TSettings::RdDate(const std::wstring& entry) {
  return NeverRaise([&] { return ParseDateTimeFmt(kDateFormat, RdString(entry)); }, [] { return 0.0; });
}

double TSettings::RdDateTime(const std::wstring& entry) {
  return NeverRaise([&] { return ParseDateTimeFmt(kDateTimeFormat, RdString(entry)); }, [] { return 0.0; });
}

double TSettings::RdFloat(const std::wstring& entry) {
  return NeverRaise([&] { return StrToFloatSep(RdString(entry), L'.', 0); }, [] { return 0.0; });
}

std::wstring TSettings::RdPassword(const std::wstring& entry, const std::wstring& Code, TEncType EncType) {
  return NeverRaise(
      [&] {
        switch (EncType) {
          case etHex: return AnsiToText(HexToBytes(RdString(entry)));
          case etQelEncode: return QelDecode(RdString(entry), Code);
          default: return RdString(entry);
        }
      },
      [] { return std::wstring(); });
}

TIntArray TSettings::RdIntArray(const std::wstring& entry) {
  return NeverRaise([&] { return StrToIntArray(RdString(entry), L","); }, [] { return TIntArray(); });
}

void TSettings::RdBlob(const std::wstring& Entry, TStream& stream) {
  // A stream that cannot take the bytes keeps what it got.
  NeverRaise(
      [&] {
        TStringList lines;
        RdStrings(Entry, lines, std::wstring());
        Base64DecodeLines(lines, stream);
      },
      [] {});
}

std::wstring TSettings::RdBlobText(const std::wstring& entry) {
  return NeverRaise(
      [&] {
        TMemoryStream stream;
        RdBlob(entry, stream);
        stream.SetPosition(0);
        return ReadTextUtf8(stream);
      },
      [] { return std::wstring(); });
}

void TSettings::WrInteger(const std::wstring& entry, std::int32_t value) { WrString(entry, std::to_wstring(value)); }

void TSettings::WrInt64(const std::wstring& entry, std::int64_t value) { WrString(entry, std::to_wstring(value)); }

void TSettings::WrBoolean(const std::wstring& entry, bool value) { WrInteger(entry, value ? 1 : 0); }

void TSettings::WrDate(const std::wstring& entry, double value) { WrString(entry, FormatDateTime(kDateFormat, value)); }

void TSettings::WrDateTime(const std::wstring& entry, double value) {
  WrString(entry, FormatDateTime(kDateTimeFormat, value));
}

void TSettings::WrFloat(const std::wstring& entry, double value, bool emptyOnZero) {
  WrString(entry, FormatFloatTrim(10, L'.', 0, emptyOnZero, value));
}

void TSettings::WrPassword(const std::wstring& entry, const std::wstring& code, const std::wstring& value,
                           TEncType encType) {
  switch (encType) {
    case etHex: WrString(entry, BytesToHex(TextToAnsi(value))); break;
    case etQelEncode: WrString(entry, QelEncode(value, code)); break;
    default: WrString(entry, value); break;
  }
}

void TSettings::WrIntArray(const std::wstring& entry, const TIntArray& value) {
  WrString(entry, IntArrayToStr(value, L","));
}

void TSettings::WrBlob(const std::wstring& entry, TStream& stream) {
  TStringList lines;
  Base64EncodeLines(stream, lines, 64);
  WrStrings(entry, lines, TTrimStringsOptions());
}

void TSettings::WrBlobText(const std::wstring& entry, const std::wstring& value) {
  TMemoryStream stream;
  WriteTextUtf8(stream, value, false);
  WrBlob(entry, stream);
}

std::wstring TSettings::SettingsDisplayStr(const std::wstring& entry) {
  return JoinNonEmpty(EntryPart(entry, 1), EntryPart(entry, 2), L"\\");
}

std::wstring TSettings::RdStrings(const std::wstring& entry, const std::wstring& fallback) {
  return NeverRaise(
      [&] {
        TStringList lines;
        RdStrings(entry, lines, fallback);
        return lines.Text();
      },
      [] { return std::wstring(); });
}

TStringList TSettings::TrimmedLines(const TStrings& strings, TTrimStringsOptions tso) {
  TStringList lines;
  lines.Assign(strings);
  TrimStrings(lines, tso, TCharset{9, 32});
  return lines;
}

bool TSettings::IsDefaultList(const TStrings& strings, const std::wstring& fallback) {
  return !fallback.empty() && Trim(strings.Text()) == Trim(fallback);
}

void TSettings::WrStrings(const std::wstring& entry, const std::wstring& text, TTrimStringsOptions tso) {
  TStringList lines;
  lines.SetText(text);
  WrStrings(entry, lines, tso);
}
