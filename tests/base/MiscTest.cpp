#include "base/Files.h"
#include "base/Misc.h"
#include "base/Win.h"
#include "base/Win32.h"

#include "support/TestSupport.h"

#include <stdexcept>

namespace {

int gBegins = 0;
int gEnds = 0;

class BusyCursor : public ::testing::Test {
protected:
  void SetUp() override {
    gBegins = gEnds = 0;
    ResetBusy();
  }
  void TearDown() override {
    SetBusyCursorProcs(nullptr, nullptr);
    ResetBusy();
  }
  static void InstallHooks() {
    SetBusyCursorProcs([] { ++gBegins; }, [] { ++gEnds; });
  }
};

TEST_F(BusyCursor, NestedSectionsEndOnce) {
  InstallHooks();
  BeginBusy();
  BeginBusy();
  EXPECT_EQ(BusyCount(), 2);
  EXPECT_EQ(gBegins, 2);
  EndBusy();
  EXPECT_EQ(BusyCount(), 1);
  EXPECT_EQ(gEnds, 0);
  EndBusy();
  EXPECT_EQ(BusyCount(), 0);
  EXPECT_EQ(gEnds, 1);
}

TEST_F(BusyCursor, EndWithoutBeginEndsAndStaysAtZero) {
  InstallHooks();
  EndBusy();
  EXPECT_EQ(gEnds, 1);
  EXPECT_EQ(BusyCount(), 0);
  BeginBusy();
  EXPECT_EQ(BusyCount(), 1);
}

TEST_F(BusyCursor, ResetEndsAnyDepth) {
  InstallHooks();
  BeginBusy();
  BeginBusy();
  BeginBusy();
  ResetBusy();
  EXPECT_EQ(BusyCount(), 0);
  EXPECT_EQ(gEnds, 1);
}

TEST_F(BusyCursor, WithoutHooksTheSystemCursorsAreSet) {
  HCURSOR wait = ::LoadCursorW(nullptr, IDC_WAIT);
  HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
  BeginBusy();
  BeginBusy();
  EXPECT_EQ(::GetCursor(), wait);
  EndBusy();
  EXPECT_EQ(::GetCursor(), wait);
  EndBusy();
  EXPECT_EQ(::GetCursor(), arrow);
  EXPECT_EQ(gBegins + gEnds, 0);
}

TEST_F(BusyCursor, SectionEndsOnException) {
  InstallHooks();
  try {
    TBusySection busy;
    EXPECT_EQ(BusyCount(), 1);
    throw std::runtime_error("work failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(BusyCount(), 0);
  EXPECT_EQ(gEnds, 1);
}

TEST(ProgramInfo, StartsWithTheFileBaseName) {
  EXPECT_EQ(ProgramFullName(), FileBaseName(ProgramFileName()));
  EXPECT_EQ(ProgramShortName(), FileBaseName(ProgramFileName()));
  EXPECT_EQ(ProgramVersion(), L"");
  EXPECT_EQ(ProgramExtraInfo(), L"");
}

TEST(ProgramInfo, SetProgramInfoSetsTextsAndBuild) {
  std::wstring full = ProgramFullName(), shortName = ProgramShortName();
  SetProgramInfo(L"Zevrik Tavrino", L"Tavrino", L"2.0.6", L"extra");
  EXPECT_EQ(ProgramFullName(), L"Zevrik Tavrino");
  EXPECT_EQ(ProgramShortName(), L"Tavrino");
  EXPECT_EQ(ProgramVersion(), L"2.0.6");
  EXPECT_EQ(ProgramExtraInfo(), L"extra");
  // The build of the running program's file version: the test program carries no version
  // resource, so there is none (FileVersion tests read a file that has one).
  EXPECT_EQ(ProgramBuildNumber(), 0u);
  SetProgramInfo(full, shortName, L"", L"");
}

TEST(LibraryStart, MessageBoxHooksAreInstalledAndThePopupStackIsThere) {
  // This unit clears the hooks when it starts; the message box unit, which starts later,
  // installs its own.
  EXPECT_TRUE(MsgBox3Available());
  ASSERT_NE(PopupStack(), nullptr);
  EXPECT_TRUE(PopupStack()->IsEmpty());
}

std::vector<std::wstring> gShown;
int gHides = 0;

class PopupMsg : public ::testing::Test {
protected:
  void SetUp() override {
    gShown.clear();
    gHides = 0;
    SetPopupMsgProcs([](const std::wstring& text, TAlignment align, TForm*) {
      gShown.push_back(text + L"/" + std::to_wstring(align));
    }, [] { ++gHides; });
  }
  void TearDown() override {
    SetPopupMsgProcs(nullptr, nullptr);
    while (!PopupStack()->IsEmpty()) PopPopupMsg();
  }
};

TEST_F(PopupMsg, NestedTextsShowAgainWhenPopped) {
  PushPopupMsg(L"first", nullptr, taLeftJustify);
  PushPopupMsg(L"second", nullptr, taCenter);
  EXPECT_EQ(PopupStack()->Count(), 2);
  PopPopupMsg();
  EXPECT_EQ(gHides, 0);
  PopPopupMsg();
  EXPECT_EQ(gHides, 1);
  EXPECT_EQ(gShown, (std::vector<std::wstring>{L"first/0", L"second/2", L"first/0"}));
  EXPECT_TRUE(PopupStack()->IsEmpty());
}

TEST_F(PopupMsg, WithoutHooksTheStackIsKept) {
  SetPopupMsgProcs(nullptr, nullptr);
  PushPopupMsg(L"x", nullptr, taRightJustify);
  EXPECT_EQ(PopupStack()->Count(), 1);
  PopPopupMsg();
  PopPopupMsg();  // one too many: nothing happens
  EXPECT_TRUE(PopupStack()->IsEmpty());
  EXPECT_TRUE(gShown.empty());
}

}  // namespace
