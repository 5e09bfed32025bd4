#include "base/Streams.h"
#include "settings/Settings.h"

#include "support/TestSupport.h"

#include <map>
#include <new>

namespace {

struct TPartCase {
  const char* name;
  std::wstring entry;
  std::wstring part1, part2, part3;
};

class EntryParts : public ::testing::TestWithParam<TPartCase> {};

TEST_P(EntryParts, Split) {
  const TPartCase& c = GetParam();
  EXPECT_EQ(EntryPart(c.entry, 1), c.part1);
  EXPECT_EQ(EntryPart(c.entry, 2), c.part2);
  EXPECT_EQ(EntryPart(c.entry, 3), c.part3);
}

INSTANTIATE_TEST_SUITE_P(Settings, EntryParts,
                         ::testing::Values(TPartCase{"Full", L"Settings\rFont Size\r8", L"Settings", L"Font Size", L"8"},
                                           TPartCase{"NoDefault", L"Settings\rFont Size", L"Settings", L"Font Size", L""},
                                           TPartCase{"SectionOnly", L"Settings", L"Settings", L"", L""},
                                           TPartCase{"NotTrimmed", L" S \r N \r 8 ", L" S ", L" N ", L" 8 "},
                                           TPartCase{"FourthPartIgnored", L"S\rN\rD\rX", L"S", L"N", L"D"},
                                           TPartCase{"Empty", L"", L"", L"", L""}),
                         TCaseName());

struct TQelCase {
  const char* name;
  std::wstring value;
  std::wstring code;
};

class QelRoundTrip : public ::testing::TestWithParam<TQelCase> {};

TEST_P(QelRoundTrip, ReadsBackTheValue) {
  const TQelCase& c = GetParam();
  std::wstring stored = QelEncode(c.value, c.code);
  EXPECT_EQ(stored.find_first_not_of(L"0123456789ABCDEF"), std::wstring::npos) << stored;
  EXPECT_EQ(QelDecode(stored, c.code), c.value);
  EXPECT_EQ(QelDecode(L"  " + stored + L" ", c.code), c.value);
}

INSTANTIATE_TEST_SUITE_P(Settings, QelRoundTrip,
                         ::testing::Values(TQelCase{"Latin1", L"Geheim äöü", L"Schlüssel"},
                                           TQelCase{"AboveLatin1", L"Pa\u00DF \u20AC \u4E2D \U0001F600", L"key"},
                                           TQelCase{"AboveLatin1OneByteCode", L"\u20AC\u20AC", L"k"},
                                           TQelCase{"LongerThanCode", L"abcdefghijklmnop", L"xy"},
                                           TQelCase{"StartsWithBackspace", L"\bsecret", L"code"},
                                           TQelCase{"Empty", L"", L"code"}),
                         TCaseName());

TEST(Qel, StoredForms) {
  EXPECT_EQ(QelEncode(L"A", L"B"), L"03");               // 0x41 xor 0x42
  EXPECT_EQ(QelEncode(L"AA", L"BC"), L"0302");
  EXPECT_EQ(QelEncode(L"\u20AC", L"BC"), L"4AA1C0EF");   // 0x42 xor 8, then E2 82 AC with C, B, C
  EXPECT_EQ(QelDecode(L"4aa1c0ef", L"BC"), L"\u20AC");
  EXPECT_EQ(QelEncode(L"plain", L""), L"plain");
}

struct TBadQelCase {
  const char* name;
  std::wstring stored;
  std::wstring code;
};

class QelInvalid : public ::testing::TestWithParam<TBadQelCase> {};

TEST_P(QelInvalid, GivesEmpty) { EXPECT_EQ(QelDecode(GetParam().stored, GetParam().code), L""); }

INSTANTIATE_TEST_SUITE_P(Settings, QelInvalid,
                         ::testing::Values(TBadQelCase{"EmptyCode", L"03", L""},
                                           TBadQelCase{"OddLength", L"030", L"B"},
                                           TBadQelCase{"NotHex", L"0G", L"B"},
                                           TBadQelCase{"InnerBlank", L"03 04", L"B"},
                                           TBadQelCase{"PlainText", L"secret", L"B"},
                                           TBadQelCase{"Empty", L"", L"B"}),
                         TCaseName());

TEST(Qel, BrokenUtf8NeverRaises) {
  // The UTF-8 mark followed by bytes that are no UTF-8.
  std::wstring stored = QelEncode(L"\u20AC", L"BC").substr(0, 4) + L"FF";
  EXPECT_NO_THROW(QelDecode(stored, L"BC"));
}

// A store in memory that records its writes, for the records that talk to a store.
class TMemorySettings : public TSettings {
public:
  std::map<std::wstring, std::wstring> Values;
  int Writes = 0;

