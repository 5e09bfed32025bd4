#include "base/Streams.h"
#include "base/Unicode.h"
#include "settings/IniSettings.h"

#include "SettingsTestSupport.h"
#include "support/TestSupport.h"

#include <algorithm>

namespace {

class IniSettings : public ::testing::Test {
protected:
  TTempFolder FFolder;
  std::wstring FName = FFolder.Path() + L"settings.ini";

  // The file's lines, whatever its encoding.
  std::vector<std::wstring> FileLines() {
    std::wstring text = ReadUtf16File(FName);
    if (text.empty()) text = AnsiToText(ReadFileBytes(FName));
    return SplitLines(text);
  }
};

TEST_F(IniSettings, ReadOnMissingFile) {
  TIniSettings noWriteBack(FName, false);
  EXPECT_EQ(noWriteBack.RdString(L"Settings\rFont Size\r8"), L"8");
  EXPECT_FALSE(FileExists(FName));
  TIniSettings writeBack(FName, true);
  EXPECT_EQ(writeBack.RdString(L"Settings\rFont Size\r8"), L"8");
  EXPECT_EQ(FileLines(), (std::vector<std::wstring>{L"[Settings]", L"Font Size=8"}));
}

TEST_F(IniSettings, ListLayout) {
  TIniSettings store(FName, false);
  store.WrStrings(L"L", TStringList{L"a", L" b"}, TTrimStringsOptions());
  EXPECT_EQ(FileLines(), (std::vector<std::wstring>{L"[L]", L"Count=2", L"1=a", L"2=' b'"}));
  TStringList back;
  store.RdStrings(L"L", back, L"");
  EXPECT_EQ(back.Lines(), (std::vector<std::wstring>{L"a", L" b"}));
}

TEST_F(IniSettings, ShorterListLeavesOnlyItsKeysAndOtherKeysStay) {
  WriteFileBytes(FName, "[L]\r\nNote=mine\r\n[Other]\r\nX=1\r\n");
  TIniSettings store(FName, false);
  store.WrStrings(L"L", L"1\r\n2\r\n3\r\n4\r\n5", TTrimStringsOptions());
  store.WrStrings(L"L", L"a\r\nb", TTrimStringsOptions());
  TStringList keys;
  store.GetSubEntries(L"L", keys);
  std::vector<std::wstring> names = keys.ToVector();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"1", L"2", L"Count", L"Note"}));
  EXPECT_EQ(store.RdString(L"L\rNote"), L"mine");
  EXPECT_EQ(store.RdString(L"Other\rX"), L"1");
  EXPECT_EQ(store.RdStrings(L"L", L""), L"a\r\nb\r\n");
}

struct TCountCase {
  const char* name;
  std::string file;
  std::vector<std::wstring> lines;
};

class IniListCount : public IniSettings, public ::testing::WithParamInterface<TCountCase> {};

