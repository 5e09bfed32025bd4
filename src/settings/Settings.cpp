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
std::int32_t DefaultInteger(const std::wstring& Entry) { return StrToIntDef(EntryPart(Entry, 3), 0); }

}  // namespace

std::wstring EntryPart(std::wstring_view Entry, int Field) {
  size_t start = 0;
  for (int n = 1; n < Field; ++n) {
    size_t cr = Entry.find(L'\r', start);
    if (cr == std::wstring_view::npos) return std::wstring();
    start = cr + 1;
  }
  size_t end = Entry.find(L'\r', start);
  return std::wstring(Entry.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start));
}

// ---- Passwords

std::wstring QelEncode(const std::wstring& Value, const std::wstring& Code) {
  std::string key = TextToAnsi(Code);
  if (key.empty()) return Value;
  // A first character U+0008 would read back as the mark of the UTF-8 form: such texts take that form.
  bool bytewise = std::all_of(Value.begin(), Value.end(), [](wchar_t c) { return c < 0x100; }) &&
                  (Value.empty() || Value.front() != 8);
  if (bytewise) {
    std::string codes(Value.size(), '\0');
    std::transform(Value.begin(), Value.end(), codes.begin(), [](wchar_t c) { return static_cast<char>(c); });
    return BytesToHex(Scramble(codes, key, 0));
  }
  std::string mark(1, static_cast<char>(key[0] ^ 8));
  return BytesToHex(mark + Scramble(TextToUtf8(Value), key, key.size() == 1 ? 0 : 1));
}

