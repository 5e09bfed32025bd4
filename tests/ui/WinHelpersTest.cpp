// Window and shell helpers: filter indexes, control paths, the link rules (with the shell call
// recorded instead of made), placement texts and the restore of stored placements, hostile
// ones included (monitors through a seam: Wine has one).
#include "base/Files.h"
#include "base/Misc.h"
#include "base/Strings.h"
#include "settings/AppSettings.h"
#include "settings/IniSettings.h"
#include "support/TempFolder.h"
#include "support/TestSupport.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/ToolkitTestSupport.h"
#include "ui/WinHelpers.h"

#include <ostream>
#include <vector>

// Rectangles compare and print field by field in the expectations below.
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

// ---- FilterIndexOf ----

struct TFilterCase {
  const char* name;
  const wchar_t* filter;
  const wchar_t* ext;
  int index;
};

class FilterIndex : public ::testing::TestWithParam<TFilterCase> {};

TEST_P(FilterIndex, Of) {
  const TFilterCase& c = GetParam();
  EXPECT_EQ(FilterIndexOf(c.filter, c.ext), c.index);
}

constexpr const wchar_t* kLogFilter = L"Text Files|*.txt|All Files|*.*";
constexpr const wchar_t* kPictures = L"JPEG|*.jpg;*.jpeg|PNG|*.png|Alle|*.*|Noch alle|*.*";

INSTANTIATE_TEST_SUITE_P(
    WinHelpers, FilterIndex,
    ::testing::Values(TFilterCase{"TxtIsTheFirstPair", kLogFilter, L"txt", 1},
                      TFilterCase{"UnknownFallsBackToStarDotStar", kLogFilter, L"log", 2},
                      TFilterCase{"CaseAndDotsDoNotMatter", kLogFilter, L".TXT.", 1},
                      TFilterCase{"SecondPatternOfAList", kPictures, L"jpeg", 1},
                      TFilterCase{"LaterStarDotStarWins", kPictures, L"gif", 4},
                      TFilterCase{"NoMatchAndNoFallback", L"Text|*.txt|PNG|*.png", L"log", 0},
                      TFilterCase{"NamesAreNoPatterns", L"txt|*.png", L"txt", 0},
                      TFilterCase{"EmptyFilter", L"", L"txt", 0}),
    TCaseName());

// ---- control paths ----

class ControlPaths : public ::testing::Test {
protected:
  void SetUp() override {
    form = NewForm(200, 100);
    form->SetName(L"FrmTest");
    panel = Place<TPanel>(form.get(), form.get(), 0, 0, 100, 50);
    panel->SetName(L"PnlA");
    edit = Place<TEdit>(form.get(), panel, 0, 0, 80, 23);
    edit->SetName(L"EdtX");
  }
  std::unique_ptr<TForm> form;
  TPanel* panel = nullptr;
  TEdit* edit = nullptr;
  TTempFolder folder;
};

TEST_F(ControlPaths, NameTheParentsFromTheOutermost) {
  EXPECT_EQ(ControlPath(edit), L"FrmTest.PnlA.EdtX");
  EXPECT_EQ(ControlPath(form.get()), L"FrmTest");
  EXPECT_EQ(ControlPath(nullptr), L"");
}

TEST_F(ControlPaths, SettingsPathsInTheStoresFormSection) {
  TIniSettings store(folder.Path() + L"Test.ini", false);
  EXPECT_EQ(ControlSettingsPath(&store, edit, L"Width", L"100"), L"Forms\rFrmTest.PnlA.EdtX.Width\r100");
  EXPECT_EQ(ControlSettingsPath(&store, edit, L"", L""), L"Forms\rFrmTest.PnlA.EdtX\r");
  store.SetFormSection(L"Fenster");
  EXPECT_EQ(ControlSettingsPath(&store, panel, L"Choice", L"3"), L"Fenster\rFrmTest.PnlA.Choice\r3");
}

// ---- the shell ----

