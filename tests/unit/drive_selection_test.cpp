// Choosing a drive in the selector: by the program, by a click, by typing.
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

}  // namespace