// Hand-edited lists read as far as they make sense, quickly and without raising.
TEST_P(IniListCount, Read) {
  WriteFileBytes(FName, GetParam().file);
  TIniSettings store(FName, false);
  TStringList lines;
  store.RdStrings(L"L", lines, L"");
  EXPECT_EQ(lines.Lines(), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Ini, IniListCount,
    ::testing::Values(TCountCase{"Huge", "[L]\r\nCount=2000000000\r\n1=a\r\n", {L"a"}},
                      TCountCase{"HugeWithAFarKey", "[L]\r\nCount=2000000000\r\n3=c\r\n", {L"", L"", L"c"}},
                      TCountCase{"TrailingEmptyLinesAreData", "[L]\r\nCount=4\r\n1=one\r\n3=three\r\n",
                                 {L"one", L"", L"three", L""}},
                      TCountCase{"BeyondTheLastKey", "[L]\r\nCount=5\r\n1=a\r\n3=\r\n", {L"a", L"", L"", L"", L""}},
                      TCountCase{"NoNumberedKeys", "[L]\r\nCount=2\r\n", {L"", L""}},
                      TCountCase{"OnlyALaterKey", "[L]\r\nCount=3\r\n3=c\r\n", {L"", L"", L"c"}},
                      TCountCase{"Negative", "[L]\r\nCount=-5\r\n1=a\r\n", {}},
                      TCountCase{"NotANumber", "[L]\r\nCount=many\r\n1=a\r\n", {}},
                      TCountCase{"Hex", "[L]\r\nCount=0x2\r\n1=a\r\n2=b\r\n", {L"a", L"b"}},
                      TCountCase{"GapsAreEmptyLines", "[L]\r\ncount=3\r\n3=c\r\n1=a\r\n", {L"a", L"", L"c"}},
                      TCountCase{"HandQuoted", "[L]\r\nCount=2\r\n1 = \"x\" \r\n2='y\r\n", {L"x", L"'y"}}),
    TCaseName());

// The bound itself is a list like any other; one line more and the count is taken as damage.
TEST_F(IniSettings, ListCountAtTheBound) {
  WriteFileBytes(FName, "[L]\r\nCount=1000000\r\n2=b\r\n[M]\r\nCount=1000001\r\n2=b\r\n");
  TIniSettings store(FName, false);
  TStringList lines;
  store.RdStrings(L"L", lines, L"");
  ASSERT_EQ(lines.Count(), 1000000);
  EXPECT_EQ(lines.Get(1), L"b");
  EXPECT_EQ(lines.Get(999999), L"");
  store.RdStrings(L"M", lines, L"");
  EXPECT_EQ(lines.Lines(), (std::vector<std::wstring>{L"", L"b"}));
}

TEST_F(IniSettings, MissingListDefaults) {
  TIniSettings store(FName, false);
  EXPECT_EQ(store.RdStrings(L"Missing", L"x"), L"x\r\n");
  EXPECT_EQ(store.RdStrings(L"Missing", L""), L"");
}

TEST_F(IniSettings, SectionNamesAndDisplay) {
  TIniSettings store(FName, false);
  store.WrInteger(L"A\rX", 1);
  store.WrInteger(L"B\rY", 2);
  TStringList names;
  store.GetSubEntries(L"  ", names);
  EXPECT_EQ(names.Lines(), (std::vector<std::wstring>{L"A", L"B"}));
  EXPECT_EQ(store.SettingsDisplayStr(L"Settings\rFont Size\r8"), L"[Settings] Font Size");
}

TEST_F(IniSettings, BlobsLiveInASectionOfTheirOwn) {
  TIniSettings store(FName, false);
  TMemoryStream blob(std::string(100, 'x'));
  store.WrBlob(L"Data\rPicture", blob);
  std::vector<std::wstring> lines = FileLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], L"[Data\\Picture]");
  EXPECT_EQ(lines.size(), 5u);  // header, Count and three base64 lines of 64, 64 and 8 characters
  TMemoryStream back;
  store.RdBlob(L"Data\rPicture", back);
  EXPECT_EQ(back.DataString(), std::string(100, 'x'));
}

TEST_F(IniSettings, AutoFlushAndWriteErrors) {
  TIniSettings store(FName, false);
  store.SetAutoFlush(true);
  store.WrString(L"S\rK", L"1");
  store.Flush();
  std::string before = ReadFileBytes(FName);
  TFileHandle lock = HoldOpen(FName, GENERIC_READ, FILE_SHARE_READ);
  ASSERT_TRUE(lock);
  EXPECT_THROW(store.WrString(L"S\rK", L"2"), EIniFileError);
  EXPECT_THROW(store.WrInteger(L"S\rK", 2), EIniFileError);
  EXPECT_THROW(store.WrStrings(L"L", L"a", TTrimStringsOptions()), EIniFileError);
  // Readers with write-back never raise, even when the write-back is refused.
  store.SetWriteBack(true);
  EXPECT_NO_THROW(EXPECT_EQ(store.RdInteger(L"S\rNew\r5"), 5));
  EXPECT_NO_THROW(EXPECT_EQ(store.RdString(L"S\rNew\rd"), L"d"));
  EXPECT_NO_THROW(EXPECT_EQ(store.RdStrings(L"NewList", L"d"), L"d\r\n"));
  lock.Reset();
  EXPECT_EQ(ReadFileBytes(FName), before);
}

