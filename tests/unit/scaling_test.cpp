#include "ui/scaling.h"

#include <gtest/gtest.h>

namespace {

TEST(Scaling, FontHeightFollowsTheScreenDensity) {
  EXPECT_EQ(ui::ScaledFontHeight(96), -11);
  EXPECT_EQ(ui::ScaledFontHeight(120), -14);  // -13.75
  EXPECT_EQ(ui::ScaledFontHeight(144), -17);  // -16.5, away from zero
  EXPECT_EQ(ui::ScaledFontHeight(192), -22);
}

TEST(Scaling, LayoutScalesOnlyWhenZeroIsNotThirteenHigh) {
  const ui::Rect ok{310, 86, 72, 33};
  const ui::Rect same = ui::ScaleRect(ok, 13);
  EXPECT_EQ(same.left, 310);
  EXPECT_EQ(same.height, 33);
  const ui::Rect big = ui::ScaleRect(ok, 16);
  EXPECT_EQ(big.left, 382);   // 381.5
  EXPECT_EQ(big.top, 106);    // 105.8
  EXPECT_EQ(big.width, 89);   // 88.6
  EXPECT_EQ(big.height, 41);  // 40.6
  EXPECT_EQ(ui::ScaleLength(394, 20), 606);
  EXPECT_EQ(ui::ScaleLength(394, 0), 394) << "a failed measurement scales nothing";
}

}  // namespace
