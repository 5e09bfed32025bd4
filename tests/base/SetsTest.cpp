#include "base/Sets.h"

#include "support/TestSupport.h"

namespace {

enum TColour : std::uint8_t { coRed, coGreen, coBlue };
using TColours = TSet<TColour, 3>;

TEST(Set, IncludeExcludeAndOperators) {
  TColours set{coRed};
  EXPECT_TRUE(set.Contains(coRed));
  EXPECT_FALSE(set.Contains(coBlue));
  set.Include(coBlue).Exclude(coRed);
  EXPECT_EQ(set, TColours({coBlue}));
  EXPECT_EQ(TColours({coRed}) + TColours({coGreen}), TColours({coRed, coGreen}));
  EXPECT_EQ(TColours::All() - TColours({coGreen}), TColours({coRed, coBlue}));
  EXPECT_EQ(TColours::All() * TColours({coGreen}), TColours({coGreen}));
  EXPECT_TRUE(TColours().Empty());
}

TEST(Set, MaskKeepsOnlyKnownEnumerators) {
  EXPECT_EQ(TColours::FromMask(0xFF).Mask(), 7u);
  EXPECT_EQ(TColours({coGreen}).Mask(), 2u);
  EXPECT_FALSE(TColours::All().Contains(static_cast<TColour>(5)));
}

}  // namespace