std::wstring QelDecode(const std::wstring& Stored, const std::wstring& Code) {
  std::string key = TextToAnsi(Code);
  std::wstring text = Trim(Stored);
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

TSettingRec TSettingsList::Find(const std::wstring& Entry) const {
  std::wstring key = Trim(Entry);
  if (key.find(L'\r') != std::wstring::npos) key = EntryPart(key, 1) + L'\\' + EntryPart(key, 2);
  for (const TSettingRec& rec : Settings)
    if (SameTextOrStr(rec.Name, key, true)) return rec;
  return TSettingRec();
}

std::wstring TSettingsList::RdString(const std::wstring& Entry) const {
  std::wstring value = Find(Entry).TextValue;
  if (!value.empty()) return value;
  std::wstring def = EntryPart(Entry, 3);
  if (Owner && Owner->WriteBack() && !def.empty()) {
    try {
      Owner->WrString(Entry, def);
    } catch (...) {  // a read never raises
    }
  }
  return def;
}

std::int32_t TSettingsList::RdInteger(const std::wstring& Entry) const {
  return StrToIntDef(RdString(Entry), DefaultInteger(Entry));
}

TCheckBoxListEntry TCheckBoxListEntry::Create(const std::wstring& text, bool isChecked, std::int32_t data) {
  TCheckBoxListEntry entry;
  entry.Text = text;
  entry.IsChecked = isChecked;
  entry.Data = data;
  return entry;
}

int TCheckBoxEntryList::Add(const std::wstring& Text, bool IsChecked, std::int32_t Data, const std::wstring& DataStr) {
  TCheckBoxListEntry entry = TCheckBoxListEntry::Create(Text, IsChecked, Data);
  entry.DataStr = DataStr;
  return Add(entry);
}

int TCheckBoxEntryList::Add(const TCheckBoxListEntry& CBE) {
  Items.push_back(CBE);
  return static_cast<int>(Items.size()) - 1;
}

bool TCheckBoxEntryList::IsEmpty() const {
  return std::none_of(Items.begin(), Items.end(), [](const TCheckBoxListEntry& e) { return e.IsVisible; });
}

void TCheckBoxEntryList::CheckAll(bool Check) {
  for (TCheckBoxListEntry& entry : Items) entry.IsChecked = Check;
}

void TCheckBoxEntryList::CheckItem(std::int32_t Data, bool Check) {
  for (TCheckBoxListEntry& entry : Items)
    if (entry.Data == Data) {
      entry.IsChecked = Check;
      return;
    }
}

bool TCheckBoxEntryList::IsChecked(int Index) const {
  return Index >= 0 && Index < static_cast<int>(Items.size()) && Items[static_cast<size_t>(Index)].IsChecked;
}

bool TCheckBoxEntryList::IsItemChecked(std::int32_t Data) const {
  for (const TCheckBoxListEntry& entry : Items)
    if (entry.Data == Data) return entry.IsChecked;
  return false;
}

bool TCheckBoxEntryList::IsItemChecked(const std::wstring& DataStr) const {
  for (const TCheckBoxListEntry& entry : Items)
    if (SameTextOrStr(entry.DataStr, DataStr, true)) return entry.IsChecked;
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

void TCheckBoxEntryList::LoadSettings(const std::wstring& Value) {
  if (Value.empty()) return;
  TIntArray checked = StrToIntArray(Value, L",");
  for (TCheckBoxListEntry& entry : Items) entry.IsChecked = IntInArray(entry.Data, checked);
}

// ---- TSettings

void TSettings::DelSection(const std::wstring& Section) {
  std::wstring section = EntryPart(Section, 1);
  TStringList names;
  GetSubEntries(section, names);
  for (const std::wstring& name : names.Lines()) DelEntry(section + L'\r' + name);
}

void TSettings::DelEntry(const std::wstring& Entry) { WrString(Entry, std::wstring()); }

std::int32_t TSettings::RdInteger(const std::wstring& Entry) {
  // The standard conversion takes "0x" and "$" hexadecimal as well as decimal.
  return NeverRaise([&] { return StrToIntDef(RdString(Entry), DefaultInteger(Entry)); },
                    [&] { return DefaultInteger(Entry); });
}

std::int64_t TSettings::RdInt64(const std::wstring& Entry) {
  auto def = [&] { return StrToInt64Def(EntryPart(Entry, 3), 0); };
  return NeverRaise([&] { return StrToInt64Def(RdString(Entry), def()); }, def);
}

bool TSettings::RdBoolean(const std::wstring& Entry) {
  return NeverRaise([&] { return RdInteger(Entry) != 0; }, [&] { return DefaultInteger(Entry) != 0; });
}

double TSettings::RdDate(const std::wstring& Entry) {
  return NeverRaise([&] { return ParseDateTimeFmt(kDateFormat, RdString(Entry)); }, [] { return 0.0; });
}

double TSettings::RdDateTime(const std::wstring& Entry) {
  return NeverRaise([&] { return ParseDateTimeFmt(kDateTimeFormat, RdString(Entry)); }, [] { return 0.0; });
}

double TSettings::RdFloat(const std::wstring& Entry) {
  return NeverRaise([&] { return StrToFloatSep(RdString(Entry), L'.', 0); }, [] { return 0.0; });
}

std::wstring TSettings::RdPassword(const std::wstring& Entry, const std::wstring& Code, TEncType EncType) {
  return NeverRaise(
      [&] {
        switch (EncType) {
          case etHex: return AnsiToText(HexToBytes(RdString(Entry)));
          case etQelEncode: return QelDecode(RdString(Entry), Code);
          default: return RdString(Entry);
        }
      },
      [] { return std::wstring(); });
}

TIntArray TSettings::RdIntArray(const std::wstring& Entry) {
  return NeverRaise([&] { return StrToIntArray(RdString(Entry), L","); }, [] { return TIntArray(); });
}

void TSettings::RdBlob(const std::wstring& Entry, TStream& Stream) {
  // A stream that cannot take the bytes keeps what it got.
  NeverRaise(
      [&] {
        TStringList lines;
        RdStrings(Entry, lines, std::wstring());
        Base64DecodeLines(lines, Stream);
      },
      [] {});
}

std::wstring TSettings::RdBlobText(const std::wstring& Entry) {
  return NeverRaise(
      [&] {
        TMemoryStream stream;
        RdBlob(Entry, stream);
        stream.SetPosition(0);
        return ReadTextUtf8(stream);
      },
      [] { return std::wstring(); });
}

void TSettings::WrInteger(const std::wstring& Entry, std::int32_t Value) { WrString(Entry, std::to_wstring(Value)); }

void TSettings::WrInt64(const std::wstring& Entry, std::int64_t Value) { WrString(Entry, std::to_wstring(Value)); }

void TSettings::WrBoolean(const std::wstring& Entry, bool Value) { WrInteger(Entry, Value ? 1 : 0); }

void TSettings::WrDate(const std::wstring& Entry, double Value) { WrString(Entry, FormatDateTime(kDateFormat, Value)); }

void TSettings::WrDateTime(const std::wstring& Entry, double Value) {
  WrString(Entry, FormatDateTime(kDateTimeFormat, Value));
}

void TSettings::WrFloat(const std::wstring& Entry, double Value, bool EmptyOnZero) {
  WrString(Entry, FormatFloatTrim(10, L'.', 0, EmptyOnZero, Value));
}

void TSettings::WrPassword(const std::wstring& Entry, const std::wstring& Code, const std::wstring& Value,
                           TEncType EncType) {
  switch (EncType) {
    case etHex: WrString(Entry, BytesToHex(TextToAnsi(Value))); break;
    case etQelEncode: WrString(Entry, QelEncode(Value, Code)); break;
    default: WrString(Entry, Value); break;
  }
}

void TSettings::WrIntArray(const std::wstring& Entry, const TIntArray& Value) {
  WrString(Entry, IntArrayToStr(Value, L","));
}

void TSettings::WrBlob(const std::wstring& Entry, TStream& Stream) {
  TStringList lines;
  Base64EncodeLines(Stream, lines, 64);
  WrStrings(Entry, lines, TTrimStringsOptions());
}

void TSettings::WrBlobText(const std::wstring& Entry, const std::wstring& Value) {
  TMemoryStream stream;
  WriteTextUtf8(stream, Value, false);
  WrBlob(Entry, stream);
}

std::wstring TSettings::SettingsDisplayStr(const std::wstring& Entry) {
  return JoinNonEmpty(EntryPart(Entry, 1), EntryPart(Entry, 2), L"\\");
}

std::wstring TSettings::RdStrings(const std::wstring& Entry, const std::wstring& Default) {
  return NeverRaise(
      [&] {
        TStringList lines;
        RdStrings(Entry, lines, Default);
        return lines.Text();
      },
      [] { return std::wstring(); });
}

TStringList TSettings::TrimmedLines(const TStrings& Strings, TTrimStringsOptions Tso) {
  TStringList lines;
  lines.Assign(Strings);
  TrimStrings(lines, Tso, TCharset{9, 32});
  return lines;
}

bool TSettings::IsDefaultList(const TStrings& Strings, const std::wstring& Default) {
  return !Default.empty() && Trim(Strings.Text()) == Trim(Default);
}

void TSettings::WrStrings(const std::wstring& Entry, const std::wstring& Text, TTrimStringsOptions Tso) {
  TStringList lines;
  lines.SetText(Text);
  WrStrings(Entry, lines, Tso);
}
