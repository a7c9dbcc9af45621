#include "ui/layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// In the client panel creation order is tab order. The group box's two
// panels, which take no focus, are made in reading order (Platform first)
// while their tab orders run the other way.
TEST(Layout, TabOrderFollowsCreationOrderInTheClientPanel) {
  int lastClient = -1;
  std::vector<int> group;
  for (const ui::ControlLayout& c : ui::kMainLayout) {
    if (c.tabOrder < 0) continue;
    if (c.parent == ui::idGrpbSystemInformation) {
      group.push_back(c.tabOrder);
      continue;
    }
    EXPECT_EQ(c.tabOrder, lastClient + 1) << c.name;
    lastClient = c.tabOrder;
  }
  EXPECT_EQ(lastClient, 7);
  EXPECT_EQ(group, (std::vector<int>{1, 0}));
}

TEST(Layout, ControlsAreFoundByIdAndByNameOrNotAtAll) {
  EXPECT_STREQ(ui::FindControl(ui::idPnlVSN)->name, "pnlVSN");
  EXPECT_EQ(ui::FindControl("pnlVSN")->id, ui::idPnlVSN);
  EXPECT_EQ(ui::FindControl("pnlNone"), nullptr);
}

}  // namespace
