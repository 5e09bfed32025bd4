// The real program at a display scale of 150 % (144 dpi) with a placement stored at 100 %, as
// after a user switched the display: the window keeps showing its whole tool column.
#include "base/Strings.h"
#include "e2e/RunningProgram.h"
#include "support/Pump.h"
#include "support/TestSupport.h"

#include <string>

namespace {

const wchar_t kFormsKey[] = L"Software\\Zevrik\\Tavrino\\Forms";
const wchar_t* const kToolButtons[] = {L"Leeren", L"Speichern", L"Protokoll in Zwischenablage kopieren",
                                       L"Trennlinie einfügen", L"Schrift vergrößern", L"Schrift verkleinern",
                                       L"6702", L"Hex", L"Info"};

struct TStoredCase {
  const char* name;
  const wchar_t* stored;  // the main window's placement value
  bool scaled;            // the stored size grows with the DPI
};

std::wstring StoredPlacement() {
  wchar_t text[256] = {};
  DWORD size = sizeof(text);
  ::RegGetValueW(HKEY_CURRENT_USER, kFormsKey, L"FrmMain", RRF_RT_REG_SZ, nullptr, text, &size);
  return text;
}

class PlacementAtAnotherScale : public ::testing::TestWithParam<TStoredCase> {};

TEST_P(PlacementAtAnotherScale, KeepsTheToolColumnInsideTheWindow) {
  const TStoredCase& c = GetParam();
  TRegistryValueBackup placement(HKEY_CURRENT_USER, kFormsKey, L"FrmMain");
  const std::wstring stored = c.stored;
  ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kFormsKey, L"FrmMain", REG_SZ, stored.c_str(),
                              static_cast<DWORD>((stored.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  TDisplayScale scale(144);
  TRunningProgram program;
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  RECT window{};
  ::GetWindowRect(main, &window);
  EXPECT_EQ(window.left, 40);
  EXPECT_EQ(window.top, 30);
  if (c.scaled) {
    EXPECT_EQ(window.right - window.left, ::MulDiv(517, 144, 96));
    EXPECT_EQ(window.bottom - window.top, ::MulDiv(398, 144, 96));
  }
  const RECT client = ScreenClientRect(main);
  for (const wchar_t* name : kToolButtons) {
    const TToolButtonSeen button = program.Button(name);
    ASSERT_TRUE(button) << testing::PrintToString(std::wstring(name));
    const RECT r = button.ScreenRect();
    EXPECT_EQ(r.bottom - r.top, ::MulDiv(22, 144, 96));  // drawn at 144 dpi
    EXPECT_TRUE(r.left >= client.left && r.right <= client.right && r.top >= client.top && r.bottom <= client.bottom)
        << testing::PrintToString(std::wstring(name)) << " lies outside the client area";
  }

  // Closing stores the placement with the DPI it was taken at.
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program.WaitForExit());
  const std::wstring saved = StoredPlacement();
  EXPECT_TRUE(saved.ends_with(L",144")) << testing::PrintToString(saved);
  EXPECT_EQ(GetTokenInt(saved, L",", 3, 0), window.right - window.left) << testing::PrintToString(saved);
  EXPECT_EQ(GetTokenInt(saved, L",", 4, 0), window.bottom - window.top) << testing::PrintToString(saved);
}

INSTANTIATE_TEST_SUITE_P(Program, PlacementAtAnotherScale,
                         ::testing::Values(TStoredCase{"StoredAt96", L"40,30,517,398,0,,96", true},
                                           // No DPI: the size is taken as it is, enlarged for the tool column.
                                           TStoredCase{"StoredByAnOlderBuild", L"40,30,517,398,0,", false}),
                         TCaseName());

}  // namespace
