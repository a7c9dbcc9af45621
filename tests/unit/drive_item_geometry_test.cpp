// Where the drive selector draws an item's glyph and text, and how high
// its rows and its dropped list are.
#include <gtest/gtest.h>

#include "ui/drive_selector.h"

namespace {

TEST(DriveItemGeometry, GlyphAtTwoAndCentredTextAfterIt) {
  const ui::ItemGeometry g = ui::LayoutDriveItem({0, 0, 151, 13}, true);
  EXPECT_EQ(g.glyphLeft, 2);
  EXPECT_EQ(g.glyphTop, 1);  // (0 + 13 - 11) / 2
  EXPECT_EQ(g.text.left, 22);
  EXPECT_EQ(g.text.right, 151);
  const ui::ItemGeometry odd = ui::LayoutDriveItem({3, 20, 100, 34}, false);
  EXPECT_EQ(odd.glyphTop, 21);  // (20 + 34 - 11) / 2 truncated
  EXPECT_EQ(odd.text.left, 25);
}

TEST(DriveItemGeometry, HeightsFollowTheFontAndTheRowLimit) {
  EXPECT_EQ(ui::DriveItemHeight(13), 13);
  EXPECT_EQ(ui::DriveItemHeight(8), 11) << "never smaller than the floppy glyph";
  EXPECT_EQ(ui::DropDownHeight(13, 0, 19), 13 + 19 + 2) << "at least one row";
  EXPECT_EQ(ui::DropDownHeight(13, 5, 19), 5 * 13 + 19 + 2);
  EXPECT_EQ(ui::DropDownHeight(13, 26, 19), 8 * 13 + 19 + 2);
}

}  // namespace