TEST_F(IniSettings, UnreadableFileGivesDefaults) {
  {
    TIniSettings store(FName, false);
    store.WrInteger(L"S\rK", 1);
    store.WrStrings(L"L", L"a", TTrimStringsOptions());
  }
  TFileHandle lock = HoldOpen(FName, GENERIC_READ, 0);
  ASSERT_TRUE(lock);
  TIniSettings store(FName, true);
  EXPECT_NO_THROW({
    EXPECT_EQ(store.RdInteger(L"S\rK\r7"), 7);
    EXPECT_EQ(store.RdString(L"S\rK\rd"), L"d");
    EXPECT_EQ(store.RdStrings(L"L", L"x"), L"x\r\n");
    TStringList names;
    store.GetSubEntries(L"", names);
    EXPECT_EQ(names.Count(), 0);
  });
  lock.Reset();
  EXPECT_EQ(store.RdInteger(L"S\rK\r7"), 1);
}

// Files that cannot be written whoever runs the test (root under Wine writes even read-only
// files): every write raises the INI file's error and leaves everything as it was; readers give
// their defaults.
void ExpectStoreWritesRefused(TIniSettings& store) {
  EXPECT_THROW(store.WrString(L"S\rK", L"2"), EIniFileError);
  EXPECT_THROW(store.WrString(L"S\rK", L"\u4E2D"), EIniFileError);
  EXPECT_THROW(store.WrInteger(L"S\rK", 2), EIniFileError);
  EXPECT_THROW(store.WrStrings(L"L", L"a", TTrimStringsOptions()), EIniFileError);
  EXPECT_THROW(store.DelEntry(L"S\rK"), EIniFileError);
  EXPECT_THROW(store.DelSection(L"S"), EIniFileError);
  store.SetWriteBack(true);
  EXPECT_NO_THROW(EXPECT_EQ(store.RdString(L"S\rNew\rd"), L"d"));
}

TEST_F(IniSettings, FileNameOfAFolderIsNotWritten) {
  ASSERT_TRUE(::CreateDirectoryW(FName.c_str(), nullptr));
  WriteFileBytes(FName + L"\\inside.txt", "keep");
  TIniSettings store(FName, false);
  ExpectStoreWritesRefused(store);
  EXPECT_TRUE(FolderExists(FName));
  EXPECT_EQ(FilesIn(FName), std::vector<std::wstring>{L"inside.txt"});
  EXPECT_EQ(ReadFileBytes(FName + L"\\inside.txt"), "keep");
  EXPECT_EQ(FilesIn(FFolder.Path()), std::vector<std::wstring>{L"settings.ini"});
}

TEST_F(IniSettings, FileHeldOpenWithoutSharingIsNotWritten) {
  std::string ansi = TextToAnsi(L"[S]\r\nK=Grüße\r\n");
  WriteFileBytes(FName, ansi);
  {
    TFileHandle lock = HoldOpen(FName, GENERIC_READ, 0);
    ASSERT_TRUE(lock);
    TIniSettings store(FName, false);
    ExpectStoreWritesRefused(store);
  }
  EXPECT_EQ(ReadFileBytes(FName), ansi);
  // No copy of the file stays behind.
  EXPECT_EQ(FilesIn(FFolder.Path()), std::vector<std::wstring>{L"settings.ini"});
}

TEST_F(IniSettings, TextWithLineBreaksIsRefused) {
  TIniSettings store(FName, false);
  store.WrString(L"S\rK", L"1");
  EXPECT_THROW(store.WrString(L"S\rK", L"a\r\n[Evil]\r\nX=1"), EIniFileError);
  EXPECT_EQ(store.RdString(L"S\rK"), L"1");
  TStringList sections;
  store.GetSubEntries(L"", sections);
  EXPECT_EQ(sections.Lines(), std::vector<std::wstring>{L"S"});
}

}  // namespace
