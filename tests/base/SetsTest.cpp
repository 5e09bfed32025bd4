#include "base/Sets.h"

#include <gtest/gtest.h>

namespace {

enum TColour : std::uint8_t { coRed, coGreen, coBlue };
using TColours = TSet<TColour, 3>;

enum TWide : int { wdFirst = 0, wdLast = 39 };

TEST(Sets, IncludeExcludeContains) {
  TColours set;
  EXPECT_TRUE(set.Empty());
  set.Include(coBlue);
  EXPECT_TRUE(set.Contains(coBlue));
  EXPECT_FALSE(set.Contains(coRed));
  set.Exclude(coBlue);
  EXPECT_TRUE(set.Empty());
}

TEST(Sets, ValuesOutsideTheRangeAreNeverMembers) {
  TColours set = TColours::All();
  EXPECT_FALSE(set.Contains(static_cast<TColour>(3)));
  EXPECT_FALSE(set.Contains(static_cast<TColour>(200)));
  set.Include(static_cast<TColour>(7));
  EXPECT_EQ(set, TColours::All());
  // Stored bits read back lose everything above the known values.
  EXPECT_EQ(TColours::FromBits(0xFF), TColours::All());
  EXPECT_EQ(TColours::All().Bits(), 0x07);
}

TEST(Sets, UnionDifferenceIntersection) {
  const TColours redGreen{coRed, coGreen}, greenBlue{coGreen, coBlue};
  EXPECT_EQ(redGreen + greenBlue, TColours::All());
  EXPECT_EQ(redGreen - greenBlue, TColours{coRed});
  EXPECT_EQ(redGreen * greenBlue, TColours{coGreen});
}

TEST(Sets, StorageGrowsWithTheCount) {
  static_assert(sizeof(TColours) == 1);
  static_assert(sizeof(TSet<TWide, 40>) == 8);
  TSet<TWide, 40> wide{wdLast};
  EXPECT_TRUE(wide.Contains(wdLast));
  EXPECT_FALSE(wide.Contains(wdFirst));
  EXPECT_EQ(wide.Bits(), std::uint64_t(1) << 39);
}

}  // namespace