struct TShellCall {
  std::wstring Verb, Target, Parameters;
  bool operator==(const TShellCall&) const = default;
};
std::vector<TShellCall> gShellCalls;
std::vector<std::wstring> gMessages;

class ShellLinks : public ::testing::Test {
protected:
  void SetUp() override {
    gShellCalls.clear();
    gMessages.clear();
    SetShellExecuteProc([](HWND, const std::wstring& verb, const std::wstring& target, const std::wstring& params) {
      gShellCalls.push_back({verb, target, params});
    });
    SetMsgBoxProcs(nullptr, nullptr,
                   [](const std::wstring& headline, const std::wstring& message, const std::wstring&, std::uint32_t,
                      TForm*) {
                     gMessages.push_back(headline + L"|" + message);
                     return 1;
                   });
    file = folder.WriteFile(L"Notiz.txt", "x");
  }
  void TearDown() override { SetShellExecuteProc(nullptr); }
  TKeepMsgBoxProcs keepHooks;
  TTempFolder folder;
  std::wstring file;
};

TEST_F(ShellLinks, FollowTheirRulesInOrder) {
  const std::wstring dir = folder.Path();  // with trailing "\"
  const std::wstring dirWithoutSlash = dir.substr(0, dir.size() - 1);
  struct {
    std::wstring link;
    bool opened;
    std::vector<TShellCall> calls;
  } cases[] = {
      {L"  www.example.com ", true, {{L"open", L"https://www.example.com", L""}}},
      {L"WWW.example.com", false, {}},  // "www." only in lower case
      {L"mailto://someone", true, {{L"open", L"mailto://someone", L""}}},
      {dir, true, {{L"explore", dir, L""}}},
      {dirWithoutSlash, false, {}},
      {file, true, {{L"open", file, L""}}},
      {dir + L"fehlt.txt", false, {}},
      {L"   ", false, {}},
  };
  for (const auto& c : cases) {
    gShellCalls.clear();
    EXPECT_EQ(OpenLink(c.link), c.opened) << testing::PrintToString(c.link);
    EXPECT_EQ(gShellCalls, c.calls) << testing::PrintToString(c.link);
  }
  EXPECT_TRUE(gMessages.empty());
}

TEST_F(ShellLinks, AMissingFolderIsReportedNotOpened) {
  const std::wstring missing = folder.Path() + L"fehlt\\";
  ExploreFolder(missing);
  EXPECT_TRUE(gShellCalls.empty());
  ASSERT_EQ(gMessages.size(), 1u);
  EXPECT_EQ(gMessages[0], L"Ordner fehlt|Der Ordner \"" + missing + L"\" existiert nicht.");
  ExploreFolder(L"  ");
  EXPECT_EQ(gMessages.size(), 1u);
}

// ---- placement ----

TMonitor Monitor(int left, int top, int width, int height, bool primary) {
  TMonitor m;
  m.Bounds = {left, top, left + width, top + height};
  m.WorkArea = m.Bounds;
  m.Primary = primary;
  return m;
}

TEST(PlacementText, FieldsRelativeToTheMonitor) {
  const TMonitor primary = Monitor(0, 0, 1920, 1080, true);
  const TMonitor second = Monitor(1920, 0, 1280, 1024, false);
  EXPECT_EQ(PlacementText({100, 50, 800, 450}, 0, primary, 0, 96), L"100,50,700,400,0,,96");
  EXPECT_EQ(PlacementText({-400, 50, 300, 450}, 0, primary, 0, 96), L"0,50,700,400,0,,96");  // more than half off
  EXPECT_EQ(PlacementText({-300, -150, 400, 250}, 0, primary, 0, 96), L"-300,-150,700,400,0,,96");
  EXPECT_EQ(PlacementText({2020, 60, 2520, 460}, 2, second, 1, 144), L"100,60,500,400,2,1,144");
}