  void Flush() override {}
  std::wstring RdString(const std::wstring& entry) override {
    auto it = Values.find(EntryPart(entry, 1) + L"\\" + EntryPart(entry, 2));
    return it == Values.end() ? EntryPart(entry, 3) : it->second;
  }
  void RdStrings(const std::wstring&, TStrings& strings, const std::wstring& fallback) override { strings.SetText(fallback); }
  void WrString(const std::wstring& entry, const std::wstring& value) override {
    ++Writes;
    Values[EntryPart(entry, 1) + L"\\" + EntryPart(entry, 2)] = value;
  }
  void WrStrings(const std::wstring&, const TStrings&, TTrimStringsOptions) override {}
  void GetSubEntries(const std::wstring&, TStrings& names) override { names.Clear(); }
  TSettingsList FillSettingsList(const std::wstring&) override { return TSettingsList(); }
};

TEST(SettingsList, FindByNameIgnoringCase) {
  TSettingsList list;
  EXPECT_TRUE(list.IsEmpty());
  list.Settings = {{L"Sec\\Name", L"5"}, {L"Sec\\Other", L"x"}, {L"sec\\name", L"6"}};
  EXPECT_FALSE(list.IsEmpty());
  EXPECT_EQ(list.Find(L"Sec\rName\r5").TextValue, L"5");
  EXPECT_EQ(list.Find(L"SEC\rNAME").TextValue, L"5");
  EXPECT_EQ(list.Find(L"  Sec\\Other ").TextValue, L"x");
  // The entry is trimmed before it is split.
  EXPECT_EQ(list.Find(L" Sec\rName\r5 ").TextValue, L"5");
  EXPECT_EQ(list.Find(L"\tSec\rOther\r").TextValue, L"x");
  EXPECT_EQ(list.Find(L"Sec\rMissing").Name, L"");
  EXPECT_EQ(list.RdInteger(L"Sec\rName\r9"), 5);
  EXPECT_TRUE(list.RdBoolean(L"Sec\rName"));
}

TEST(SettingsList, DefaultIsWrittenBackToTheOwner) {
  TMemorySettings owner;
  TSettingsList list;
  list.Owner = &owner;
  EXPECT_EQ(list.RdString(L"S\rN\r7"), L"7");
  EXPECT_EQ(owner.Values[L"S\\N"], L"7");
  EXPECT_EQ(list.RdInteger(L"S\rM\r$10"), 16);
  owner.SetWriteBack(false);
  owner.Writes = 0;
  EXPECT_EQ(list.RdString(L"S\rK\r1"), L"1");
  EXPECT_EQ(list.RdString(L"S\rK"), L"");
  EXPECT_EQ(owner.Writes, 0);
}

// A store whose primitives fail, as they do for a value too large to hold in memory.
class TFailingSettings : public TMemorySettings {
public:
  using TSettings::RdStrings;
  std::wstring RdString(const std::wstring&) override { throw std::bad_alloc(); }
  void RdStrings(const std::wstring&, TStrings&, const std::wstring&) override { throw std::bad_alloc(); }
};

TEST(Settings, TypedReadersNeverRaise) {
  TFailingSettings store;
  EXPECT_NO_THROW({
    EXPECT_EQ(store.RdInteger(L"S\rN\r8"), 8);
    EXPECT_EQ(store.RdInt64(L"S\rN\r$10"), 16);
    EXPECT_TRUE(store.RdBoolean(L"S\rN\r1"));
    EXPECT_EQ(store.RdDate(L"S\rN\r2024-03-05"), 0);
    EXPECT_EQ(store.RdDateTime(L"S\rN"), 0);
    EXPECT_EQ(store.RdFloat(L"S\rN\r1.5"), 0);
    EXPECT_EQ(store.RdPassword(L"S\rN\r4142", L"", etHex), L"");
    EXPECT_EQ(store.RdPassword(L"S\rN\r03", L"B", etQelEncode), L"");
    EXPECT_TRUE(store.RdIntArray(L"S\rN\r1,2").empty());
    TMemoryStream blob("kept");
    store.RdBlob(L"S\rN", blob);
    EXPECT_EQ(blob.DataString(), "kept");
    EXPECT_EQ(store.RdBlobText(L"S\rN"), L"");
    EXPECT_EQ(store.RdStrings(L"S\rN", L"d"), L"");
  });
}

TEST(Settings, NewStoreSwitches) {
  TMemorySettings store;
  EXPECT_FALSE(store.AutoFlush());
  EXPECT_TRUE(store.WriteBack());
  EXPECT_EQ(store.FormSection(), L"Forms");
}

TEST(Settings, BaseDisplayAndDeletion) {
  TMemorySettings store;
  EXPECT_EQ(store.SettingsDisplayStr(L"Settings\rFont Size\r8"), L"Settings\\Font Size");
  EXPECT_EQ(store.SettingsDisplayStr(L"Settings"), L"Settings");
  EXPECT_EQ(store.SettingsDisplayStr(L"\rName"), L"Name");
  store.WrString(L"S\rN", L"v");
  store.DelEntry(L"S\rN");
  EXPECT_EQ(store.Values[L"S\\N"], L"");
}

TEST(CheckBoxEntryList, NewEntries) {
  TCheckBoxListEntry entry = TCheckBoxListEntry::Create(L"Text", true, 4);
  EXPECT_EQ(entry.Text, L"Text");
  EXPECT_TRUE(entry.IsChecked);
  EXPECT_EQ(entry.Data, 4);
  EXPECT_TRUE(entry.IsVisible);
  EXPECT_FALSE(entry.IsHeader);
  TCheckBoxEntryList list;
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.Add(L"a", false, 1, L"one"), 0);
  EXPECT_EQ(list.Add(entry), 1);
  EXPECT_EQ(list.Items[0].DataStr, L"one");
}

