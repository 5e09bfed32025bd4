#include "support/Pump.h"
#include "support/TestSupport.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/ToolkitTestSupport.h"

namespace {

class MemoTest : public ::testing::Test {
protected:
  void SetUp() override {
    form = NewForm(300, 200);
    memo = Place<TMemo>(form.get(), form.get(), 0, 0, 300, 200);
    memo->SetScrollBars(ssBoth);
    memo->SetWordWrap(false);
    memo->SetAlign(alClient);
    form->Show();
  }
  TMemoLines& lines() { return memo->Lines(); }

  std::unique_ptr<TForm> form;
  TMemo* memo = nullptr;
};

TEST_F(MemoTest, AddedLinesEndWithBreakAndCount) {
  lines().Add(L"eins");
  lines().Add(L"zwei");
  EXPECT_EQ(memo->Text(), L"eins\r\nzwei\r\n");
  EXPECT_EQ(lines().Count(), 2);
  EXPECT_EQ(lines().Get(1), L"zwei");
}

TEST_F(MemoTest, LineWithBreaksInsideBecomesSeveralLines) {
  lines().Add(L"a\r\nb");
  EXPECT_EQ(lines().ToVector(), (std::vector<std::wstring>{L"a", L"b"}));
}

TEST_F(MemoTest, TextStopsAtZeroCharacterAndNextLineStartsNewLine) {
  lines().Add(std::wstring(L"ab\0cd", 5));
  lines().Add(L"next");
  EXPECT_EQ(memo->Text(), L"ab\r\nnext\r\n");
}

TEST_F(MemoTest, LinesAddedInUpdateBracketLookAsIfAddedOneByOne) {
  std::vector<std::wstring> added = {L"1", L"", L"x\r\ny", std::wstring(L"z\0w", 3), L"last"};
  for (const auto& line : added) lines().Add(line);
  const std::wstring oneByOne = memo->Text();

  lines().Clear();
  {
    TStringsUpdate batch(lines());
    for (const auto& line : added) lines().Add(line);
    EXPECT_EQ(lines().PendingCount(), 5);
    EXPECT_EQ(memo->Text(), L"");  // nothing reaches the control before the bracket closes
  }
  EXPECT_EQ(lines().PendingCount(), 0);
  EXPECT_EQ(memo->Text(), oneByOne);
}

TEST_F(MemoTest, AddReturnsTheIndexOfTheNewLineAlsoWhenCollected) {
  EXPECT_EQ(lines().Add(L"a"), 0);
  TStringsUpdate batch(lines());
  EXPECT_EQ(lines().Add(L"b"), 1);
  EXPECT_EQ(lines().Add(L"c\r\nd"), 3);  // two lines; the index is the last one's
  EXPECT_EQ(lines().Add(L"e"), 4);
  EXPECT_EQ(lines().Get(4), L"e");
}

TEST_F(MemoTest, ReadingInsideBracketHandsCollectedLinesOver) {
  TStringsUpdate batch(lines());
  lines().Add(L"a");
  lines().Add(L"b");
  EXPECT_EQ(lines().Count(), 2);
  EXPECT_EQ(lines().Get(0), L"a");
}

TEST_F(MemoTest, AppendAfterTypedTextWithoutBreakStartsNewLine) {
  memo->SetText(L"typed");
  lines().Add(L"one");
  {
    TStringsUpdate batch(lines());
    lines().Add(L"two");
  }
  EXPECT_EQ(lines().ToVector(), (std::vector<std::wstring>{L"typed", L"one", L"two"}));
}

TEST_F(MemoTest, InsertDeleteAndClear) {
  lines().SetText(L"a\r\nc\r\n");
  lines().Insert(1, L"b");
  EXPECT_EQ(lines().ToVector(), (std::vector<std::wstring>{L"a", L"b", L"c"}));
  lines().Delete(0);
  EXPECT_EQ(lines().ToVector(), (std::vector<std::wstring>{L"b", L"c"}));
  lines().Delete(1);
  EXPECT_EQ(lines().ToVector(), (std::vector<std::wstring>{L"b"}));
  lines().Clear();
  EXPECT_EQ(lines().Count(), 0);
}

TEST_F(MemoTest, HasNoLengthLimit) {
  EXPECT_GE(static_cast<unsigned long>(::SendMessageW(memo->Handle(), EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEul);
  const std::wstring big(100000, L'x');
  for (int i = 0; i < 10; ++i) lines().Add(big);  // a million characters, beyond the default limit
  EXPECT_EQ(lines().Count(), 10);
  EXPECT_EQ(lines().Get(9).size(), big.size());
}

TEST_F(MemoTest, AddingScrollsLastLineIntoView) {
  {
    TStringsUpdate batch(lines());
    for (int i = 0; i < 500; ++i) lines().Add(L"line " + std::to_wstring(i));
  }
  PumpFor(50);
  int firstVisible = static_cast<int>(::SendMessageW(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0));
  EXPECT_GT(firstVisible, 400);
  DWORD selStart = 0, selEnd = 0;
  ::SendMessageW(memo->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
  EXPECT_EQ(static_cast<int>(selStart), ::GetWindowTextLengthW(memo->Handle()));  // caret after the new line
}

}  // namespace
