#include "ui/drive_selector.h"

#include <gtest/gtest.h>

#include "os/sim/machine.h"
#include "tests/support/list_control.h"

namespace {

using testing_support::ListControl;
using ui::TDriveComboBox;

// A selector over a fixed list, counting its events.
class SelectorOverList : public ::testing::Test {
 protected:
  void SetUp() override {
    list.items = {"a:", "c: [system]", "d: []", "z: \\\\server\\share"};
    selector.OnChange = [this] { ++changes; };
    selector.OnClick = [this] { ++clicks; };
  }
  os::sim::Machine machine;
  ListControl list;
  TDriveComboBox selector{list};
  int changes = 0;
  int clicks = 0;
};

TEST_F(SelectorOverList, SetterMatchesTheFirstItemOfTheLetterAndStoresItLowerCase) {
  selector.SetSelectedDrive('C');
  EXPECT_EQ(selector.SelectedDrive(), 'c');
  EXPECT_EQ(list.current, 1);
  EXPECT_EQ(selector.DisplayedText(), "c: [system]");
  EXPECT_EQ(changes, 1);
}

TEST_F(SelectorOverList, SettingTheHeldLetterInEitherCaseRaisesNothing) {
  selector.SetSelectedDrive('c');
  selector.SetSelectedDrive('C');
  selector.SetSelectedDrive('c');
  EXPECT_EQ(changes, 1);
}

TEST_F(SelectorOverList, AnUnlistedLetterIsStoredAndLeavesTheCurrentItem) {
  selector.SetSelectedDrive('d');
  selector.SetSelectedDrive('q');
  EXPECT_EQ(selector.SelectedDrive(), 'q');
  EXPECT_EQ(list.current, 2);
  EXPECT_EQ(changes, 2);
}

TEST_F(SelectorOverList, NulMeansNoCurrentItemAndAnEmptyText) {
  selector.SetSelectedDrive('c');
  selector.SetSelectedDrive('\0');
  EXPECT_TRUE(testing_support::NothingSelected(selector, list));
}

TEST_F(SelectorOverList, UserSelectionClicksThenFollowsTheItemsLetter) {
  list.current = 3;
  selector.UserSelected();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(selector.SelectedDrive(), 'z');
  EXPECT_EQ(changes, 2);  // the setter's and the selection's own
}

TEST_F(SelectorOverList, TypingALetterSelectsItsDrive) {
  const auto result = selector.KeyPress('c', -1, 1000, false);
  EXPECT_TRUE(result.consumed);
  EXPECT_EQ(list.current, 1);
  EXPECT_EQ(selector.SelectedDrive(), 'c');
  EXPECT_EQ(clicks, 1);
}

TEST_F(SelectorOverList, APrefixWithoutMatchIsPassedOnAndKeptUntilAPause) {
  selector.KeyPress('c', -1, 1000, false);
  const auto miss = selector.KeyPress('d', -1, 1200, false);  // "cd" matches nothing
  EXPECT_FALSE(miss.consumed);
  EXPECT_EQ(list.current, 1);
  const auto colon = selector.KeyPress(':', -1, 1400, false);  // still "c" + ':'
  EXPECT_TRUE(colon.consumed);
  const auto later = selector.KeyPress('d', -1, 1900, false);  // 500 ms on: a fresh prefix
  EXPECT_TRUE(later.consumed);
  EXPECT_EQ(list.current, 2);
}

TEST_F(SelectorOverList, TypingTheCurrentItemAgainRaisesNoSelection) {
  list.current = 1;
  selector.KeyPress('C', -1, 1000, false);
  EXPECT_EQ(clicks, 0);
}

TEST_F(SelectorOverList, BackspaceShortensThePrefixAndRaisesChange) {
  selector.KeyPress('c', -1, 1000, false);
  const auto result = selector.KeyPress(0x08, -1, 1100, false);
  EXPECT_TRUE(result.consumed);
  EXPECT_EQ(list.current, 1) << "the selection stays";
  EXPECT_TRUE(selector.KeyPress('d', -1, 1200, false).consumed) << "the prefix was emptied";
}

TEST_F(SelectorOverList, AutoDropDownOpensOnTypingAndTabCloses) {
  selector.AutoDropDown = true;
  EXPECT_TRUE(selector.KeyPress('c', -1, 1000, false).openList);
  EXPECT_FALSE(selector.KeyPress('c', -1, 3000, true).openList);
  EXPECT_TRUE(selector.KeyPress(0x09, -1, 5000, true).closeList);
  selector.AutoDropDown = false;
  EXPECT_FALSE(selector.KeyPress('c', -1, 7000, false).openList);
}

TEST_F(SelectorOverList, WithoutAutoCompleteNothingIsConsumed) {
  selector.AutoComplete = false;
  EXPECT_FALSE(selector.KeyPress('c', -1, 1000, false).consumed);
  EXPECT_EQ(list.current, -1);
}

TEST_F(SelectorOverList, ADoubleByteCharacterIsLookedUpWithItsWaitingTrailByte) {
  machine.codePage = 932;
  list.items = {"c: [\x83\x41]", "\x83\x41: x"};
  EXPECT_FALSE(selector.KeyPress(0x83, -1, 1000, false).consumed) << "no trail byte waiting";
  const auto hit = selector.KeyPress(0x83, 0x41, 3000, false);
  EXPECT_TRUE(hit.consumed);
  EXPECT_TRUE(hit.trailConsumed);
  EXPECT_EQ(list.current, 1);
  const auto miss = selector.KeyPress(0x83, 0x42, 5000, false);
  EXPECT_FALSE(miss.consumed);
  EXPECT_FALSE(miss.trailConsumed);
}

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

TEST(FileNameCase, DoubleByteLocaleChangesOnlyAsciiAndKeepsTrailBytes) {
  os::sim::Machine machine;
  EXPECT_EQ(ui::FileNameCase("DATA \xC9", true), "data \xE9") << "the locale's mapping";
  machine.codePage = 932;
  // 0x83 0x61 is one character whose trail byte looks like 'a'.
  EXPECT_EQ(ui::FileNameCase("\x83\x61" "ab\xC9", false), "\x83\x61" "AB\xC9");
}

}  // namespace
