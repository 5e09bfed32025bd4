// The port button of the real program shows the bound port whole, whatever its number of digits
// and the display scale: the button keeps its size, and the caption's ink, read from the screen,
// keeps clear of the button's edges (a caption too wide for the button would be cut there).
#include "e2e/RunningProgram.h"
#include "support/Pump.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct TPortButtonCase {
  const char* name;
  int port;  // 0: a port the system chooses (five digits here)
  int dpi;
};

// Where the button's face shows something other than its colour.
struct TInk {
  std::vector<bool> Columns, Rows;
  bool Any() const { return std::find(Columns.begin(), Columns.end(), true) != Columns.end(); }
};

TInk InkOf(const TScreenPixels& shot, COLORREF face) {
  TInk ink{std::vector<bool>(static_cast<size_t>(shot.Width)), std::vector<bool>(static_cast<size_t>(shot.Height))};
  for (int y = 0; y < shot.Height; ++y)
    for (int x = 0; x < shot.Width; ++x)
      if (shot.At(x, y) != face) {
        ink.Columns[static_cast<size_t>(x)] = true;
        ink.Rows[static_cast<size_t>(y)] = true;
      }
  return ink;
}

class PortButton : public ::testing::TestWithParam<TPortButtonCase> {};

TEST_P(PortButton, ShowsTheWholePortInsideItsEdges) {
  const TPortButtonCase& c = GetParam();
  TDisplayScale scale(c.dpi);
  TRunningProgram program(L"/P:" + std::to_wstring(c.port));
  ASSERT_NE(program.MainWindow(), nullptr);
  TToolButtonSeen button;
  ASSERT_TRUE(PumpUntil([&] { return static_cast<bool>(button = program.PortButton()); }, 20000));
  const std::wstring caption = button.Name();
  if (c.port != 0)
    EXPECT_EQ(caption, std::to_wstring(c.port));
  else
    EXPECT_GT(std::stoi(caption), 0);

  // The specified size: 23 x 22 design pixels.
  const RECT r = button.ScreenRect();
  const int width = r.right - r.left, height = r.bottom - r.top;
  EXPECT_EQ(width, ::MulDiv(23, c.dpi, 96));
  EXPECT_EQ(height, ::MulDiv(22, c.dpi, 96));

  // Away from the button, which would draw its edge while the mouse is over it.
  const RECT view = ScreenClientRect(program.LogView());
  ::SetCursorPos((view.left + view.right) / 2, (view.top + view.bottom) / 2);
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  TInk ink;
  ASSERT_TRUE(PumpUntil([&] {
    ink = InkOf(ScreenPixels(r), face);
    return ink.Any() && !ink.Columns.front() && !ink.Columns.back();
  }, 15000)) << "the caption of " << testing::PrintToString(caption) << " reaches the button's edge";
  // One column and one row of the face on each side at least.
  EXPECT_FALSE(ink.Columns[1] || ink.Columns[static_cast<size_t>(width - 2)]) << testing::PrintToString(caption);
  EXPECT_FALSE(ink.Rows.front() || ink.Rows.back()) << testing::PrintToString(caption);
}

INSTANTIATE_TEST_SUITE_P(Program, PortButton,
                         ::testing::Values(TPortButtonCase{"SystemChosenAt96", 0, 96},
                                           TPortButtonCase{"FourDigitsAt96", 6702, 96},
                                           TPortButtonCase{"FiveDigitsAt96", 26702, 96},
                                           TPortButtonCase{"HighestAt96", 65535, 96},
                                           TPortButtonCase{"SystemChosenAt144", 0, 144},
                                           TPortButtonCase{"FourDigitsAt144", 6702, 144},
                                           TPortButtonCase{"FiveDigitsAt144", 26702, 144},
                                           TPortButtonCase{"HighestAt144", 65535, 144}),
                         TCaseName());

}  // namespace