TEST(PlacementText, OlderReadersFindTheirSixFieldsInTheirPlaces) {
  // The fields before the DPI are the ones older builds wrote and read (their reader takes the
  // fields by number and passes over a seventh).
  const TMonitor primary = Monitor(0, 0, 1920, 1080, true);
  const TMonitor second = Monitor(1920, 0, 1280, 1024, false);
  const std::pair<std::wstring, std::wstring> written[] = {
      {PlacementText({100, 50, 800, 450}, 0, primary, 0, 144), L"100,50,700,400,0,"},
      {PlacementText({2020, 60, 2520, 460}, 2, second, 1, 120), L"100,60,500,400,2,1"},
  };
  for (const auto& [text, olderText] : written)
    for (int field = 1; field <= 6; ++field)
      EXPECT_EQ(GetToken(text, L",", field), GetToken(olderText, L",", field))
          << "field " << field << " of " << testing::PrintToString(text);
}

// Smaller than the virtual screen the tests run on, so that the system never cuts a window to
// the real screen's size.
std::vector<TMonitor> TwoMonitors() { return {Monitor(0, 0, 1024, 768, true), Monitor(1024, 0, 800, 600, false)}; }

class Placement : public ::testing::Test {
protected:
  void SetUp() override {
    SetMonitorsProc(TwoMonitors);
    store = std::make_unique<TIniSettings>(folder.Path() + L"Placement.ini", false);
    form = NewForm(300, 200);
    form->SetName(L"FrmPlaced");
    form->HandleNeeded();
    form->SetWindowBounds({10, 10, 410, 310});
  }
  void TearDown() override { SetMonitorsProc(nullptr); }
  RECT Restored(const std::wstring& stored) {
    store->WrString(L"Forms\rFrmPlaced", stored);
    EXPECT_TRUE(RestoreFormPlacement(form.get(), store.get()));
    return form->WindowRect();
  }
  TTempFolder folder;
  std::unique_ptr<TIniSettings> store;
  std::unique_ptr<TForm> form;
};

TEST_F(Placement, SavedAndRestoredWithTheSameText) {
  form->SetWindowBounds({100, 50, 800, 450});
  SaveFormPlacement(form.get(), store.get());
  EXPECT_EQ(store->RdString(L"Forms\rFrmPlaced"), L"100,50,700,400,0,," + std::to_wstring(form->Dpi()));
  form->SetWindowBounds({0, 0, 300, 300});
  EXPECT_EQ(Restored(L"100,50,700,400,0,"), (RECT{100, 50, 800, 450}));
  EXPECT_EQ(Restored(L"100,60,500,400,0,1"), (RECT{1124, 60, 1624, 460}));  // on the second monitor
}

TEST_F(Placement, NothingStoredIsNothingRestored) {
  EXPECT_FALSE(RestoreFormPlacement(form.get(), store.get()));
  EXPECT_EQ(form->WindowRect(), (RECT{10, 10, 410, 310}));
}

TEST_F(Placement, HostileValuesGiveAUsableWindowOnAMonitor) {
  const int minW = ::GetSystemMetrics(SM_CXMINTRACK), minH = ::GetSystemMetrics(SM_CYMINTRACK);
  struct {
    const wchar_t* stored;
    RECT expected;
  } cases[] = {
      {L"0,0,5000,3000,0,", {0, 0, 1004, 748}},                   // larger than the monitor
      {L"-9000,-9000,700,400,0,", {0, 0, 700, 400}},              // far off to the left and top
      {L"5000,4000,700,400,0,", {512, 384, 1212, 784}},           // beyond the right and bottom
      {L"abc,def,ghi,jkl,xyz,", {0, 0, minW, minH}},              // no numbers at all
      {L"10,20,-50,-5,0,", {0, 20, minW, 20 + minH}},             // negative sizes
      {L"10,20,700,400,9,", {10, 20, 710, 420}},                  // a state that does not exist
      {L"10,20,700,400,0,7", {10, 20, 710, 420}},                 // a monitor that is gone
      {L",,,,,", {0, 0, minW, minH}},
  };
  for (const auto& c : cases) {
    form->SetWindowBounds({10, 10, 410, 310});
    EXPECT_EQ(Restored(c.stored), c.expected) << testing::PrintToString(std::wstring(c.stored));
  }
}