TEST(CheckBoxEntryList, SettingsStrAndLoad) {
  TCheckBoxEntryList list;
  list.Add(L"one", true, 1);
  list.Add(L"two", false, 2, L"Zwei");
  list.Add(L"three", true, 3);
  list.Items[2].IsVisible = false;
  EXPECT_EQ(list.SettingsStr(), L"1");
  EXPECT_EQ(list.DataArray(), TIntArray{1});
  EXPECT_EQ(list.CheckedEntries(), 2);
  list.LoadSettings(L"2,3");
  EXPECT_FALSE(list.IsItemChecked(1));
  EXPECT_TRUE(list.IsItemChecked(2));
  EXPECT_TRUE(list.IsItemChecked(3));
  EXPECT_TRUE(list.IsItemChecked(L"zwei"));
  EXPECT_FALSE(list.IsItemChecked(L"missing"));
  list.LoadSettings(L"");  // changes nothing
  EXPECT_EQ(list.CheckedEntries(), 2);
  list.LoadSettings(L"1,x");  // not a list: nothing checked
  EXPECT_EQ(list.CheckedEntries(), 0);
  EXPECT_EQ(list.SettingsStr(), L"");
}

TEST(CheckBoxEntryList, CheckAndQuery) {
  TCheckBoxEntryList list;
  list.Add(L"a", false, 5);
  list.Add(L"b", false, 5);
  list.CheckItem(5, true);
  EXPECT_TRUE(list.IsChecked(0));
  EXPECT_FALSE(list.IsChecked(1));
  EXPECT_FALSE(list.IsChecked(-1));
  EXPECT_FALSE(list.IsChecked(2));
  list.CheckAll(true);
  EXPECT_EQ(list.CheckedEntries(), 2);
  for (auto& item : list.Items) item.IsVisible = false;
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_FALSE(list.IsItemChecked(7));
}

}  // namespace
