// Saving the log view, below the window: the file types of the dialog, the question's count, and
// files written from a snapshot in slices, with a surrogate pair cut by a slice's end.
#include "app/LogSave.h"
#include "base/Unicode.h"
#include "support/TempFolder.h"
#include "support/TestSupport.h"

namespace {

TEST(LogSave, FileTypesOfTheDialog) {
  EXPECT_EQ(LogFileCharsetOfFilter(1), fcAnsi);
  EXPECT_EQ(LogFileCharsetOfFilter(2), fcUtf8);
  EXPECT_EQ(LogFileCharsetOfFilter(3), fcAnsi);  // "Alle Dateien"
  EXPECT_EQ(LogFileCharsetOfFilter(0), fcAnsi);
}

TEST(LogSave, QuestionCountsInGermanDigits) {
  EXPECT_EQ(AnsiMisfitsQuestion(1), L"1 Zeichen können in ANSI nicht gespeichert werden; als UTF-8 speichern?");
  EXPECT_EQ(AnsiMisfitsQuestion(1234567),
            L"1.234.567 Zeichen können in ANSI nicht gespeichert werden; als UTF-8 speichern?");
}

// The files are written and counted in slices of 64 K characters: a pair across the end of one
// is one character, written whole.
class LogSaveFile : public ::testing::Test {
protected:
  void SetUp() override {
    if (::GetACP() != 1252) GTEST_SKIP() << "the ANSI bytes are those of code page 1252";
    text.Append(std::wstring(65535, L'x') + L"\U0001F600\r\nGrüße \u2713");
  }
  TLogText text;
  TTempFolder folder;
};

TEST_F(LogSaveFile, Utf8KeepsEveryCharacterWithoutAByteOrderMark) {
  const std::wstring name = folder.Path() + L"utf8.txt";
  WriteLogFile(name, text.Snapshot(), fcUtf8);
  EXPECT_EQ(ReadFileBytes(name), std::string(65535, 'x') + "\xF0\x9F\x98\x80\r\nGr\xC3\xBC\xC3\x9F" "e \xE2\x9C\x93");
}

TEST_F(LogSaveFile, AnsiCountsThePairOnceAndWritesTheCodePagesBytes) {
  EXPECT_EQ(CountAnsiMisfits(text.Snapshot()), 2);
  const std::wstring name = folder.Path() + L"ansi.txt";
  WriteLogFile(name, text.Snapshot(), fcAnsi);
  const std::string bytes = ReadFileBytes(name);
  EXPECT_EQ(bytes, TextToAnsi(text.Substr(0, text.Length()), 1252));
  EXPECT_TRUE(bytes.ends_with("\r\nGr\xFC\xDF" "e ?")) << bytes.substr(65535);
}

}  // namespace