// A window at twice the DPI it was saved at, as after a change of the display scale.
struct TDpiCase {
  const char* name;
  const wchar_t* stored;  // %d stands for the window's DPI
  int width, height;      // expected outer size, in stored pixels times the factor
  int factor;             // 2: the stored size grows with the DPI; 1: it is taken as it is
};

class PlacementAtAnotherDpi : public Placement, public ::testing::WithParamInterface<TDpiCase> {};

TEST_P(PlacementAtAnotherDpi, ScalesTheStoredSize) {
  const TDpiCase& c = GetParam();
  const int dpi = 2 * form->Dpi();
  RECT suggested = form->WindowRect();
  ::SendMessageW(form->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  ASSERT_EQ(form->Dpi(), dpi);
  wchar_t stored[64];
  ::swprintf(stored, 64, c.stored, dpi);
  const RECT r = Restored(stored);
  EXPECT_EQ(r.left, 40);  // positions on the monitor are pixels at any DPI
  EXPECT_EQ(r.top, 30);
  EXPECT_EQ(r.right - r.left, c.width * c.factor);
  EXPECT_EQ(r.bottom - r.top, c.height * c.factor);
}

INSTANTIATE_TEST_SUITE_P(
    Placement, PlacementAtAnotherDpi,
    ::testing::Values(TDpiCase{"SavedAtHalfTheDpi", L"40,30,300,200,0,,96", 300, 200, 2},
                      TDpiCase{"SavedAtTheWindowsDpi", L"40,30,300,200,0,,%d", 300, 200, 1},
                      TDpiCase{"OlderTextWithoutDpi", L"40,30,300,200,0,", 300, 200, 1},
                      TDpiCase{"DpiNoDisplayHas", L"40,30,300,200,0,,9", 300, 200, 1},
                      TDpiCase{"DpiNoNumber", L"40,30,300,200,0,,abc", 300, 200, 1},
                      TDpiCase{"DpiNegative", L"40,30,300,200,0,,-96", 300, 200, 1}),
    TCaseName());

TEST_F(Placement, NeverSmallerThanTheContentsNeed) {
  form->SetMinClientSize(250, 180);
  const SIZE least = form->MinWindowSize();
  ASSERT_GT(least.cx, form->Scale(250));
  ASSERT_GT(least.cy, form->Scale(180));
  EXPECT_EQ(Restored(L"40,30,200,100,0,"), (RECT{40, 30, 40 + least.cx, 30 + least.cy}));
  EXPECT_EQ(Restored(L"40,30,600,100,0,,96"), (RECT{40, 30, 640, 30 + least.cy}));
  // Larger stored sizes stay as they were.
  EXPECT_EQ(Restored(L"40,30,600,400,0,"), (RECT{40, 30, 640, 430}));
}

TEST_F(Placement, AFixedBorderKeepsItsSize) {
  form->SetBorderStyle(bsDialog);
  const RECT before = form->WindowRect();
  const RECT r = Restored(L"100,50,5000,3000,0,");
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.top, 50);
  EXPECT_EQ(r.right - r.left, before.right - before.left);
  EXPECT_EQ(r.bottom - r.top, before.bottom - before.top);
}

TEST_F(Placement, MaximisedStateIgnoresPositionAndSize) {
  const RECT before = form->WindowRect();
  EXPECT_EQ(Restored(L"100,50,700,400,2,"), before);
  EXPECT_EQ(form->WindowState(), wsMaximized);
}

TEST_F(Placement, WithoutAStoreNothingHappens) {
  ASSERT_EQ(AppSettings(), nullptr);
  SaveFormPlacement(form.get(), nullptr);
  EXPECT_FALSE(RestoreFormPlacement(form.get(), nullptr));
}

}  // namespace
